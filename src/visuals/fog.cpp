#include "visuals/fog.h"

#include "support/gl_api.h"

Fog::Fog() {
    setColor(0.0f, 0.0f, 0.0f, 1.0f);
    start = 0.2f;
    end = 2.0f;
}

void Fog::setColor(float red, float green, float blue, float alpha) {
    color[0] = red;
    color[1] = green;
    color[2] = blue;
    color[3] = alpha;
}

void Fog::apply() const {
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glHint(GL_FOG_HINT, GL_NICEST);
    glFogfv(GL_FOG_COLOR, color);
    glFogf(GL_FOG_START, start);
    glFogf(GL_FOG_END, end);
}
