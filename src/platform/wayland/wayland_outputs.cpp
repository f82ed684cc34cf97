// The outputs: their modes, scales and places in the compositor's layout,
// from wl_output and, where the compositor offers it, xdg-output (wl_output's
// own position is 0,0 on some compositors).
#include "platform/wayland/wayland_state.h"

#include "xdg-output-unstable-v1-client-protocol.h"

#include <algorithm>

namespace wayland {
namespace {

Output* described(void* data) {
    return static_cast<Output*>(data);
}

void geometry(void* data, wl_output*, std::int32_t x, std::int32_t y, std::int32_t, std::int32_t,
              std::int32_t, const char*, const char*, std::int32_t) {
    Output* output = described(data);
    if (output->xdgOutput == nullptr) {
        output->x = x;
        output->y = y;
    }
}

void mode(void* data, wl_output*, std::uint32_t flags, std::int32_t width, std::int32_t height,
          std::int32_t) {
    if ((flags & WL_OUTPUT_MODE_CURRENT) != 0) {
        described(data)->modeWidth = width;
        described(data)->modeHeight = height;
    }
}

void done(void* data, wl_output*) {
    Output* output = described(data);
    output->described = true;
    outputDescribed(*output);
}

void scale(void* data, wl_output*, std::int32_t factor) {
    described(data)->scale = std::max(factor, 1);
}

void name(void*, wl_output*, const char*) {}
void description(void*, wl_output*, const char*) {}

const wl_output_listener outputListener = {geometry, mode, done, scale, name, description};

void logicalPosition(void* data, zxdg_output_v1*, std::int32_t x, std::int32_t y) {
    described(data)->x = x;
    described(data)->y = y;
}

void logicalSize(void* data, zxdg_output_v1*, std::int32_t width, std::int32_t height) {
    described(data)->logicalWidth = width;
    described(data)->logicalHeight = height;
}

// Before version 3 xdg-output ends its own descriptions; since, wl_output's
// done ends both.
void xdgDone(void* data, zxdg_output_v1* xdgOutput) {
    if (zxdg_output_v1_get_version(xdgOutput) < 3) {
        done(data, described(data)->output);
    }
}

void xdgName(void*, zxdg_output_v1*, const char*) {}
void xdgDescription(void*, zxdg_output_v1*, const char*) {}

const zxdg_output_v1_listener xdgOutputListener = {logicalPosition, logicalSize, xdgDone, xdgName,
                                                   xdgDescription};

void describeLogically(Output& output) {
    if (state.outputManager != nullptr && output.xdgOutput == nullptr) {
        output.xdgOutput =
            zxdg_output_manager_v1_get_xdg_output(state.outputManager, output.output);
        zxdg_output_v1_add_listener(output.xdgOutput, &xdgOutputListener, &output);
    }
}

} // namespace

void bindOutput(std::uint32_t name, std::uint32_t version) {
    auto output = std::make_unique<Output>();
    output->name = name;
    // Version 2 brings the scale and the end of each description.
    output->output = static_cast<wl_output*>(
        wl_registry_bind(state.registry, name, &wl_output_interface, std::min(version, 4u)));
    wl_output_add_listener(output->output, &outputListener, output.get());
    describeLogically(*output);
    state.outputs.push_back(std::move(output));
}

void bindOutputManager(std::uint32_t name, std::uint32_t version) {
    state.outputManager = static_cast<zxdg_output_manager_v1*>(wl_registry_bind(
        state.registry, name, &zxdg_output_manager_v1_interface, std::min(version, 3u)));
    for (auto& output : state.outputs) {
        describeLogically(*output);
    }
}

void forgetOutput(std::uint32_t name) {
    auto& outputs = state.outputs;
    for (auto it = outputs.begin(); it != outputs.end(); ++it) {
        if ((*it)->name != name) {
            continue;
        }
        if ((*it)->xdgOutput != nullptr) {
            zxdg_output_v1_destroy((*it)->xdgOutput);
        }
        if (wl_output_get_version((*it)->output) >= WL_OUTPUT_RELEASE_SINCE_VERSION) {
            wl_output_release((*it)->output);
        } else {
            wl_output_destroy((*it)->output);
        }
        outputs.erase(it);
        return;
    }
}

Output* outputNamed(std::uint32_t name) {
    for (auto& output : state.outputs) {
        if (output->name == name) {
            return output.get();
        }
    }
    return nullptr;
}

Output* outputOf(wl_output* wlOutput) {
    for (auto& output : state.outputs) {
        if (output->output == wlOutput) {
            return output.get();
        }
    }
    return nullptr;
}

RECT outputArea(const Output& output) {
    // The logical size: xdg-output's, else the mode over the scale.
    const int width = output.logicalWidth > 0 ? output.logicalWidth
                                              : output.modeWidth / std::max(output.scale, 1);
    const int height = output.logicalHeight > 0 ? output.logicalHeight
                                                : output.modeHeight / std::max(output.scale, 1);
    return RECT{output.x, output.y, output.x + width, output.y + height};
}

} // namespace wayland
