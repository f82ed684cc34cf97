#include "gl_recorder.h"

#include <GL/glu.h>

#include <bitset>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <ostream>

namespace glrec {
namespace {

constexpr double pi = 3.14159265358979323846;

struct Model {
    std::vector<Call> log;
    bool recording = true;
    bool compiling = false;
    GLenum matrixMode = GL_MODELVIEW;
    std::vector<Matrix> modelviewStack{identityMatrix()};
    std::vector<Matrix> projectionStack{identityMatrix()};
    std::vector<Matrix> textureStack{identityMatrix()};
    GLuint nextList = 1;
    bool failGenLists = false;

    GLuint nextTexture = 1;
    GLuint bound = 0;
    GLint unpackAlignment = 4;
    std::map<GLuint, TextureImage> images;
    GLuint lastImage = 0;
    bool anyImage = false;
    // Capabilities switched on, by enum value; a fixed bit set, so that the
    // recorder allocates nothing per call.
    std::bitset<0x10000> enabled;

    static Matrix identityMatrix() {
        Matrix m{};
        m[0] = m[5] = m[10] = m[15] = 1.0;
        return m;
    }
};

// Never destroyed: global objects of the code under test may still issue GL
// calls from their destructors at exit, after this file's globals are gone.
Model& model = *new Model;

void log(const char* name, std::initializer_list<double> args) {
    if (!model.recording) {
        return;
    }
    Call c;
    c.name = name;
    c.compiled = model.compiling;
    for (double a : args) {
        c.args[c.argc++] = a;
    }
    model.log.push_back(c);
}

void logArray(const char* name, std::initializer_list<double> head, const GLfloat* values,
              int count) {
    if (!model.recording) {
        return;
    }
    Call c;
    c.name = name;
    c.compiled = model.compiling;
    for (double a : head) {
        c.args[c.argc++] = a;
    }
    for (int i = 0; i < count && c.argc < maxArgs; ++i) {
        c.args[c.argc++] = values[i];
    }
    model.log.push_back(c);
}

Matrix& top() {
    switch (model.matrixMode) {
    case GL_PROJECTION:
        return model.projectionStack.back();
    case GL_TEXTURE:
        return model.textureStack.back();
    default:
        return model.modelviewStack.back();
    }
}

std::vector<Matrix>& stack() {
    switch (model.matrixMode) {
    case GL_PROJECTION:
        return model.projectionStack;
    case GL_TEXTURE:
        return model.textureStack;
    default:
        return model.modelviewStack;
    }
}

// current = current × m, as every GL matrix operation composes.
void multiply(const Matrix& m) {
    if (model.compiling) {
        return; // a list being compiled only records
    }
    Matrix& c = top();
    Matrix r{};
    for (int col = 0; col < 4; ++col) {
        for (int row = 0; row < 4; ++row) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) {
                sum += c[k * 4 + row] * m[col * 4 + k];
            }
            r[col * 4 + row] = sum;
        }
    }
    c = r;
}

// Builds a matrix from rows, as it reads on paper.
Matrix fromRows(std::initializer_list<double> rows) {
    Matrix m{};
    int i = 0;
    for (double v : rows) {
        m[(i % 4) * 4 + i / 4] = v;
        ++i;
    }
    return m;
}

void translate(double x, double y, double z) {
    multiply(fromRows({1, 0, 0, x, 0, 1, 0, y, 0, 0, 1, z, 0, 0, 0, 1}));
}

void rotate(double degrees, double x, double y, double z) {
    const double length = std::sqrt(x * x + y * y + z * z);
    if (length == 0.0) {
        return;
    }
    x /= length;
    y /= length;
    z /= length;
    const double a = degrees * pi / 180.0;
    const double c = std::cos(a);
    const double s = std::sin(a);
    const double t = 1.0 - c;
    multiply(fromRows({x * x * t + c, x * y * t - z * s, x * z * t + y * s, 0, y * x * t + z * s,
                       y * y * t + c, y * z * t - x * s, 0, z * x * t - y * s, z * y * t + x * s,
                       z * z * t + c, 0, 0, 0, 0, 1}));
}

