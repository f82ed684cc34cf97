// RenderFrame: the clear with its veil and bars, then the letterboxed view of
// the stars, the sun glow and the smoke, each frame driven by measured time.
#include "app/frame_pipeline.h"

#include "app/scene_hooks.h"
#include "app/scene_objects.h"
#include "app/scene_state.h"
#include "scene/window_projection.h"
#include "support/gl_api.h"

namespace {

// Fog is on for an element only when the scene has fog and the element uses it.
void setFogFor(int elementUsesFog) {
    if (sceneState.fogEnabled && elementUsesFog) {
        glEnable(GL_FOG);
    } else {
        glDisable(GL_FOG);
    }
}

Camera& currentCamera() {
    return viewportLayout.slots[viewportLayout.currentSlot].camera;
}

// Where the current slot's view puts eye coordinates on the window: the scene
// camera's lens over the slot, as RenderFrame loads it.
WindowProjection currentProjection() {
    return WindowProjection(viewportLayout.slots[sceneViewSlot].camera,
                            viewportLayout.slots[viewportLayout.currentSlot]);
}

// Pixels the glow's depth box reaches beyond its square: GL places the
// corners in single precision, within far less of where they land here.
constexpr double glowMargin = 2.0;

} // namespace

void RenderFrame() {
    frameClock.tick();
    UpdateAnimation();

    // The clear: slot 0 in window pixels, no depth writes, no lighting.
    glDepthMask(GL_FALSE);
    glDisable(GL_LIGHTING);
    // No fog either. The smoke leaves it on, but the clear's vertices lie at
    // eye distance 0, nearer than the fog starts, where the fog factor is 1
    // and every fragment keeps its own colour: fog there costs every pixel of
    // the bars and the veil and changes none.
    glDisable(GL_FOG);
    viewportLayout.selectViewport(0);
    viewportLayout.selectOrtho(0);
    viewportLayout.clear();

    if (sceneState.backgroundPassEnabled) {
        DrawBackgroundPass();
        viewportLayout.markDrawn(0, 0);
    }
    if (sceneState.scenePassEnabled) {
        // The letterboxed slot shrinks to the band between this frame's bars.
        viewportLayout.barFraction = static_cast<float>(sceneState.barFractionValue);
        viewportLayout.relayout();
        Camera& lens = viewportLayout.slots[sceneViewSlot].camera;
        for (int i = 1; i < viewportLayout.slotCount; ++i) {
            viewportLayout.selectViewport(i);
            // Every view uses the scene camera's lens, shaped by its own slot.
            lens.perspective(viewportLayout);
            DrawSceneView();
            // Points are clipped by their centres: the widest stars reach
            // past the viewport by half their width.
            viewportLayout.markDrawn(i, starField.layersDrawn());
        }
    }
    if (sceneState.overlayPassEnabled) {
        viewportLayout.selectViewport(0);
        viewportLayout.selectOrtho(0);
        DrawOverlayPass();
        viewportLayout.markDrawn(0, 0);
    }
}

void ForgetPreviousFrame() {
    viewportLayout.forgetPreviousFrame();
}

void UpdateAnimation() {
    const double dt = frameClock.deltaSeconds;
    cameraX.advance(dt);
    cameraY.advance(dt);
    cameraZ.advance(dt);
    angleY.advance(dt);
    angleX.advance(dt);
    angleZ.advance(dt);
    fade.advance(dt);
    viewportLayout.fadeAlpha = static_cast<float>(fade.value());
    bar.advance(dt);
    sceneState.barFractionValue = bar.value();
    viewportLayout.barFraction = static_cast<float>(sceneState.barFractionValue);
}

void DrawSceneView() {
    UpdateCamera();
    // Where this view puts what it draws on the window, for the passes that
    // bound their pixels.
    const WindowProjection window = currentProjection();
    if (sceneState.starsEnabled) {
        setFogFor(starField.useFog);
        starField.draw(currentCamera());
        if (starField.depthTest && starField.depthWrite) {
            // Anywhere in the view, and as far past it as its points reach.
            PixelBox reached = window.viewport;
            const int reach = starField.layersDrawn();
            reached = PixelBox{reached.x0 - reach, reached.y0 - reach, reached.x1 + reach,
                               reached.y1 + reach};
            viewportLayout.depthMarks.mark(reached, 0.0);
        }
    }
    DrawSun(window);
    if (sceneState.particlesEnabled) {
        setFogFor(particleSystem.useFog);
        glDisable(GL_LIGHTING);
        // The smoke fades with the veil. Each sprite is scissored to where
        // its fragments can pass the alpha test, and drawn without the depth
        // test where that could fail none of them.
        particleSystem.draw(currentCamera(), viewportLayout.fadeAlpha, &window,
                            &viewportLayout.depthMarks);
    }
}

void UpdateCamera() {
    Camera& camera = currentCamera();
    if (viewportLayout.currentSlot == sceneViewSlot) {
        camera.transform.position.set(static_cast<float>(cameraX.value()),
                                      static_cast<float>(cameraY.value()),
                                      static_cast<float>(cameraZ.value()));
        camera.transform.rotation.set(static_cast<float>(angleX.value()),
                                      static_cast<float>(angleY.value()),
                                      static_cast<float>(angleZ.value()));
    } else {
        // Another monitor's view: the same eye and aim as the scene's view.
        camera.transform = viewportLayout.slots[sceneViewSlot].camera.transform;
    }
    // Looks at the origin; replaces the pitch and yaw just written, keeps the
    // roll.
    camera.lookAtTarget();
}

void DrawSun(const WindowProjection& window) {
    if (sceneState.lightingEnabled) {
        // The light at the world origin, under the view just set.
        sceneLight.location[0] = 0.0f;
        sceneLight.location[1] = 0.0f;
        sceneLight.location[2] = 0.0f;
        sceneLight.apply();
    }
    ApplySceneToggles();
    if (sceneState.lightingEnabled) {
        // The glow: the light's colour without its blue, yellow for white.
        sceneLight.blue = 0.0f;
        glColor3f(sceneLight.red, sceneLight.green, sceneLight.blue);
        sceneLight.blue = 1.0f;
        // Opaque and cut out: texels of alpha 0.075 or less are dropped.
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GREATER, 0.075f);
        glDisable(GL_LIGHTING);
        glEnable(GL_TEXTURE_2D);
        sceneTextures[6].bind(); // SPHERE
        glDisable(GL_FOG);
        glowSprite.drawFacing(currentCamera());
        if (sceneState.depthEnabled) {
            // The glow writes its depths within its square.
            double nearest = 0.0;
            const PixelBox box = glowSprite.facingBox(currentCamera(), window, glowMargin, nearest);
            viewportLayout.depthMarks.mark(box, window.depthAt(nearest));
        }
        if (sceneState.fogEnabled) {
            glEnable(GL_FOG);
        }
        glDisable(GL_ALPHA_TEST);
        glEnable(GL_LIGHTING);
        if (!sceneState.texturingEnabled) {
            glDisable(GL_TEXTURE_2D);
        }
    }
    ResetSceneToggles();
}
