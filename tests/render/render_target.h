// Render tests draw with the real GL of Mesa (llvmpipe) into an offscreen
// surface and probe a handful of pixels with a stated tolerance. When a test
// fails, its picture is written next to the test log for a person to look at.
#pragma once

#include "platform/headless/offscreen_surface.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

struct Rgb {
    int r;
    int g;
    int b;
};

inline std::ostream& operator<<(std::ostream& os, const Rgb& c) {
    return os << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

// Every channel within `tolerance` levels of the expected colour.
::testing::AssertionResult colourNear(const Rgb& actual, const Rgb& expected, int tolerance);

class RenderTarget {
public:
    // An offscreen surface with a current context. A machine without Mesa's
    // surfaceless EGL fails the test loudly: the test command installs it.
    RenderTarget(int width, int height);
    ~RenderTarget();

    bool ready() const { return surface_ != nullptr; }
    int width() const { return width_; }
    int height() const { return height_; }
    OffscreenSurface* surface() const { return surface_.get(); }

    // The pixel at window coordinates (x, y), origin at the bottom left as GL
    // counts; reads the framebuffer as it is now.
    Rgb pixel(int x, int y) const;

    // Writes the current picture to <build>/Testing/render-failures/NAME.png
    // when the running test has failed, and says where.
    void keepIfFailed(const std::string& name) const;

private:
    int width_;
    int height_;
    std::unique_ptr<OffscreenSurface> surface_;
};