int bytesPerTexel(GLenum format) {
    switch (format) {
    case GL_RGBA:
        return 4;
    case GL_RGB:
        return 3;
    case GL_LUMINANCE_ALPHA:
        return 2;
    case GL_LUMINANCE:
    case GL_ALPHA:
        return 1;
    default:
        return 4;
    }
}

void keepImage(GLint width, GLint height, GLenum format, const void* pixels) {
    TextureImage image;
    image.width = width;
    image.height = height;
    image.format = format;
    if (pixels != nullptr && width > 0 && height > 0) {
        const int rowBytes = width * bytesPerTexel(format);
        const int align = model.unpackAlignment;
        const int stride = (rowBytes + align - 1) / align * align;
        const auto* source = static_cast<const std::uint8_t*>(pixels);
        image.bytes.reserve(static_cast<size_t>(rowBytes) * height);
        for (int row = 0; row < height; ++row) {
            image.bytes.insert(image.bytes.end(), source + row * stride,
                               source + row * stride + rowBytes);
        }
    }
    model.images[model.bound] = std::move(image);
    model.lastImage = model.bound;
    model.anyImage = true;
}

std::string shortest(double v) {
    const bool singleExact = static_cast<double>(static_cast<float>(v)) == v;
    char text[64];
    for (int precision = 1; precision <= 17; ++precision) {
        std::snprintf(text, sizeof text, "%.*g", precision, v);
        const bool same = singleExact ? std::strtof(text, nullptr) == static_cast<float>(v)
                                      : std::strtod(text, nullptr) == v;
        if (same) {
            break;
        }
    }
    return text;
}

} // namespace

Call call(const char* name, std::initializer_list<double> args) {
    Call c;
    c.name = name;
    for (double a : args) {
        c.args[c.argc++] = a;
    }
    return c;
}

bool operator==(const Call& a, const Call& b) {
    if (std::strcmp(a.name, b.name) != 0 || a.argc != b.argc) {
        return false;
    }
    for (int i = 0; i < a.argc; ++i) {
        if (a.args[i] != b.args[i]) {
            return false;
        }
    }
    return true;
}

std::string str(const Call& c) {
    std::string text = std::string(c.name) + "(";
    for (int i = 0; i < c.argc; ++i) {
        text += (i ? ", " : "") + shortest(c.args[i]);
    }
    return text + ")";
}

void PrintTo(const Call& c, std::ostream* os) {
    *os << str(c);
}

void reset() {
    model = Model{};
}

void setRecording(bool on) {
    model.recording = on;
}

const std::vector<Call>& calls() {
    return model.log;
}

std::vector<Call> callsNamed(const char* name) {
    std::vector<Call> found;
    for (const Call& c : model.log) {
        if (std::strcmp(c.name, name) == 0) {
            found.push_back(c);
        }
    }
    return found;
}

int count(const char* name) {
    return static_cast<int>(callsNamed(name).size());
}

std::vector<std::string> trace() {
    std::vector<std::string> lines;
    for (const Call& c : model.log) {
        lines.push_back(str(c));
    }
    return lines;
}

Matrix modelview() {
    return model.modelviewStack.back();
}

Matrix projection() {
    return model.projectionStack.back();
}

const TextureImage* textureImage(GLuint name) {
    auto found = model.images.find(name);
    return found == model.images.end() ? nullptr : &found->second;
}

const TextureImage* lastTextureImage() {
    return model.anyImage ? textureImage(model.lastImage) : nullptr;
}

GLuint boundTexture() {
    return model.bound;
}

bool isEnabled(GLenum capability) {
    return capability < model.enabled.size() && model.enabled.test(capability);
}

void failNextGenLists() {
    model.failGenLists = true;
}

} // namespace glrec

using glrec::log;
using glrec::logArray;
using glrec::model;

// --- state -------------------------------------------------------------------

