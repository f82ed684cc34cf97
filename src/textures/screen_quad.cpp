#include "textures/screen_quad.h"

#include "support/gl_api.h"

void drawScreenQuad(float x, float y, float width, float height) {
    // Counter-clockwise with y up, starting at the bottom-left corner.
    glBegin(GL_QUADS);
    glTexCoord2d(0.0, 0.0);
    glVertex2f(x, y);
    glTexCoord2d(1.0, 0.0);
    glVertex2f(x + width, y);
    glTexCoord2d(1.0, 1.0);
    glVertex2f(x + width, y + height);
    glTexCoord2d(0.0, 1.0);
    glVertex2f(x, y + height);
    glEnd();
}
