// The recorder is the yardstick of every GL sequence test, so its matrix
// model is checked against results worked out by hand.
#include "gl_recorder.h"

#include <GL/glu.h>
#include <gtest/gtest.h>

namespace {

void expectMatrix(const glrec::Matrix& actual, std::initializer_list<double> columnMajor) {
    int i = 0;
    for (double expected : columnMajor) {
        EXPECT_NEAR(actual[i], expected, 1e-9) << "element " << i;
        ++i;
    }
}

TEST(GlRecorder, LogsCallsWithTheirArguments) {
    glrec::reset();
    glViewport(0, 120, 800, 360);
    const GLfloat ambient[4] = {0.25f, 0.5f, 0.75f, 1.0f};
    glLightfv(GL_LIGHT3, GL_AMBIENT, ambient);
    ASSERT_EQ(glrec::calls().size(), 2u);
    EXPECT_EQ(glrec::calls()[0], glrec::call("glViewport", {0, 120, 800, 360}));
    EXPECT_EQ(glrec::str(glrec::calls()[1]), "glLightfv(16387, 4608, 0.25, 0.5, 0.75, 1)");
    EXPECT_EQ(glrec::count("glViewport"), 1);
}

TEST(GlRecorder, ModelsTheModelviewStack) {
    glrec::reset();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1, 2, 3);
    glPushMatrix();
    glRotatef(90, 0, 0, 1);
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    // Rotation by 90° about z after the translation: x maps to y.
    EXPECT_NEAR(m[0], 0, 1e-6);
    EXPECT_NEAR(m[1], 1, 1e-6);
    EXPECT_NEAR(m[4], -1, 1e-6);
    EXPECT_EQ(m[12], 1.0f);
    EXPECT_EQ(m[13], 2.0f);
    glPopMatrix();
    expectMatrix(glrec::modelview(), {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1});
}

TEST(GlRecorder, LookAtGivesTheCameraBasisInItsRows) {
    glrec::reset();
    gluLookAt(1, 0, 0, 0, 0, 0, 0, 1, 0);
    // Looking along -x: right is -z, up is +y, back is +x.
    expectMatrix(glrec::modelview(), {0, 0, 1, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, -1, 1});
}

TEST(GlRecorder, ProjectionsComposeOnTheProjectionStack) {
    glrec::reset();
    glMatrixMode(GL_PROJECTION);
    glOrtho(0, 800, 0, 600, -1, 1);
    const glrec::Matrix ortho = glrec::projection();
    EXPECT_NEAR(ortho[0], 2.0 / 800, 1e-12);
    EXPECT_NEAR(ortho[12], -1.0, 1e-12);
    glLoadIdentity();
    gluPerspective(90, 2, 1, 3);
    const glrec::Matrix p = glrec::projection();
    EXPECT_NEAR(p[0], 0.5, 1e-12);
    EXPECT_NEAR(p[5], 1.0, 1e-12);
    EXPECT_NEAR(p[10], -2.0, 1e-12);
    EXPECT_NEAR(p[14], -3.0, 1e-12);
    EXPECT_EQ(p[11], -1.0);
    expectMatrix(glrec::modelview(), {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
}

TEST(GlRecorder, ListCompilationRecordsButDoesNotTransform) {
    glrec::reset();
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    glTranslatef(5, 0, 0);
    glEndList();
    EXPECT_TRUE(glrec::calls()[2].compiled);
    EXPECT_EQ(glrec::modelview()[12], 0.0);
    glrec::failNextGenLists();
    EXPECT_EQ(glGenLists(1), 0u);
    EXPECT_NE(glGenLists(1), 0u);
}

TEST(GlRecorder, KeepsUploadedImagesPerTexture) {
    glrec::reset();
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const unsigned char texels[6] = {1, 2, 3, 4, 5, 6};
    glTexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE_ALPHA, 3, 1, 0, GL_LUMINANCE_ALPHA,
                 GL_UNSIGNED_BYTE, texels);
    const glrec::TextureImage* image = glrec::textureImage(name);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->bytes, (std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(glrec::lastTextureImage(), image);
}

} // namespace
