// The visual elements on real GL: a star field of coloured points and smoke
// sprites tinted and faded by their texture, seen through a perspective
// camera; the alpha test keeping faint sprites off the screen; and smoke
// drawn within its bounds leaving every pixel as the plain draw does.
#include "render_target.h"
#include "scene/viewport_layout.h"
#include "scene/window_projection.h"
#include "support/gl_api.h"
#include "support/random.h"
#include "textures/alpha_outline.h"
#include "textures/texture.h"
#include "visuals/particle_system.h"
#include "visuals/sprite.h"
#include "visuals/star_field.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr int windowWidth = 256;
constexpr int windowHeight = 192;

// A camera at (0, 0, 2) looking at the origin through the whole window, 90
// degrees high: the plane z = 0 spans x from −8/3 to 8/3 and y from −2 to 2,
// 48 pixels a unit.
struct View {
    ViewportLayout layout;
    Camera& camera = layout.slots[0].camera;

    View() {
        layout.setWindowSize(windowWidth, windowHeight);
        layout.relayout();
        layout.selectViewport(0);
        camera.nearPlane = 0.01f;
        camera.farPlane = 6.0f;
        camera.perspective(layout);
        camera.transform.position.set(0.0f, 0.0f, 2.0f);
        camera.lookAtTarget();
    }
};

// Window pixel of a point of the plane z = 0.
int pixelX(float x) {
    return windowWidth / 2 + static_cast<int>(x * 48.0f);
}
int pixelY(float y) {
    return windowHeight / 2 + static_cast<int>(y * 48.0f);
}

void clearToBlack() {
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glDepthMask(GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// The median over the 5 × 5 pixels around (x, y) of how far one channel
// stands above green: a pale star adds about as much to both, a tinted
// sprite adds to its own channel only, and a stray star pixel or two cannot
// move a median of 25.
int medianExcess(const RenderTarget& target, int x, int y, int Rgb::*channel) {
    std::vector<int> excess;
    for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
            const Rgb c = target.pixel(x + dx, y + dy);
            excess.push_back(c.*channel - c.g);
        }
    }
    std::nth_element(excess.begin(), excess.begin() + 12, excess.end());
    return excess[12];
}

