#include "visuals/particle_system.h"

#include "scene/camera.h"
#include "support/blend_by_index.h"
#include "support/gl_api.h"
#include "support/random.h"
#include "textures/texture.h"
#include "visuals/shell.h"

#include <cmath>

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

void ParticleSystem::draw(const Camera& camera, float opacity) {
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
    for (int i = 0; i < drawn; ++i) {
        glPushMatrix();
        const float b = brightness[i];
        glColor4f(red[i] * b, green[i] * b, blue[i] * b, alpha);
        glTranslatef(posX[i], posY[i], posZ[i]);
        glRotatef(yaw, 0.0f, 1.0f, 0.0f);
        glRotatef(pitch, 1.0f, 0.0f, 0.0f);
        glRotatef(angle[i], 0.0f, 0.0f, 1.0f);
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
        glPopMatrix();
    }

    // Restore what was turned on; the depth mask stays as set above.
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