void glEnable(GLenum cap) {
    log("glEnable", {double(cap)});
    if (cap < model.enabled.size()) {
        model.enabled.set(cap);
    }
}
void glDisable(GLenum cap) {
    log("glDisable", {double(cap)});
    if (cap < model.enabled.size()) {
        model.enabled.reset(cap);
    }
}
GLboolean glIsEnabled(GLenum cap) {
    return glrec::isEnabled(cap) ? GL_TRUE : GL_FALSE;
}
void glBlendFunc(GLenum s, GLenum d) {
    log("glBlendFunc", {double(s), double(d)});
}
void glDepthMask(GLboolean flag) {
    log("glDepthMask", {double(flag)});
}
void glDepthFunc(GLenum func) {
    log("glDepthFunc", {double(func)});
}
void glClear(GLbitfield mask) {
    log("glClear", {double(mask)});
}
void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) {
    log("glClearColor", {r, g, b, a});
}
void glLineWidth(GLfloat w) {
    log("glLineWidth", {w});
}
void glPointSize(GLfloat s) {
    log("glPointSize", {s});
}
void glCullFace(GLenum m) {
    log("glCullFace", {double(m)});
}
void glShadeModel(GLenum m) {
    log("glShadeModel", {double(m)});
}
void glPolygonMode(GLenum f, GLenum m) {
    log("glPolygonMode", {double(f), double(m)});
}
void glHint(GLenum t, GLenum m) {
    log("glHint", {double(t), double(m)});
}
void glAlphaFunc(GLenum f, GLclampf r) {
    log("glAlphaFunc", {double(f), r});
}
void glFlush() {
    log("glFlush", {});
}
void glFinish() {
    log("glFinish", {});
}
GLenum glGetError() {
    return GL_NO_ERROR;
}

// --- lighting, material, fog ---------------------------------------------------

void glLightModeli(GLenum p, GLint v) {
    log("glLightModeli", {double(p), double(v)});
}
void glLightModelfv(GLenum p, const GLfloat* v) {
    logArray("glLightModelfv", {double(p)}, v, 4);
}
void glColorMaterial(GLenum f, GLenum m) {
    log("glColorMaterial", {double(f), double(m)});
}
void glMaterialf(GLenum f, GLenum p, GLfloat v) {
    log("glMaterialf", {double(f), double(p), v});
}
void glMateriali(GLenum f, GLenum p, GLint v) {
    log("glMateriali", {double(f), double(p), double(v)});
}
void glMaterialfv(GLenum f, GLenum p, const GLfloat* v) {
    logArray("glMaterialfv", {double(f), double(p)}, v, p == GL_SHININESS ? 1 : 4);
}
void glLightfv(GLenum l, GLenum p, const GLfloat* v) {
    const int n = p == GL_SPOT_DIRECTION                           ? 3
                  : (p == GL_SPOT_EXPONENT || p == GL_SPOT_CUTOFF) ? 1
                                                                   : 4;
    logArray("glLightfv", {double(l), double(p)}, v, n);
}
void glLightf(GLenum l, GLenum p, GLfloat v) {
    log("glLightf", {double(l), double(p), v});
}
void glFogi(GLenum p, GLint v) {
    log("glFogi", {double(p), double(v)});
}
void glFogf(GLenum p, GLfloat v) {
    log("glFogf", {double(p), v});
}
void glFogfv(GLenum p, const GLfloat* v) {
    logArray("glFogfv", {double(p)}, v, p == GL_FOG_COLOR ? 4 : 1);
}

// --- immediate mode ------------------------------------------------------------

void glBegin(GLenum mode) {
    log("glBegin", {double(mode)});
}
void glEnd() {
    log("glEnd", {});
}
void glColor3f(GLfloat r, GLfloat g, GLfloat b) {
    log("glColor3f", {r, g, b});
}
void glColor3d(GLdouble r, GLdouble g, GLdouble b) {
    log("glColor3d", {r, g, b});
}
void glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
    log("glColor4f", {r, g, b, a});
}
void glColor4ub(GLubyte r, GLubyte g, GLubyte b, GLubyte a) {
    log("glColor4ub", {double(r), double(g), double(b), double(a)});
}
void glVertex2f(GLfloat x, GLfloat y) {
    log("glVertex2f", {x, y});
}
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    log("glVertex3f", {x, y, z});
}
void glVertex3d(GLdouble x, GLdouble y, GLdouble z) {
    log("glVertex3d", {x, y, z});
}
void glTexCoord2f(GLfloat s, GLfloat t) {
    log("glTexCoord2f", {s, t});
}
void glTexCoord2d(GLdouble s, GLdouble t) {
    log("glTexCoord2d", {s, t});
}
void glNormal3f(GLfloat x, GLfloat y, GLfloat z) {
    log("glNormal3f", {x, y, z});
}

