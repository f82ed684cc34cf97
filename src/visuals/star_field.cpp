#include "visuals/star_field.h"

#include "scene/camera.h"
#include "support/random.h"
#include "visuals/shell.h"

#include <cmath>

StarField::StarField() {
    listId = 0;
    starCount = 10;
    shape = 1;
    blend = 1;
    depthTest = 0;
    depthWrite = 0;
    layers = 1;
    followCamera = 0;
    useFog = 0;
    size = 2.0;
    innerSize = 0.0;
    dimLevel = 0.3;
    brightLevel = 0.7;
}

StarField::~StarField() {
    release();
}

int StarField::layersDrawn() const {
    // No layer would divide the star count and the turn by zero.
    return layers < 1 ? 1 : layers;
}

void StarField::build() {
    const float outer = static_cast<float>(size * 0.5);
    if (size * 0.9 < innerSize) {
        innerSize = size * 0.9;
    }
    const float inner = static_cast<float>(innerSize * 0.5 + 0.01);

    release();
    if (!shellHasRoom(shape, inner, outer)) {
        return; // no star fits: drawing one would never end
    }
    listId = glGenLists(1);
    if (listId == 0) {
        return;
    }

    glNewList(listId, GL_COMPILE);
    glBegin(GL_POINTS);
    const int stars = starCount / layersDrawn();
    for (int i = 0; i < stars; ++i) {
        double x = 0.0;
        double y = 0.0;
        double z = 0.0;
        drawShellPoint(shape, inner, outer, x, y, z);

        // Nine stars in ten are pale, the tenth may be strongly coloured.
        const bool coloured = randomUniform(1.0) < 0.1;
        const double base = coloured ? dimLevel : brightLevel;
        const double spread = coloured ? brightLevel : dimLevel;
        const double blue = base + randomUniform(spread);
        const double green = base + randomUniform(spread);
        const double red = base + randomUniform(spread);
        glColor3d(red, green, blue);
        glVertex3d(x, y, z);
    }
    glEnd();
    glEndList();
}

void StarField::draw(const Camera& camera) const {
    if (listId == 0) {
        return;
    }
    const int drawn = layersDrawn();

    // State: blending as asked, depth test and depth writes as asked.
    if (blend) {
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_BLEND);
    }
    if (depthTest) {
        glEnable(GL_DEPTH_TEST);
    } else {
        glDisable(GL_DEPTH_TEST);
    }
    glDepthMask(depthWrite ? GL_TRUE : GL_FALSE);

    glPushMatrix();
    if (followCamera) {
        const Vec3& eye = camera.transform.position;
        glTranslatef(eye.x, eye.y, eye.z);
    }
    // Each layer turns a further 360 / layers degrees about y, so the last
    // lies at a full turn, and draws its points one pixel larger.
    const float turn = static_cast<float>(360.0 / drawn);
    for (int i = 0; i < drawn; ++i) {
        glRotatef(turn, 0.0f, 1.0f, 0.0f);
        glPointSize(static_cast<float>(i + 1));
        glCallList(listId);
    }
    glPopMatrix();

    // Restore what was turned on; the depth mask stays as set above.
    if (blend) {
        glDisable(GL_BLEND);
    }
    if (depthTest) {
        glDisable(GL_DEPTH_TEST);
    }
}

void StarField::release() {
    if (listId != 0) {
        glDeleteLists(listId, 1);
        listId = 0;
    }
}
