// The two full-window passes, drawn in slot 0's pixel projection; both are
// switched off in this scene.
#include "app/frame_pipeline.h"
#include "app/scene_objects.h"
#include "support/gl_api.h"
#include "textures/screen_quad.h"

#include <cmath>

void DrawBackgroundPass() {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    // A new one of the eleven images every second, round every 11 seconds.
    const int slot = static_cast<int>(std::fmod(frameClock.nowSeconds, 11.0));
    sceneTextures[slot].bind();
    glEnable(GL_TEXTURE_2D);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    drawScreenQuad(0.0f, 0.0f, viewportLayout.width, viewportLayout.height);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
}

void DrawOverlayPass() {
    // Multiplies what is drawn by the smoke image's colour.
    glBlendFunc(GL_ZERO, GL_SRC_COLOR);
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glDisable(GL_LIGHTING);
    sceneTextures[0].bind(); // SMOKE
    glEnable(GL_TEXTURE_2D);
    glColor3f(1.0f, 1.0f, 1.0f);
    drawScreenQuad(0.0f, 0.0f, viewportLayout.width, viewportLayout.height);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
}
