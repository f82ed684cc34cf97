#include "programs/headless/render_command.h"

#include "app/run_seed.h"
#include "programs/headless/output_file.h"
#include "programs/headless/png_file.h"
#include "programs/printable_text.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char* standardOutputName = "standard output";

// Standard output can take the picture: it is open, and not a terminal the
// PNG's bytes would be poured onto.
bool checkStandardOutput(std::string& error) {
    struct stat info {};
    if (fstat(STDOUT_FILENO, &info) != 0) {
        error = cannotWrite(standardOutputName, std::strerror(errno));
        return false;
    }
    if (isatty(STDOUT_FILENO)) {
        error =
            cannotWrite(standardOutputName,
                        "it is a terminal; send it to a file or a pipe (haze --render - | ...)");
        return false;
    }
    return true;
}

} // namespace

int renderCommand(const std::string& path, const HeadlessRender& request) {
    const bool toStandardOutput = path == "-";
    std::string error;
    if (toStandardOutput ? !checkStandardOutput(error) : !checkOutputPath(path, error)) {
        std::fprintf(stderr, "haze: %s\n", printableText(error).c_str());
        return 1;
    }
    std::vector<std::uint8_t> rows;
    if (!renderHeadless(request, rows, error)) {
        std::fprintf(stderr, "haze: cannot render offscreen: %s\n", error.c_str());
        return 1;
    }
    bool written = false;
    if (toStandardOutput) {
        std::string reason;
        written = encodePng(STDOUT_FILENO, request.width, request.height, PngLayout::Rgb,
                            rows.data(), reason);
        error = cannotWrite(standardOutputName, reason);
    } else {
        written = writePng(path, request.width, request.height, PngLayout::Rgb, rows.data(), error);
    }
    if (!written) {
        std::fprintf(stderr, "haze: %s\n", printableText(error).c_str());
        return 1;
    }
    std::fprintf(
        toStandardOutput ? stderr : stdout, "%s: %dx%d, frame %d at %g ms steps, seed %u\n",
        printableText(toStandardOutput ? standardOutputName : path).c_str(), request.width,
        request.height, request.frames, request.stepMs, static_cast<unsigned>(lastRunSeed()));
    return 0;
}
