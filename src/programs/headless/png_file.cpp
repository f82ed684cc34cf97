#include "programs/headless/png_file.h"

#include "programs/headless/output_file.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstring>
#include <unistd.h>

namespace {

struct Sink {
    int fd;
    int failedErrno; // errno of the write that failed, else 0
};

void writeBytes(png_structp png, png_bytep data, png_size_t length) {
    Sink* sink = static_cast<Sink*>(png_get_io_ptr(png));
    while (length > 0) {
        const ssize_t written = write(sink->fd, data, length);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            sink->failedErrno = errno;
            png_error(png, "write failed");
        }
        data += written;
        length -= static_cast<png_size_t>(written);
    }
}

void flushNothing(png_structp) {}

// libpng's messages would add lines of their own to haze's one; the reason
// is reported from the sink instead.
void stopEncoding(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void ignoreWarning(png_structp, png_const_charp) {}

// No C++ object lives in this frame: libpng's errors return through longjmp.
bool encodeRows(png_structp png, png_infop info, Sink& sink, int width, int height,
                PngLayout layout, const std::uint8_t* texels) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    const int bytesPerTexel = layout == PngLayout::Rgb ? 3 : 4;
    png_set_write_fn(png, &sink, writeBytes, flushNothing);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 layout == PngLayout::Rgb ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGBA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        png_write_row(png, texels + static_cast<size_t>(y) * width * bytesPerTexel);
    }
    png_write_end(png, info);
    return true;
}

} // namespace

bool encodePng(int fd, int width, int height, PngLayout layout, const std::uint8_t* texels,
               std::string& reason) {
    Sink sink{fd, 0};
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, stopEncoding, ignoreWarning);
    png_infop info = png == nullptr ? nullptr : png_create_info_struct(png);
    const bool encoded =
        info != nullptr && encodeRows(png, info, sink, width, height, layout, texels);
    png_destroy_write_struct(&png, &info);
    if (!encoded) {
        reason = sink.failedErrno != 0 ? std::strerror(sink.failedErrno) : "the PNG encoder failed";
    }
    return encoded;
}

bool writePng(const std::string& path, int width, int height, PngLayout layout,
              const std::uint8_t* texels, std::string& error) {
    OutputFile file;
    std::string reason;
    if (!file.create(path, error)) {
        return false;
    }
    if (!encodePng(file.descriptor(), width, height, layout, texels, reason)) {
        error = cannotWrite(path, reason);
        return false;
    }
    return file.finish(error) && file.commit(error);
}
