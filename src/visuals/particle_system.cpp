#include "visuals/particle_system.h"

#include "scene/camera.h"
#include "scene/depth_marks.h"
#include "scene/window_projection.h"
#include "support/blend_by_index.h"
#include "support/gl_api.h"
#include "support/random.h"
#include "textures/alpha_outline.h"
#include "textures/texture.h"
#include "visuals/shell.h"

#include <algorithm>
#include <cmath>

namespace {

// Pixels added around a square's region on the window: GL places the
// square's corners in single precision, within far less of where they land
// here.
constexpr double windowMargin = 2.0;

// Window rows in each band a square is drawn in, counted from the bottom
// row: narrow bands follow a turned region's sides more closely, and each
// costs the renderer one more setup of the square.
constexpr int bandRows = 128;

constexpr double degreesToRadians = 3.14159265358979323846 / 180.0;

// The square with texture coordinate (0, 0) at (−h, −h) and (1, 1) at (h, h).
void drawSquare(float h) {
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(-h, -h);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(h, -h);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(h, h);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(-h, h);
    glEnd();
}

// The cosine and sine of a turn given in degrees, as glRotatef turns.
struct Turn {
    double c;
    double s;
    explicit Turn(float degrees)
        : c(std::cos(degrees * degreesToRadians)), s(std::sin(degrees * degreesToRadians)) {}
};

} // namespace

ParticleSystem::ParticleSystem() {
    count = 100;
    shape = 1;
    alphaTest = 0;
    blend = 1;
    blendSource = 0;
    blendDestination = 0;
    depthTest = 1;
    depthWrite = 0;
    useFog = 0;
    alphaRef = 0.05f;
    alphaScale = 1.0f;
    size = 2.0f;
    spriteHalfSize = 0.1f;
    innerSize = 0.0f;
    dimLevel = 0.4f;
    brightLevel = 0.9f;
    wrapMin = -1.0f;
    wrapMax = 1.0f;
    texture = nullptr;
}

int ParticleSystem::particlesInUse() const {
    if (count < 0) {
        return 0;
    }
    return count > maxParticles ? maxParticles : count;
}

void ParticleSystem::initialise() {
    const float outer = size * 0.5f;
    count = particlesInUse();
    if (size * 0.9f < innerSize) {
        innerSize = size * 0.9f;
    }
    const float inner = innerSize * 0.5f + 0.01f;
    if (!shellHasRoom(shape, inner, outer)) {
        count = 0; // no particle fits: drawing one would never end
        return;
    }

    for (int i = 0; i < count; ++i) {
        float x = 0.0f;
        float y = 0.0f;
        float z = 0.0f;
        drawShellPoint(shape, inner, outer, x, y, z);
        posX[i] = x;
        posY[i] = y;
        posZ[i] = z;

        // Nine particles in ten are pale, the tenth may be strongly coloured.
        const bool coloured = randomUniform(1.0) < 0.1;
        const float base = coloured ? dimLevel : brightLevel;
        const float spread = coloured ? brightLevel : dimLevel;
        red[i] = static_cast<float>(base + randomUniform(spread));
        green[i] = static_cast<float>(base + randomUniform(spread));
        blue[i] = static_cast<float>(base + randomUniform(spread));

        // One particle in four gets a brightness ramp, mostly a slow one.
        if (randomUniform(1.0) < 0.25) {
            const float skew = randomSkewed(2);
            fadeRate[i] = static_cast<float>(randomUniform(20.0) * skew + 0.5);
        } else {
            fadeRate[i] = 0.0f;
        }
        brightness[i] = 1.0f;
        angle[i] = static_cast<float>(randomUniform(360.0));
    }
}

void ParticleSystem::draw(const Camera& camera, float opacity, const WindowProjection* window,
                          const DepthMarks* depthMarks) {
    const int drawn = particlesInUse();
    if (drawn == 0) {
        return;
    }

    // State: each switch on or off as the fields ask.
    if (alphaTest) {
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GEQUAL, alphaRef);
    } else {
        glDisable(GL_ALPHA_TEST);
    }
    if (blend) {
        setBlendByIndex(blendSource, blendDestination);
        glEnable(GL_BLEND);
    } else {
        glDisable(GL_BLEND);
    }
    if (depthTest) {
        glEnable(GL_DEPTH_TEST);
    } else {
        glDisable(GL_DEPTH_TEST);
    }
    glDepthMask(depthWrite ? GL_TRUE : GL_FALSE);
    if (texture != nullptr) {
        glEnable(GL_TEXTURE_2D);
        texture->bind();
    }

    // The camera's yaw and pitch turn a square drawn in its own x-y plane to
    // face the viewer; each particle then spins it about the line of sight.
    const float yaw = camera.transform.rotation.y;
    const float pitch = camera.transform.rotation.x;
    const float alpha = opacity * alphaScale;
    const float h = spriteHalfSize;
    // Where on a square the alpha test can pass a fragment. Nowhere: no
    // square is drawn, since none of its fragments could reach the window.
    double region[AlphaOutline::maxCorners][2];
    const int corners = window != nullptr ? passRegion(alpha, region) : 0;
    const bool bounded = window != nullptr && corners > 0;
    const bool anyPass = window == nullptr || bounded;
    if (bounded) {
        glEnable(GL_SCISSOR_TEST);
    }
    bool depthOn = depthTest != 0;
    for (int i = 0; anyPass && i < drawn; ++i) {
        glPushMatrix();
        const float b = brightness[i];
        glColor4f(red[i] * b, green[i] * b, blue[i] * b, alpha);
        glTranslatef(posX[i], posY[i], posZ[i]);
        glRotatef(yaw, 0.0f, 1.0f, 0.0f);
        glRotatef(pitch, 1.0f, 0.0f, 0.0f);
        glRotatef(angle[i], 0.0f, 0.0f, 1.0f);
        if (bounded) {
            drawBounded(i, camera, region, corners, *window, depthMarks, depthOn);
        } else {
            drawSquare(h);
        }
        glPopMatrix();
    }

    // Restore what was turned on; the depth mask stays as set above.
    if (bounded) {
        glDisable(GL_SCISSOR_TEST);
    }
    if (alphaTest) {
        glDisable(GL_ALPHA_TEST);
    }
    if (blend) {
        glDisable(GL_BLEND);
    }
    if (depthTest) {
        glDisable(GL_DEPTH_TEST);
    }
    if (depthWrite) {
        glDepthMask(GL_FALSE);
    }
    if (texture != nullptr) {
        glDisable(GL_TEXTURE_2D);
    }
}