TEST(VisualsRender, StarsAreColouredPointsAndSmokeSpritesAreSoftTintedClouds) {
    RenderTarget target(windowWidth, windowHeight);
    ASSERT_TRUE(target.ready());
    lastBoundTextureId = noTextureBound; // a new context has nothing bound
    View view;
    randomSeed(2024);

    // The scene's star field: 666 stars over two layers in a cube of edge 2.5.
    StarField stars;
    stars.starCount = 666;
    stars.layers = 2;
    stars.size = 2.5;
    stars.build();

    // Two smoke sprites at x = ±1, red on the left and blue on the right.
    auto smoke = std::make_unique<ParticleSystem>();
    smoke->count = 2;
    smoke->size = 3.0f;
    smoke->initialise();
    const float tint[2][3] = {{1, 0, 0}, {0, 0, 1}};
    for (int i = 0; i < 2; ++i) {
        smoke->posX[i] = i == 0 ? -1.0f : 1.0f;
        smoke->posY[i] = 0.0f;
        smoke->posZ[i] = 0.0f;
        smoke->angle[i] = 0.0f;
        smoke->red[i] = tint[i][0];
        smoke->green[i] = tint[i][1];
        smoke->blue[i] = tint[i][2];
    }
    smoke->spriteHalfSize = 0.4f; // 38 pixels across
    smoke->blendSource = 2;       // GL_SRC_ALPHA
    smoke->blendDestination = 3;  // GL_ONE_MINUS_SRC_ALPHA
    Texture smokeImage;
    ASSERT_EQ(smokeImage.generate(TextureKind::SMOKE, 256, 256, GL_RGBA, 0), 0);
    smoke->texture = &smokeImage;

    clearToBlack();
    stars.draw(view.camera);
    smoke->draw(view.camera, 1.0f);
    glFinish();

    // Stars: above the sprites only stars are drawn. Every lit pixel there is
    // a star's colour, each channel 0.3 or more; most are pale, and some are
    // strongly coloured.
    int lit = 0;
    int pale = 0;
    int coloured = 0;
    for (int y = pixelY(0.6f); y < windowHeight; ++y) {
        for (int x = 0; x < windowWidth; ++x) {
            const Rgb c = target.pixel(x, y);
            const int low = std::min({c.r, c.g, c.b});
            const int high = std::max({c.r, c.g, c.b});
            if (high == 0) {
                continue;
            }
            ++lit;
            EXPECT_GE(low, 76) << "a star pixel darker than 0.3 at " << x << ", " << y << ": " << c;
            pale += low >= 178 ? 1 : 0;
            // A pale star's channels lie within 0.3 of each other.
            coloured += high - low >= 100 ? 1 : 0;
        }
    }
    EXPECT_GT(lit, 200) << "stars fill the view";
    EXPECT_GT(pale, lit / 2);
    EXPECT_GT(coloured, 0);

    // Sprites: strongly tinted at their centres, fading to nothing towards
    // their corners, and only where they stand.
    const int redX = pixelX(-1.0f);
    const int blueX = pixelX(1.0f);
    const int middleY = pixelY(0.0f);
    const int corner = 16; // pixels from the centre along each axis, 0.33 units
    EXPECT_GT(medianExcess(target, redX, middleY, &Rgb::r), 120);
    EXPECT_GT(medianExcess(target, blueX, middleY, &Rgb::b), 120);
    for (int sx : {-corner, corner}) {
        for (int sy : {-corner, corner}) {
            EXPECT_LT(medianExcess(target, redX + sx, middleY + sy, &Rgb::r), 40)
                << "red sprite corner " << sx << ", " << sy;
            EXPECT_LT(medianExcess(target, blueX + sx, middleY + sy, &Rgb::b), 40)
                << "blue sprite corner " << sx << ", " << sy;
        }
    }
    EXPECT_LT(medianExcess(target, redX, middleY, &Rgb::b), 10) << "no blue in the red sprite";
    EXPECT_LT(medianExcess(target, blueX, middleY, &Rgb::r), 10) << "no red in the blue sprite";

    // The sprites restore what they turned on.
    EXPECT_EQ(glIsEnabled(GL_BLEND), GL_FALSE);
    EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), GL_FALSE);
    EXPECT_EQ(glIsEnabled(GL_DEPTH_TEST), GL_FALSE);
    target.keepIfFailed("visuals_stars_and_smoke");
    smoke->texture = nullptr;
}

TEST(VisualsRender, TheAlphaTestKeepsSpritesFainterThanItsReferenceOffTheScreen) {
    RenderTarget target(windowWidth, windowHeight);
    ASSERT_TRUE(target.ready());
    View view;

    // Three white squares at opacity 0.5 × 0.3 = 0.15, untextured.
    auto faint = std::make_unique<ParticleSystem>();
    faint->count = 3;
    faint->spriteHalfSize = 0.25f;
    faint->blendSource = 2;
    faint->blendDestination = 3;
    faint->depthTest = 0;
    faint->alphaScale = 0.3f;
    faint->alphaTest = 1;
    for (int i = 0; i < 3; ++i) {
        faint->posX[i] = static_cast<float>(i - 1);
        faint->red[i] = faint->green[i] = faint->blue[i] = 1.0f;
        faint->brightness[i] = 1.0f;
    }

    faint->alphaRef = 0.2f;
    clearToBlack();
    faint->draw(view.camera, 0.5f);
    glFinish();
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(colourNear(target.pixel(pixelX(faint->posX[i]), pixelY(0)), {0, 0, 0}, 0))
            << "square " << i << " passed a reference of 0.2";
    }
    target.keepIfFailed("visuals_alpha_test_hides");

    // Below the reference the same squares show at 0.15 of white.
    faint->alphaRef = 0.1f;
    faint->draw(view.camera, 0.5f);
    glFinish();
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(colourNear(target.pixel(pixelX(faint->posX[i]), pixelY(0)), {38, 38, 38}, 2))
            << "square " << i;
    }
    EXPECT_EQ(glIsEnabled(GL_ALPHA_TEST), GL_FALSE);
    target.keepIfFailed("visuals_alpha_test_passes");
}

