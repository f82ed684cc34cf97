// The GL call recorder: a test-only OpenGL 1.1 and GLU that logs every call.
//
// Tests link this library instead of libGL and libGLU. Each entry point the
// program uses appends its name and arguments to an ordered log (pointer
// arguments are logged by value: the four floats of glLightfv, the sixteen of
// glMultMatrixf). The projection and modelview stacks are modelled, so
// glGetFloatv(GL_MODELVIEW_MATRIX) answers as a real implementation would,
// and the images handed to glTexImage2D are kept per texture name.
#pragma once

#include <GL/gl.h>

#include <array>
#include <cstdint>
#include <initializer_list>
#include <iosfwd>
#include <string>
#include <vector>

namespace glrec {

constexpr int maxArgs = 16;

struct Call {
    const char* name = "";
    int argc = 0;
    double args[maxArgs] = {};
    bool compiled = false; // issued between glNewList and glEndList

    double arg(int i) const { return args[i]; }
};

// A call as a test expects it: name and arguments compared exactly.
Call call(const char* name, std::initializer_list<double> args = {});
bool operator==(const Call& a, const Call& b);
inline bool operator!=(const Call& a, const Call& b) {
    return !(a == b);
}
// "glViewport(0, 120, 800, 360)", each number in its shortest exact form.
std::string str(const Call& c);
void PrintTo(const Call& c, std::ostream* os);

using Matrix = std::array<double, 16>; // column-major, as GL stores it

struct TextureImage {
    GLint width = 0;
    GLint height = 0;
    GLenum format = 0;
    std::vector<std::uint8_t> bytes; // rows as uploaded, row 0 first
};

// Forgets every call and returns the modelled state to that of a new context:
// identity matrices, GL_MODELVIEW mode, no lists, no textures, nothing bound.
void reset();
// Stops or resumes logging; the state model keeps running (benchmarks).
void setRecording(bool on);

const std::vector<Call>& calls();
std::vector<Call> callsNamed(const char* name);
int count(const char* name);
std::vector<std::string> trace(); // str() of every call, in order

Matrix modelview();
Matrix projection();

// The image last uploaded into texture `name`, or null.
const TextureImage* textureImage(GLuint name);
// The image of the latest glTexImage2D call, or null.
const TextureImage* lastTextureImage();
// The texture name glBindTexture bound last (0: none).
GLuint boundTexture();
bool isEnabled(GLenum capability);

// Makes the next glGenLists answer 0, as a context out of list names would.
void failNextGenLists();

} // namespace glrec
