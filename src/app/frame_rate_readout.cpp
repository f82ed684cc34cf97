#include "app/frame_rate_readout.h"

#include "platform/platform.h"
#include "support/gl_api.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

bool readoutShown = false;
FrameRateMeter meter;
char readoutText[16] = "";

// A glyph of the font: seven rows from the top, five columns each, the
// leftmost column in bit 4.
struct Glyph {
    char character;
    unsigned char rows[7];
};

constexpr int glyphColumns = 5;
constexpr int glyphRows = 7;
constexpr int advanceColumns = glyphColumns + 1; // a blank column between characters

constexpr Glyph font[] = {
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}},
    {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}},
    {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}},
    {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}},
    {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}},
    {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}},
    {' ', {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
    {'f', {0x06, 0x09, 0x08, 0x1C, 0x08, 0x08, 0x08}},
    {'p', {0x00, 0x00, 0x1E, 0x11, 0x1E, 0x10, 0x10}},
    {'s', {0x00, 0x00, 0x0F, 0x10, 0x0E, 0x01, 0x1E}},
};

const Glyph* glyphOf(char c) {
    for (const Glyph& glyph : font) {
        if (glyph.character == c) {
            return &glyph;
        }
    }
    return nullptr;
}

void quad(int left, int bottom, int right, int top) {
    glVertex2f(static_cast<GLfloat>(left), static_cast<GLfloat>(bottom));
    glVertex2f(static_cast<GLfloat>(right), static_cast<GLfloat>(bottom));
    glVertex2f(static_cast<GLfloat>(right), static_cast<GLfloat>(top));
    glVertex2f(static_cast<GLfloat>(left), static_cast<GLfloat>(top));
}

// The side, in pixels, of a font cell in a window `height` pixels high:
// whole pixels, so the glyphs stay crisp, growing with the window.
int readoutCellSize(int height) {
    // The stock XScreenSaver hacks write their readout with digits about 18
    // pixels high whatever the window's size. Cells of 3 pixels (digits of
    // 21) match that from 180 rows up; smaller windows, such as a settings
    // page's preview, get a cell per 60 rows so the box keeps to its corner;
    // taller ones a cell per 360 rows (4 pixels at 1440, 6 on a 4K screen),
    // so the digits keep their share of a large screen.
    if (height < 180) {
        return std::max(1, height / 60);
    }
    return std::max(3, height / 360);
}

} // namespace

bool FrameRateMeter::frame(DWORD nowMs) {
    if (!started_) {
        started_ = true;
        spanStartMs_ = nowMs;
        return false;
    }
    ++frames_;
    const DWORD elapsedMs = nowMs - spanStartMs_; // unsigned: right across the wrap
    if (elapsedMs < 1000) {
        return false;
    }
    rate_ = frames_ * 1000.0 / elapsedMs;
    spanStartMs_ = nowMs;
    frames_ = 0;
    return true;
}

void formatFrameRate(double rate, char* text, std::size_t size) {
    if (rate < 0.0) {
        text[0] = '\0';
        return;
    }
    std::snprintf(text, size, "%.1f fps", std::min(rate, 9999.9));
}

bool readoutFontHas(char c) {
    return glyphOf(c) != nullptr;
}

void drawReadoutText(const char* text, int x, int y, int cell, int width, int height) {
    const int length = static_cast<int>(std::strlen(text));
    if (length == 0) {
        return;
    }
    // Saved here and restored at the end: the enables, the current colour,
    // the viewport and the matrix mode, and both matrices below.
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_VIEWPORT_BIT | GL_TRANSFORM_BIT);

    // Window pixels, origin at the lower left, over the whole window.
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, width, 0.0, height, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    // Flat, opaque colour straight into the colour buffer: no lighting (nor
    // colour tracking the material), texture, fog, blending, tests or culling.
    for (GLenum capability : {GL_LIGHTING, GL_COLOR_MATERIAL, GL_TEXTURE_2D, GL_FOG, GL_BLEND,
                              GL_ALPHA_TEST, GL_DEPTH_TEST, GL_SCISSOR_TEST, GL_CULL_FACE}) {
        glDisable(capability);
    }

    glBegin(GL_QUADS);
    // The box: the text and a one-cell border, so the digits read on any
    // picture and the previous readout is covered.
    glColor3f(0.0f, 0.0f, 0.0f);
    quad(x, y, x + (length * advanceColumns + 1) * cell, y + (glyphRows + 2) * cell);
    // The lit cells of each glyph.
    glColor3f(1.0f, 1.0f, 1.0f);
    for (int i = 0; i < length; ++i) {
        const Glyph* glyph = glyphOf(text[i]);
        if (glyph == nullptr) {
            continue;
        }
        const int left = x + (1 + i * advanceColumns) * cell;
        for (int row = 0; row < glyphRows; ++row) {
            const int top = y + (glyphRows + 1 - row) * cell;
            for (int column = 0; column < glyphColumns; ++column) {
                if ((glyph->rows[row] >> (glyphColumns - 1 - column)) & 1) {
                    const int cellLeft = left + column * cell;
                    quad(cellLeft, top - cell, cellLeft + cell, top);
                }
            }
        }
    }
    glEnd();

    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
}

void ShowFrameRateReadout(bool show) {
    readoutShown = show;
}

void DrawFrameRateReadout(int width, int height) {
    if (!readoutShown) {
        return;
    }
    if (meter.frame(platform().tickCount())) {
        formatFrameRate(meter.rate(), readoutText, sizeof readoutText);
    }
    const int cell = readoutCellSize(height);
    drawReadoutText(readoutText, 2 * cell, 2 * cell, cell, width, height);
}
