// An offscreen GL drawing surface on Mesa's surfaceless EGL platform: needs
// no display server and no GPU (llvmpipe renders in software).
//
// The surface is an EGL pbuffer in the saver's own pixel format (8-bit red,
// green and blue, no alpha, a 16-bit depth buffer, no stencil). A pbuffer has
// a single colour buffer, so what one frame draws is still there for the
// next, as the saver's fading veil needs.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class OffscreenSurface {
public:
    // Null, with the reason in `error`, when EGL or the format is unavailable.
    static std::unique_ptr<OffscreenSurface> create(int width, int height, std::string& error);
    ~OffscreenSurface();

    OffscreenSurface(const OffscreenSurface&) = delete;
    OffscreenSurface& operator=(const OffscreenSurface&) = delete;

    // A compatibility-profile GL context for the surface (one at a time).
    bool createContext();
    void destroyContext();
    // Binds the context and the surface to the calling thread, or unbinds.
    bool makeCurrent();
    void releaseCurrent();

    int width() const { return width_; }
    int height() const { return height_; }

    // The colour buffer as tightly packed RGB rows, top row first, as an
    // image file stores them. Reads from the current context.
    void readRgb(std::vector<std::uint8_t>& rows) const;

private:
    struct Egl;
    OffscreenSurface(int width, int height, std::unique_ptr<Egl> egl);

    int width_;
    int height_;
    std::unique_ptr<Egl> egl_;
};