// A backdrop of smooth colour ramps for the smoke to blend over, and a small
// opaque square at the origin facing the camera that writes depth, as the
// glow does; the square's depth is marked in `marks`.
void backdropAndGlow(const View& view, const Sprite& glow, DepthMarks& marks) {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glBegin(GL_QUADS);
    glColor3f(0.9f, 0.1f, 0.4f);
    glVertex2f(-1, -1);
    glColor3f(0.1f, 0.8f, 0.2f);
    glVertex2f(1, -1);
    glColor3f(0.3f, 0.3f, 0.9f);
    glVertex2f(1, 1);
    glColor3f(0.7f, 0.6f, 0.1f);
    glVertex2f(-1, 1);
    glEnd();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);

    glDepthMask(GL_TRUE);
    glClear(GL_DEPTH_BUFFER_BIT);
    marks.clear();
    glEnable(GL_DEPTH_TEST);
    glColor3f(1.0f, 1.0f, 0.0f);
    glow.drawFacing(view.camera);
    glDisable(GL_DEPTH_TEST);
    const WindowProjection window(view.camera, view.layout.slots[0]);
    double nearest = 0.0;
    marks.mark(glow.facingBox(view.camera, window, 2.0, nearest), window.depthAt(nearest));
}

TEST(VisualsRender, SmokeDrawnWithinItsBoundsLeavesEveryPixelAsThePlainDrawDoes) {
    RenderTarget target(windowWidth, windowHeight);
    ASSERT_TRUE(target.ready());
    lastBoundTextureId = noTextureBound;
    View view;
    randomSeed(77);

    // The scene's smoke: eight sprites 3 to 5 units across in a cube of edge
    // 3, faded to 0.3 of the veil's opacity, alpha-tested at 0.01 and fogged.
    auto smoke = std::make_unique<ParticleSystem>();
    smoke->count = 8;
    smoke->size = 3.0f;
    smoke->alphaScale = 0.3f;
    smoke->alphaTest = 1;
    smoke->alphaRef = 0.01f;
    smoke->blendSource = 2;
    smoke->blendDestination = 3;
    smoke->initialise();
    AlphaOutline outline;
    Texture smokeImage;
    smokeImage.outline = &outline;
    ASSERT_EQ(smokeImage.generate(TextureKind::SMOKE, 256, 256, GL_RGBA, 0), 0);
    ASSERT_TRUE(outline.traced);
    smoke->texture = &smokeImage;
    const float fogColour[4] = {0.0f, 0.0f, 0.075f, 0.0f};
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogf(GL_FOG_START, 0.2f);
    glFogf(GL_FOG_END, 4.0f);
    glFogfv(GL_FOG_COLOR, fogColour);
    Sprite glow;
    glow.halfWidth = 0.05f;

    std::vector<std::uint8_t> plain;
    std::vector<std::uint8_t> bounded;
    int differing = 0;
    int cases = 0;
    for (int k = 0; k < 24; ++k) {
        // Eye points all over the cube, some close to a sprite or to the
        // origin; the veil's opacity over its whole range.
        const float eye[3] = {static_cast<float>(randomUniform(2.0) - 1.0),
                              static_cast<float>(randomUniform(2.0) - 1.0),
                              static_cast<float>(randomUniform(2.0) - 1.0)};
        const float opacity = 0.05f + 0.5f * static_cast<float>(k) / 23.0f;
        smoke->spriteHalfSize = 1.5f + static_cast<float>(k % 5) * 0.25f;
        view.camera.perspective(view.layout);
        view.camera.transform.position.set(eye[0], eye[1], eye[2]);
        view.camera.lookAtTarget();
        const WindowProjection window(view.camera, view.layout.slots[0]);
        DepthMarks marks;

        glEnable(GL_FOG);
        backdropAndGlow(view, glow, marks);
        smoke->draw(view.camera, opacity);
        glFinish();
        target.surface()->readRgb(plain);

        backdropAndGlow(view, glow, marks);
        smoke->draw(view.camera, opacity, &window, &marks);
        glFinish();
        target.surface()->readRgb(bounded);
        ++cases;
        for (size_t i = 0; i < plain.size(); ++i) {
            differing += plain[i] != bounded[i] ? 1 : 0;
        }
        EXPECT_EQ(glIsEnabled(GL_SCISSOR_TEST), GL_FALSE);
    }
    glDisable(GL_FOG);
    EXPECT_EQ(cases, 24);
    EXPECT_EQ(differing, 0) << "bytes that bounds changed over " << cases << " views";
    target.keepIfFailed("visuals_smoke_within_bounds");
    smoke->texture = nullptr;
}

} // namespace
