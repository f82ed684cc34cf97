// The levels that turn a light's colour and the material's colour into the
// fixed-function lighting terms: the light's ambient, diffuse and specular
// terms, the global ambient term, and the material's specular term and
// shininess.
#pragma once

struct Light;

struct Material {
    float ambientLevel;          // global ambient and the light's GL_AMBIENT (0.25)
    float diffuseLevel;          // the light's GL_DIFFUSE (0.5)
    float specularLevel;         // the light's GL_SPECULAR (0.75)
    float materialSpecularLevel; // the material's GL_SPECULAR (0.99)
    float spotExponent;          // the light's GL_SPOT_EXPONENT (1)
    float spotCutoff;            // the light's GL_SPOT_CUTOFF, degrees; 180: no cone (180)
    int shininess;               // the material's GL_SHININESS, 0 to 128 (20)
    // The material's colour, 0 to 1 per channel, stored red, blue, green. (1, 1, 1)
    float red;
    float blue;
    float green;

    // Sets the defaults; makes no GL call.
    Material();
    virtual ~Material() = default;

    // Stores the four levels, in the order of the fields.
    void setLevels(float ambient, float diffuse, float specular, float materialSpecular);
    // Sends the global ambient term, the material's specular term and
    // shininess, and `light`'s ambient, diffuse, specular and spot terms, each
    // a level times the product of the material's and the light's colour.
    void apply(const Light& light) const;
};
