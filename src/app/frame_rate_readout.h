// The frame-rate readout (-fps): frames drawn per second, in small white
// characters on a black box in the window's lower left corner.
//
// Off unless shown. It is drawn over the finished frame, just before the
// swap, with GL 1.1 quads from a built-in 5x7 font, and it restores every GL
// state it changes, so the scene's next frame starts exactly as it would
// without it.
#pragma once

#include "platform/messages.h"

#include <cstddef>

// Shows or hides the readout; hidden it makes no GL or platform call at all.
void ShowFrameRateReadout(bool show);

// Counts the frame just drawn and, when shown, draws the readout over it in a
// window of `width` × `height` pixels.
void DrawFrameRateReadout(int width, int height);

// Frames per second, counted over spans of at least a second.
class FrameRateMeter {
public:
    // Counts a frame finished at `nowMs` (a wrapping millisecond tick count);
    // true when the frame closes a span and `rate` has a new value.
    bool frame(DWORD nowMs);
    // Frames per second over the latest whole span; negative before the first.
    double rate() const { return rate_; }

private:
    bool started_ = false;
    DWORD spanStartMs_ = 0;
    unsigned frames_ = 0;
    double rate_ = -1.0;
};

// The readout's text for `rate`, such as "59.9 fps"; an empty text for a
// negative rate (nothing measured yet). Rates beyond 9999.9 show as that.
void formatFrameRate(double rate, char* text, std::size_t size);

// Whether the built-in font has a glyph for `c` (digits, '.', ' ', 'f', 'p'
// and 's': what the readout writes).
bool readoutFontHas(char c);

// Draws `text` in the font, white on a black box whose lower left corner is
// at (`x`, `y`) pixels from the window's lower left, each font cell `cell`
// pixels square. Sets the state it needs and restores what it changed.
void drawReadoutText(const char* text, int x, int y, int cell, int width, int height);
