// The scene's set-up and release: the three hooks' creation and destruction
// side, and ConfigureScene, the one place where every scene value is set.
#include "app/scene_configuration.h"

#include "app/scene_hooks.h"
#include "app/scene_objects.h"
#include "app/scene_state.h"
#include "support/gl_api.h"
#include "support/random.h"

#include <cmath>

namespace {

// Each particle's colour in turn: red, blue, magenta, white.
const float particleColours[4][3] = {
    {1.0f, 0.0f, 0.0f},
    {0.0f, 0.0f, 1.0f},
    {1.0f, 0.0f, 1.0f},
    {1.0f, 1.0f, 1.0f},
};

void setOscillator(Oscillator& oscillator, double frequency, const double* speed, double range,
                   double offset) {
    oscillator.frequency = frequency; // radians per second at full speed
    oscillator.speedSource = speed;
    oscillator.range = range;
    oscillator.offset = offset;
}

} // namespace

void ConfigureViews() {
    viewportLayout.fadeAlpha = 0.2f;
    viewportLayout.barFraction = static_cast<float>(sceneState.barFractionValue);
    viewportLayout.setClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    viewportLayout.slotCount = 2;

    // One view over the whole width, between the letterbox bars.
    ViewportSlot& view = viewportLayout.slots[sceneViewSlot];
    view.setFractions(0.0, 0.0, 1.0, 1.0);
    view.letterboxed = 1;
    Camera& camera = view.camera;
    camera.fieldOfView = 90.0;
    camera.orbitDistance = 0.0f;
    camera.nearPlane = static_cast<float>(0.01 * sceneState.sceneScale);
    camera.farPlane = static_cast<float>(6.0 * sceneState.sceneScale);
}

void ConfigureLighting() {
    // Dark blue linear fog from just in front of the eye to 4 units.
    sceneFog.start = static_cast<float>(0.2 * sceneState.sceneScale);
    sceneFog.end = static_cast<float>(4.0 * sceneState.sceneScale);
    sceneFog.setColor(0.0f, 0.0f, 0.075f, 0.0f);
    sceneFog.apply();

    // A white light; its size is the glow's half-size.
    sceneLight.red = 1.0f;
    sceneLight.green = 1.0f;
    sceneLight.blue = 1.0f;
    sceneLight.size = 0.05f;
    sceneLight.enable();
    glowSprite.halfWidth = sceneLight.size;
    glowSprite.halfHeight = sceneLight.size;

    sceneMaterial.setLevels(0.4f, 0.7f, 0.99f, 1.0f);
    sceneMaterial.shininess = 10;
    sceneMaterial.red = 1.0f;
    sceneMaterial.green = 1.0f;
    sceneMaterial.blue = 1.0f;
    sceneMaterial.apply(sceneLight);
}

void ConfigureSwitches() {
    sceneState.backgroundPassEnabled = 0;
    sceneState.scenePassEnabled = 1;
    sceneState.overlayPassEnabled = 0;
    sceneState.blendEnabled = 0;
    sceneState.cullEnabled = 1;
    sceneState.depthEnabled = 1;
    sceneState.fogEnabled = 1;
    sceneState.lightingEnabled = 1;
    sceneState.starsEnabled = 1;
    sceneState.particlesEnabled = 1;
    sceneState.texturingEnabled = 1;
}

void ConfigureAnimation() {
    sceneState.orbitSpeed = 1.5;
    sceneState.turnSpeed = 3.0;
    sceneState.fadeSpeed = 1.0;
    // The eye drifts inside the cube from −1 to 1 on each axis.
    setOscillator(cameraX, 0.1, &sceneState.orbitSpeed, 2.0, -1.0);
    setOscillator(cameraY, 0.11, &sceneState.orbitSpeed, 2.0, -1.0);
    setOscillator(cameraZ, 0.14, &sceneState.orbitSpeed, 2.0, -1.0);
    // The camera's angles in degrees; the aim replaces x and y every frame.
    setOscillator(angleX, 0.02, &sceneState.turnSpeed, 360.0, -180.0);
    setOscillator(angleY, 0.022, &sceneState.turnSpeed, 360.0, -180.0);
    setOscillator(angleZ, 0.028, &sceneState.turnSpeed, 360.0, -180.0);
    // The veil's opacity, and the bars' height as a fraction of the window.
    setOscillator(fade, 0.3, &sceneState.fadeSpeed, 0.5, 0.05);
    setOscillator(bar, 0.1, &sceneState.fadeSpeed, 0.25, 0.0);
}

