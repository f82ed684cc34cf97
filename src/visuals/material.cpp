#include "visuals/material.h"

#include "support/gl_api.h"
#include "visuals/light.h"

Material::Material() {
    ambientLevel = 0.25f;
    diffuseLevel = 0.5f;
    specularLevel = 0.75f;
    materialSpecularLevel = 0.99f;
    spotExponent = 1.0f;
    spotCutoff = 180.0f;
    shininess = 20;
    red = 1.0f;
    blue = 1.0f;
    green = 1.0f;
}

void Material::setLevels(float ambient, float diffuse, float specular, float materialSpecular) {
    ambientLevel = ambient;
    diffuseLevel = diffuse;
    specularLevel = specular;
    materialSpecularLevel = materialSpecular;
}

void Material::apply(const Light& light) const {
    // The combined colour in GL's red, green, blue order, channel by name.
    const float combined[3] = {red * light.red, green * light.green, blue * light.blue};
    auto scaled = [&combined](float level, float(&term)[4]) {
        term[0] = level * combined[0];
        term[1] = level * combined[1];
        term[2] = level * combined[2];
        term[3] = 1.0f;
    };
    float ambient[4];
    float diffuse[4];
    float specular[4];
    float materialSpecular[4];
    scaled(ambientLevel, ambient);
    scaled(diffuseLevel, diffuse);
    scaled(specularLevel, specular);
    scaled(materialSpecularLevel, materialSpecular);

    const GLenum l = light.glName();
    // One ambient term serves the whole scene and the light alike.
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, materialSpecular);
    glLightfv(l, GL_AMBIENT, ambient);
    glLightfv(l, GL_DIFFUSE, diffuse);
    glLightfv(l, GL_SPECULAR, specular);
    glLightf(l, GL_SPOT_EXPONENT, spotExponent);
    glLightf(l, GL_SPOT_CUTOFF, spotCutoff);
    glMateriali(GL_FRONT_AND_BACK, GL_SHININESS, shininess);
}
