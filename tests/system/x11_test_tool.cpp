// A small X11 helper for the system tests.
//
//   x11_test_tool window WxH        maps a top-level window of that size,
//                                   prints its id (decimal) and keeps it
//                                   until killed
//   x11_test_tool pixel X Y         prints the colour of the screen at (X, Y)
//                                   as "R G B"
//   x11_test_tool screenshot FILE   writes the whole screen as a PNG
//   x11_test_tool close ID          asks the window to close as a window
//                                   manager's close button does
//   x11_test_tool resize ID WxH     resizes the window as a window manager
//                                   or a settings page laying itself out does
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

int fail(const char* message) {
    std::fprintf(stderr, "x11_test_tool: %s\n", message);
    return 1;
}

// Bits of a channel in a TrueColor pixel, scaled to 0..255.
int channel(unsigned long pixel, unsigned long mask) {
    if (mask == 0) {
        return 0;
    }
    int shift = 0;
    while (((mask >> shift) & 1u) == 0) {
        ++shift;
    }
    const unsigned long maximum = mask >> shift;
    return static_cast<int>(((pixel & mask) >> shift) * 255u / maximum);
}

int window(Display* display, const char* size) {
    unsigned width = 0;
    unsigned height = 0;
    if (std::sscanf(size, "%ux%u", &width, &height) != 2 || width == 0 || height == 0) {
        return fail("window needs WxH");
    }
    const int screen = DefaultScreen(display);
    const Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 10, 10, width,
                                              height, 0, 0, WhitePixel(display, screen));
    XStoreName(display, window, "haze test window");
    XSelectInput(display, window, StructureNotifyMask | KeyPressMask | ButtonPressMask);
    XMapWindow(display, window);
    XEvent event;
    do {
        XNextEvent(display, &event);
    } while (event.type != MapNotify);
    std::printf("%lu\n", static_cast<unsigned long>(window));
    std::fflush(stdout);

    for (;;) {
        XNextEvent(display, &event); // served until the process is killed
    }
}

XImage* grabScreen(Display* display) {
    const Window root = DefaultRootWindow(display);
    XWindowAttributes attributes;
    XGetWindowAttributes(display, root, &attributes);
    return XGetImage(display, root, 0, 0, static_cast<unsigned>(attributes.width),
                     static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
}

int pixel(Display* display, int x, int y) {
    XImage* image = grabScreen(display);
    if (image == nullptr || x < 0 || y < 0 || x >= image->width || y >= image->height) {
        return fail("no such pixel");
    }
    const unsigned long p = XGetPixel(image, x, y);
    std::printf("%d %d %d\n", channel(p, image->red_mask), channel(p, image->green_mask),
                channel(p, image->blue_mask));
    XDestroyImage(image);
    return 0;
}

int screenshot(Display* display, const char* path) {
    XImage* image = grabScreen(display);
    if (image == nullptr) {
        return fail("cannot read the screen");
    }
    std::vector<unsigned char> rgb(static_cast<size_t>(image->width) * image->height * 3);
    for (int y = 0; y < image->height; ++y) {
        for (int x = 0; x < image->width; ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            unsigned char* out = &rgb[(static_cast<size_t>(y) * image->width + x) * 3];
            out[0] = static_cast<unsigned char>(channel(p, image->red_mask));
            out[1] = static_cast<unsigned char>(channel(p, image->green_mask));
            out[2] = static_cast<unsigned char>(channel(p, image->blue_mask));
        }
    }
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image->width);
    png.height = static_cast<png_uint_32>(image->height);
    png.format = PNG_FORMAT_RGB;
    const int written = png_image_write_to_file(&png, path, 0, rgb.data(), 0, nullptr);
    XDestroyImage(image);
    return written ? 0 : fail("cannot write the screenshot");
}

// WM_PROTOCOLS / WM_DELETE_WINDOW, as a window manager sends it.
int close(Display* display, const char* id) {
    const Window window = std::strtoul(id, nullptr, 0);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    return 0;
}

int resize(Display* display, const char* id, const char* size) {
    unsigned width = 0;
    unsigned height = 0;
    if (std::sscanf(size, "%ux%u", &width, &height) != 2 || width == 0 || height == 0) {
        return fail("resize needs WxH");
    }
    XResizeWindow(display, std::strtoul(id, nullptr, 0), width, height);
    XSync(display, False);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        return fail("usage: x11_test_tool window WxH | pixel X Y | screenshot FILE | close ID | "
                    "resize ID WxH");
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return fail("no display");
    }
    const char* command = argv[1];
    if (std::strcmp(command, "window") == 0) {
        return window(display, argv[2]);
    }
    if (std::strcmp(command, "pixel") == 0 && argc == 4) {
        return pixel(display, std::atoi(argv[2]), std::atoi(argv[3]));
    }
    if (std::strcmp(command, "close") == 0) {
        return close(display, argv[2]);
    }
    if (std::strcmp(command, "resize") == 0 && argc == 4) {
        return resize(display, argv[2], argv[3]);
    }
    if (std::strcmp(command, "screenshot") == 0) {
        return screenshot(display, argv[2]);
    }
    return fail("unknown command");
}