// --- transforms ---------------------------------------------------------------

void glViewport(GLint x, GLint y, GLsizei w, GLsizei h) {
    log("glViewport", {double(x), double(y), double(w), double(h)});
}
void glScissor(GLint x, GLint y, GLsizei w, GLsizei h) {
    log("glScissor", {double(x), double(y), double(w), double(h)});
}
void glMatrixMode(GLenum mode) {
    log("glMatrixMode", {double(mode)});
    if (!model.compiling) {
        model.matrixMode = mode;
    }
}
void glLoadIdentity() {
    log("glLoadIdentity", {});
    if (!model.compiling) {
        glrec::top() = glrec::Model::identityMatrix();
    }
}
void glLoadMatrixf(const GLfloat* m) {
    logArray("glLoadMatrixf", {}, m, 16);
    if (!model.compiling) {
        for (int i = 0; i < 16; ++i) {
            glrec::top()[i] = m[i];
        }
    }
}
void glMultMatrixf(const GLfloat* m) {
    logArray("glMultMatrixf", {}, m, 16);
    glrec::Matrix matrix{};
    for (int i = 0; i < 16; ++i) {
        matrix[i] = m[i];
    }
    glrec::multiply(matrix);
}
void glPushMatrix() {
    log("glPushMatrix", {});
    if (!model.compiling) {
        glrec::stack().push_back(glrec::top());
    }
}
// Logged only: the render tests check on real GL what the attribute stack restores.
void glPushAttrib(GLbitfield mask) {
    log("glPushAttrib", {double(mask)});
}
void glPopAttrib() {
    log("glPopAttrib", {});
}
void glPopMatrix() {
    log("glPopMatrix", {});
    if (!model.compiling && glrec::stack().size() > 1) {
        glrec::stack().pop_back();
    }
}
void glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
    log("glTranslatef", {x, y, z});
    glrec::translate(x, y, z);
}
void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
    log("glRotatef", {angle, x, y, z});
    glrec::rotate(angle, x, y, z);
}
void glScalef(GLfloat x, GLfloat y, GLfloat z) {
    log("glScalef", {x, y, z});
    glrec::multiply(glrec::fromRows({x, 0, 0, 0, 0, y, 0, 0, 0, 0, z, 0, 0, 0, 0, 1}));
}
void glOrtho(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f) {
    log("glOrtho", {l, r, b, t, n, f});
    glrec::multiply(
        glrec::fromRows({2 / (r - l), 0, 0, -(r + l) / (r - l), 0, 2 / (t - b), 0,
                         -(t + b) / (t - b), 0, 0, -2 / (f - n), -(f + n) / (f - n), 0, 0, 0, 1}));
}
void glGetFloatv(GLenum pname, GLfloat* params) {
    log("glGetFloatv", {double(pname)});
    const glrec::Matrix* m = nullptr;
    if (pname == GL_MODELVIEW_MATRIX) {
        m = &model.modelviewStack.back();
    } else if (pname == GL_PROJECTION_MATRIX) {
        m = &model.projectionStack.back();
    } else if (pname == GL_TEXTURE_MATRIX) {
        m = &model.textureStack.back();
    }
    for (int i = 0; i < 16; ++i) {
        params[i] = m != nullptr ? static_cast<GLfloat>((*m)[i]) : 0.0f;
    }
}

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    log("gluPerspective", {fovy, aspect, zNear, zFar});
    const double f = 1.0 / std::tan(fovy * glrec::pi / 360.0);
    glrec::multiply(
        glrec::fromRows({f / aspect, 0, 0, 0, 0, f, 0, 0, 0, 0, (zFar + zNear) / (zNear - zFar),
                         2 * zFar * zNear / (zNear - zFar), 0, 0, -1, 0}));
}

