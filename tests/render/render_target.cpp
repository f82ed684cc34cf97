#include "render_target.h"

#include "programs/headless/png_file.h"

#include <GL/gl.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <vector>

::testing::AssertionResult colourNear(const Rgb& actual, const Rgb& expected, int tolerance) {
    if (std::abs(actual.r - expected.r) <= tolerance &&
        std::abs(actual.g - expected.g) <= tolerance &&
        std::abs(actual.b - expected.b) <= tolerance) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "colour " << actual << " is not within " << tolerance << " levels of " << expected;
}

RenderTarget::RenderTarget(int width, int height) : width_(width), height_(height) {
    std::string error;
    surface_ = OffscreenSurface::create(width, height, error);
    if (surface_ == nullptr || !surface_->createContext() || !surface_->makeCurrent()) {
        ADD_FAILURE() << "no offscreen GL for render tests: "
                      << (error.empty() ? "cannot make a context current" : error)
                      << " (scripts/test.sh installs Mesa's EGL)";
        surface_.reset();
    }
}

RenderTarget::~RenderTarget() {
    if (surface_ != nullptr) {
        surface_->destroyContext();
    }
}

Rgb RenderTarget::pixel(int x, int y) const {
    unsigned char rgb[3] = {0, 0, 0};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    return {rgb[0], rgb[1], rgb[2]};
}

void RenderTarget::keepIfFailed(const std::string& name) const {
    if (surface_ == nullptr || !::testing::Test::HasFailure()) {
        return;
    }
    const std::filesystem::path folder = HAZE_RENDER_FAILURE_DIR;
    std::filesystem::create_directories(folder);
    const std::string path = (folder / (name + ".png")).string();
    std::vector<std::uint8_t> rows;
    surface_->readRgb(rows);
    std::string error;
    if (writePng(path, width_, height_, PngLayout::Rgb, rows.data(), error)) {
        std::cout << "picture of the failed render: " << path << "\n";
    } else {
        std::cout << "could not keep the failed render: " << error << "\n";
    }
}