void ConfigureStarField() {
    // A translucent veil keeps earlier frames: a third of the stars will do.
    starField.starCount = 2000;
    if (viewportLayout.fadeAlpha < 1.0f) {
        starField.starCount = starField.starCount / 3;
    }
    starField.layers = 2;
    starField.size = 2.5 * sceneState.sceneScale;
    starField.innerSize = 0.0 * starField.size;
    starField.blend = 1;
    starField.depthTest = 0;
    starField.depthWrite = 0;
    starField.shape = 1; // a cube around the origin
    starField.followCamera = 0;
    starField.useFog = 0;
    starField.dimLevel = 0.2;
    starField.brightLevel = 0.8;
    starField.build();
}

void ConfigureParticles() {
    particleSystem.count = 8;
    particleSystem.size = static_cast<float>(3.0 * sceneState.sceneScale);
    particleSystem.innerSize = 0.0f * particleSystem.size;
    particleSystem.alphaScale = 0.3f;
    particleSystem.alphaTest = 1;
    particleSystem.alphaRef = 0.01f;
    particleSystem.blend = 1;
    particleSystem.blendSource = 2;      // GL_SRC_ALPHA
    particleSystem.blendDestination = 3; // GL_ONE_MINUS_SRC_ALPHA
    particleSystem.depthTest = 1;
    particleSystem.depthWrite = 0;
    particleSystem.useFog = 1;
    particleSystem.shape = 1;
    // The smoke image; slot 0 is generated before the first frame draws it.
    particleSystem.texture = &sceneTextures[0];
    // Each run's sprites are 3 to 5 units across.
    particleSystem.spriteHalfSize = static_cast<float>(1.5 + randomUniform(1.0));
    particleSystem.initialise();
}

// Red, blue, magenta and white in turn, over whatever `initialise` drew; runs
// over the system's count even when the particles are switched off.
void ColourParticles() {
    for (int i = 0; i < particleSystem.count; ++i) {
        const int k = static_cast<int>(std::fmod(static_cast<double>(i), 4.0));
        particleSystem.red[i] = particleColours[k][0];
        particleSystem.green[i] = particleColours[k][1];
        particleSystem.blue[i] = particleColours[k][2];
    }
}

void ConfigureScene() {
    sceneState.sceneScale = 1.0;
    sceneState.barFractionValue = 0.2;
    ConfigureViews();
    ConfigureLighting();
    ConfigureSwitches();
    ConfigureAnimation();
    // The first frame's step runs from here.
    frameClock.tick();
    // The random draws come in this order: stars, sprite size, particles,
    // textures.
    if (sceneState.starsEnabled) {
        ConfigureStarField();
    }
    if (sceneState.particlesEnabled) {
        ConfigureParticles();
    }
    ColourParticles();
    generateSceneTextures();
}

void InitialiseScene(int clientWidth, int clientHeight) {
    viewportLayout.setWindowSize(static_cast<float>(clientWidth), static_cast<float>(clientHeight));
    ConfigureScene();
    // The first clear, into the back buffer: no depth writes, no lighting.
    glDepthMask(GL_FALSE);
    glDisable(GL_LIGHTING);
    viewportLayout.selectViewport(0);
    viewportLayout.selectOrtho(0);
    viewportLayout.clear();
}

void ReleaseScene() {
    // Only the star list is given back; textures and the rest end with the
    // context.
    if (sceneState.starsEnabled) {
        starField.release();
    }
}
