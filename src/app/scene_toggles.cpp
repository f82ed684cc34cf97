// The sun pass's switches: each capability on or off by its scene switch, and
// those that were switched on, off again afterwards.
#include "app/frame_pipeline.h"
#include "app/scene_state.h"
#include "support/blend_by_index.h"
#include "support/gl_api.h"

namespace {

void setCapability(GLenum capability, int on) {
    if (on) {
        glEnable(capability);
    } else {
        glDisable(capability);
    }
}

} // namespace

void ApplySceneToggles() {
    if (sceneState.blendEnabled) {
        setBlendByIndex(sceneState.blendSourceIndex, sceneState.blendDestinationIndex);
        glEnable(GL_BLEND);
    } else {
        glDisable(GL_BLEND);
    }
    setCapability(GL_CULL_FACE, sceneState.cullEnabled);
    if (sceneState.depthEnabled) {
        glEnable(GL_DEPTH_TEST);
        glDepthMask(GL_TRUE);
    } else {
        glDisable(GL_DEPTH_TEST); // the depth mask stays as it is
    }
    setCapability(GL_FOG, sceneState.fogEnabled);
    setCapability(GL_LIGHTING, sceneState.lightingEnabled);
    setCapability(GL_TEXTURE_2D, sceneState.texturingEnabled);
}

void ResetSceneToggles() {
    // The depth mask stays until the next frame turns depth writes off.
    const struct {
        int on;
        GLenum capability;
    } toggles[] = {
        {sceneState.blendEnabled, GL_BLEND},       {sceneState.cullEnabled, GL_CULL_FACE},
        {sceneState.depthEnabled, GL_DEPTH_TEST},  {sceneState.fogEnabled, GL_FOG},
        {sceneState.lightingEnabled, GL_LIGHTING}, {sceneState.texturingEnabled, GL_TEXTURE_2D},
    };
    for (const auto& toggle : toggles) {
        if (toggle.on) {
            glDisable(toggle.capability);
        }
    }
}
