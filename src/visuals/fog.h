// Linear fog: where it begins and ends in front of the eye, and its colour.
#pragma once

struct Fog {
    float color[4]; // red, green, blue, alpha of GL_FOG_COLOR (0, 0, 0, 1)
    float start;    // eye-space distance where the fog begins (0.2)
    float end;      // eye-space distance of full fog (2.0)

    // Sets the defaults; makes no GL call.
    Fog();
    virtual ~Fog() = default;

    void setColor(float red, float green, float blue, float alpha);
    // Sends linear fog with the nicest hint, the colour and the two distances.
    // Whether fog is switched on is the caller's choice.
    void apply() const;
};
