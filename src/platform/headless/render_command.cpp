#include "platform/headless/render_command.h"

#include "app/run_seed.h"
#include "platform/headless/png_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// Tries the temporary file the PNG will be written through, so a path that
// cannot be written is reported before any frame is drawn.
bool canWrite(const std::string& path, std::string& error) {
    const std::string probe = path + ".part";
    std::FILE* file = std::fopen(probe.c_str(), "wb");
    if (file == nullptr) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    std::fclose(file);
    std::remove(probe.c_str());
    return true;
}

} // namespace

int renderCommand(const std::string& path, const HeadlessRender& request) {
    std::string error;
    if (!canWrite(path, error)) {
        std::fprintf(stderr, "haze: %s\n", error.c_str());
        return 1;
    }
    std::vector<std::uint8_t> rows;
    if (!renderHeadless(request, rows, error)) {
        std::fprintf(stderr, "haze: cannot render offscreen: %s\n", error.c_str());
        return 1;
    }
    if (!writePng(path, request.width, request.height, PngLayout::Rgb, rows.data(), error)) {
        std::fprintf(stderr, "haze: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s: %dx%d, frame %d at %g ms steps, seed %u\n", path.c_str(), request.width,
                request.height, request.frames, request.stepMs,
                static_cast<unsigned>(lastRunSeed()));
    return 0;
}
