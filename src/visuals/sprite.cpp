#include "visuals/sprite.h"

#include "scene/camera.h"
#include "scene/window_projection.h"
#include "support/gl_api.h"

#include <algorithm>

Sprite::Sprite() {
    halfWidth = 1.0f;
    halfHeight = halfWidth;
    texLeft = 0.0f;
    texBottom = 0.0f;
    texRight = 1.0f;
    texTop = 1.0f;
}

void Sprite::drawFacing(const Camera& camera) const {
    // Half an edge along the camera's right (r) and up (u) axes, in world
    // coordinates.
    const float s = halfWidth;
    const float* right = camera.rightAxis;
    const float* up = camera.upAxis;
    const float* back = camera.backAxis;
    const float rx = right[0] * s;
    const float ry = right[1] * s;
    const float rz = right[2] * s;
    const float ux = up[0] * s;
    const float uy = up[1] * s;
    const float uz = up[2] * s;

    glPushMatrix();
    glNormal3f(back[0], back[1], back[2]); // towards the viewer
    // Corners counter-clockwise as the camera sees them: bottom left, bottom
    // right, top right, top left.
    glBegin(GL_QUADS);
    glTexCoord2f(texLeft, texBottom);
    glVertex3f(-rx - ux, -ry - uy, -rz - uz);
    glTexCoord2f(texRight, texBottom);
    glVertex3f(rx - ux, ry - uy, rz - uz);
    glTexCoord2f(texRight, texTop);
    glVertex3f(rx + ux, ry + uy, rz + uz);
    glTexCoord2f(texLeft, texTop);
    glVertex3f(-rx + ux, -ry + uy, -rz + uz);
    glEnd();
    glPopMatrix();
}

PixelBox Sprite::facingBox(const Camera& camera, const WindowProjection& window, double margin,
                           double& nearest) const {
    // The corners drawFacing gives GL, counter-clockwise.
    const double s = halfWidth;
    const double signs[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    double eye[4][3];
    for (int c = 0; c < 4; ++c) {
        double world[3];
        for (int k = 0; k < 3; ++k) {
            world[k] = (signs[c][0] * camera.rightAxis[k] + signs[c][1] * camera.upAxis[k]) * s;
        }
        camera.toEye(world, eye[c]);
        nearest = c == 0 ? -eye[c][2] : std::min(nearest, -eye[c][2]);
    }
    double corners[WindowProjection::maxCorners][2];
    const int count = window.toWindow(eye, 4, corners);
    return window.box(corners, count, margin);
}
