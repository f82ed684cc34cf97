#include "app/base_gl_state.h"

#include "app/render_context.h"
#include "app/scene_hooks.h"
#include "support/gl_api.h"

void SetBaseGLState() {
    // Thin lines and points: one pixel.
    glLineWidth(1.0f);
    glPointSize(1.0f);
    // Back faces are the ones culled; culling itself stays off until the
    // frame pipeline enables it.
    glCullFace(GL_BACK);
    glShadeModel(GL_SMOOTH);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    // Specular highlights computed from the true eye position.
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 1);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    // Dithering would speckle the slow fades of the veil.
    glDisable(GL_DITHER);
    // Every current colour sets the ambient and diffuse material of both faces.
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 30.0f);
    // The clear colour is left at its default, black.
    InitialiseScene(renderContext.clientWidth, renderContext.clientHeight);
}