void gluLookAt(GLdouble ex, GLdouble ey, GLdouble ez, GLdouble cx, GLdouble cy, GLdouble cz,
               GLdouble ux, GLdouble uy, GLdouble uz) {
    log("gluLookAt", {ex, ey, ez, cx, cy, cz, ux, uy, uz});
    auto normalise = [](double v[3]) {
        const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        if (length != 0.0) {
            v[0] /= length;
            v[1] /= length;
            v[2] /= length;
        }
    };
    double f[3] = {cx - ex, cy - ey, cz - ez};
    normalise(f);
    double s[3] = {f[1] * uz - f[2] * uy, f[2] * ux - f[0] * uz, f[0] * uy - f[1] * ux};
    normalise(s);
    const double u[3] = {s[1] * f[2] - s[2] * f[1], s[2] * f[0] - s[0] * f[2],
                         s[0] * f[1] - s[1] * f[0]};
    glrec::multiply(glrec::fromRows(
        {s[0], s[1], s[2], 0, u[0], u[1], u[2], 0, -f[0], -f[1], -f[2], 0, 0, 0, 0, 1}));
    glrec::translate(-ex, -ey, -ez);
}

// --- display lists --------------------------------------------------------------

GLuint glGenLists(GLsizei range) {
    log("glGenLists", {double(range)});
    if (model.failGenLists) {
        model.failGenLists = false;
        return 0;
    }
    const GLuint first = model.nextList;
    model.nextList += static_cast<GLuint>(range);
    return first;
}
void glNewList(GLuint list, GLenum mode) {
    log("glNewList", {double(list), double(mode)});
    model.compiling = mode == GL_COMPILE;
}
void glEndList() {
    model.compiling = false;
    log("glEndList", {});
}
void glCallList(GLuint list) {
    log("glCallList", {double(list)});
}
void glDeleteLists(GLuint list, GLsizei range) {
    log("glDeleteLists", {double(list), double(range)});
}

// --- textures ---------------------------------------------------------------------

void glGenTextures(GLsizei n, GLuint* names) {
    log("glGenTextures", {double(n)});
    for (GLsizei i = 0; i < n; ++i) {
        names[i] = model.nextTexture++;
    }
}
void glDeleteTextures(GLsizei n, const GLuint* names) {
    log("glDeleteTextures", {double(n), n > 0 ? double(names[0]) : 0.0});
}
void glBindTexture(GLenum target, GLuint name) {
    log("glBindTexture", {double(target), double(name)});
    model.bound = name;
}
void glTexParameteri(GLenum target, GLenum p, GLint v) {
    log("glTexParameteri", {double(target), double(p), double(v)});
}
void glTexEnvf(GLenum target, GLenum p, GLfloat v) {
    log("glTexEnvf", {double(target), double(p), v});
}
void glTexEnvi(GLenum target, GLenum p, GLint v) {
    log("glTexEnvi", {double(target), double(p), double(v)});
}
void glPixelStorei(GLenum p, GLint v) {
    log("glPixelStorei", {double(p), double(v)});
    if (p == GL_UNPACK_ALIGNMENT) {
        model.unpackAlignment = v;
    }
}
void glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                  GLint border, GLenum format, GLenum type, const GLvoid* pixels) {
    log("glTexImage2D", {double(target), double(level), double(internalFormat), double(width),
                         double(height), double(border), double(format), double(type)});
    glrec::keepImage(width, height, format, pixels);
}
void glTexSubImage2D(GLenum target, GLint level, GLint x, GLint y, GLsizei width, GLsizei height,
                     GLenum format, GLenum type, const GLvoid*) {
    log("glTexSubImage2D", {double(target), double(level), double(x), double(y), double(width),
                            double(height), double(format), double(type)});
}
GLint gluBuild2DMipmaps(GLenum target, GLint components, GLsizei width, GLsizei height,
                        GLenum format, GLenum type, const void*) {
    log("gluBuild2DMipmaps", {double(target), double(components), double(width), double(height),
                              double(format), double(type)});
    return 0;
}
void glReadPixels(GLint x, GLint y, GLsizei w, GLsizei h, GLenum format, GLenum type, GLvoid*) {
    log("glReadPixels", {double(x), double(y), double(w), double(h), double(format), double(type)});
}

// --- strings ------------------------------------------------------------------------

// A context that names no version and no extension.
const GLubyte* glGetString(GLenum) {
    static const GLubyte none[] = "";
    return none;
}
