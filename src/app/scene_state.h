// The scene's switches and shared values, read by the frame pipeline.
#pragma once

// Switches are 0 (off) or non-zero (on).
struct SceneState {
    int backgroundPassEnabled = 0; // the full-window background, cycling the textures
    int scenePassEnabled = 1;      // the three-dimensional views
    int overlayPassEnabled = 0;    // the full-window multiplying overlay
    int blendEnabled = 0;          // blending during the sun pass
    int cullEnabled = 1;           // back-face culling during the sun pass
    int depthEnabled = 1;          // depth test and writes during the sun pass
    int fogEnabled = 1;            // fog for the sun pass and for elements that use fog
    int lightingEnabled = 1;       // lighting, the light's placement and the glow
    int texturingEnabled = 1;      // 2-D texturing during the sun pass
    int starsEnabled = 1;
    int particlesEnabled = 1;

    // Blend factors of the sun pass when blendEnabled (setBlendByIndex).
    int blendSourceIndex = 1;      // GL_ONE
    int blendDestinationIndex = 6; // GL_SRC_COLOR

    // Multiplies the camera's near and far planes, the fog distances and the
    // star and particle volumes.
    double sceneScale = 1.0;
    // Shared speed factors of the oscillators: the eye's drift, the camera's
    // turning, and the veil and the bars. They never change after set-up.
    double orbitSpeed = 1.5;
    double turnSpeed = 3.0;
    double fadeSpeed = 1.0;
    // Height of each letterbox bar as a fraction of the window height; the bar
    // oscillator's value every frame.
    double barFractionValue = 0.2;
};

extern SceneState sceneState;