int ParticleSystem::passRegion(float alpha, double (*corners)[2]) const {
    // The texture's alpha times the colour's meets the alpha test only where
    // the texture's outline reaches the level that alpha needs.
    const AlphaOutline* outline = texture != nullptr ? texture->outline : nullptr;
    if (alphaTest && outline != nullptr && outline->traced && texture->envMode == GL_MODULATE) {
        return outline->region(alphaLevelToPass(alpha, alphaRef), corners);
    }
    // Otherwise anywhere on the square.
    const double square[4][2] = {{0.0, 0.0}, {1.0, 0.0}, {1.0, 1.0}, {0.0, 1.0}};
    std::copy(&square[0][0], &square[0][0] + 8, &corners[0][0]);
    return 4;
}

void ParticleSystem::drawBounded(int i, const Camera& camera, const double (*region)[2],
                                 int corners, const WindowProjection& window,
                                 const DepthMarks* depthMarks, bool& depthOn) const {
    // Point (x, y) of the square lies at pos + Ry(yaw) Rx(pitch) Rz(angle)
    // (x, y, 0) in the world, as the matrices just multiplied put it.
    const Turn yaw(camera.transform.rotation.y);
    const Turn pitch(camera.transform.rotation.x);
    const Turn spin(angle[i]);
    const double h = spriteHalfSize;
    auto toEye = [&](double x, double y, double(&eye)[3]) {
        const double x1 = spin.c * x - spin.s * y;
        const double y1 = spin.s * x + spin.c * y;
        const double y2 = pitch.c * y1;
        const double z2 = pitch.s * y1;
        const double world[3] = {posX[i] + yaw.c * x1 + yaw.s * z2, posY[i] + y2,
                                 posZ[i] - yaw.s * x1 + yaw.c * z2};
        camera.toEye(world, eye);
    };

    // The region's corners on the window. Texture coordinate (s, t) lies at
    // (h (2s − 1), h (2t − 1)) on the square.
    double eye[AlphaOutline::maxCorners][3];
    for (int c = 0; c < corners; ++c) {
        toEye(h * (2.0 * region[c][0] - 1.0), h * (2.0 * region[c][1] - 1.0), eye[c]);
    }
    double onWindow[WindowProjection::maxCorners][2];
    const int placed = window.toWindow(eye, corners, onWindow);
    const PixelBox box = window.box(onWindow, placed, windowMargin);
    if (box.empty()) {
        return; // no pixel can get a fragment that passes
    }

    // The depth test (GL_LESS) can be left out where it can fail no
    // fragment: where the square's farthest depth lies below every depth
    // written within its box (the far value of the clear, or what the glow
    // wrote). Only a test that writes nothing may go.
    if (depthTest) {
        bool needed = depthWrite || depthMarks == nullptr;
        if (!needed) {
            double farthest = 0.0;
            const double signs[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
            for (const double(&sign)[2] : signs) {
                double corner[3];
                toEye(h * sign[0], h * sign[1], corner);
                farthest = std::max(farthest, -corner[2]);
            }
            needed = !depthMarks->lessEverywhere(box, window.depthAt(farthest));
        }
        if (needed != depthOn) {
            depthOn = needed;
            if (depthOn) {
                glEnable(GL_DEPTH_TEST);
            } else {
                glDisable(GL_DEPTH_TEST);
            }
        }
    }
    // The box's rows in bands, each scissored to the columns where the
    // region crosses it, the square drawn once per band. Pixels outside the
    // bands' boxes get no fragment that passes the alpha test, so scissoring
    // them away changes none. The boxes share no pixel, and GL rasterises the
    // same square from the same vertices each time, so every pixel inside
    // one gets the one fragment the plain draw gives it, coloured the same.
    const int firstBand = box.y0 - ((box.y0 % bandRows) + bandRows) % bandRows;
    for (int y = firstBand; y < box.y1; y += bandRows) {
        const PixelBox band = window.boxWithinRows(
            onWindow, placed, windowMargin, std::max(y, box.y0), std::min(y + bandRows, box.y1));
        if (!band.empty()) {
            glScissor(band.x0, band.y0, band.x1 - band.x0, band.y1 - band.y0);
            drawSquare(spriteHalfSize);
        }
    }
}
