// The connection to the compositor: the globals haze uses, bound as they are
// announced, and the one line that ends the run when the compositor goes.
#include "platform/wayland/wayland_state.h"

#include "platform/wayland/layer_shell_protocol.h"
#include "xdg-shell-client-protocol.h"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>

namespace wayland {
namespace {

void ping(void*, xdg_wm_base* base, std::uint32_t serial) {
    xdg_wm_base_pong(base, serial);
}

const xdg_wm_base_listener wmBaseListener = {ping};

void announce(void*, wl_registry* registry, std::uint32_t name, const char* interface,
              std::uint32_t version) {
    if (std::strcmp(interface, wl_compositor_interface.name) == 0) {
        // Version 3 carries set_buffer_scale; 4 damage_buffer.
        state.compositor = static_cast<wl_compositor*>(
            wl_registry_bind(registry, name, &wl_compositor_interface, std::min(version, 4u)));
    } else if (std::strcmp(interface, xdg_wm_base_interface.name) == 0) {
        state.wmBase =
            static_cast<xdg_wm_base*>(wl_registry_bind(registry, name, &xdg_wm_base_interface, 1));
        xdg_wm_base_add_listener(state.wmBase, &wmBaseListener, nullptr);
    } else if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0) {
        // Version 4 names the exclusive keyboard interactivity; 1 to 3 take
        // the same value as "on".
        state.layerShellVersion = std::min(version, 4u);
        state.layerShell = static_cast<zwlr_layer_shell_v1*>(wl_registry_bind(
            registry, name, &zwlr_layer_shell_v1_interface, state.layerShellVersion));
    } else if (std::strcmp(interface, wl_output_interface.name) == 0) {
        bindOutput(name, version);
    } else if (std::strcmp(interface, "zxdg_output_manager_v1") == 0) {
        bindOutputManager(name, version);
    } else if (std::strcmp(interface, wl_seat_interface.name) == 0) {
        bindSeat(name, version);
    }
}

void withdraw(void*, wl_registry*, std::uint32_t name) {
    if (outputNamed(name) != nullptr) {
        outputGone(name);
        forgetOutput(name);
    }
}

const wl_registry_listener registryListener = {announce, withdraw};

// libwayland's own complaints would be a second line: the run's end is said
// once, by connectionLost.
void quietLog(const char*, va_list) {}

} // namespace

bool connect(std::string& error) {
    wl_log_set_handler_client(quietLog);
    state.display = wl_display_connect(nullptr);
    if (state.display == nullptr) {
        const char* name = std::getenv("WAYLAND_DISPLAY");
        error = std::string("cannot connect to the Wayland compositor '") +
                (name != nullptr ? name : "wayland-0") + "'";
        return false;
    }
    state.registry = wl_display_get_registry(state.display);
    wl_registry_add_listener(state.registry, &registryListener, nullptr);
    // The globals, then what the outputs and the seat say of themselves.
    if (wl_display_roundtrip(state.display) < 0 || wl_display_roundtrip(state.display) < 0) {
        error = "the Wayland compositor did not answer";
        return false;
    }
    if (state.compositor == nullptr) {
        error = "the Wayland compositor offers no wl_compositor";
        return false;
    }
    if (state.layerShell == nullptr && state.wmBase == nullptr) {
        error = "the Wayland compositor offers neither the layer shell nor xdg-shell";
        return false;
    }
    return true;
}

void flush() {
    while (wl_display_flush(state.display) < 0) {
        if (errno != EAGAIN) {
            connectionLost();
        }
        wl_display_dispatch_pending(state.display);
        pollfd out = {wl_display_get_fd(state.display), POLLOUT, 0};
        poll(&out, 1, -1);
    }
}

void endIfConnectionLost() {
    if (wl_display_get_error(state.display) != 0) {
        connectionLost();
    }
}

void connectionLost() {
    const int error = wl_display_get_error(state.display);
    if (error == EPROTO) {
        const wl_interface* interface = nullptr;
        std::uint32_t id = 0;
        const std::uint32_t code = wl_display_get_protocol_error(state.display, &interface, &id);
        std::fprintf(stderr,
                     "haze: the Wayland compositor ended the connection: protocol error %u on "
                     "%s\n",
                     code, interface != nullptr ? interface->name : "an unknown object");
    } else {
        std::fprintf(stderr, "haze: lost the connection to the Wayland compositor\n");
    }
    std::fflush(stderr);
    std::_Exit(1);
}

void disconnect() {
    if (state.display != nullptr) {
        wl_display_flush(state.display);
        wl_display_disconnect(state.display);
        state.display = nullptr;
    }
}

} // namespace wayland
