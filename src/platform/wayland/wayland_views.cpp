// The saver's surfaces: each made with the role its mode asks for, sized by
// the compositor's configure events, and told when the compositor has shown
// its last frame.
#include "platform/wayland/wayland_state.h"

#include "platform/wayland/layer_shell_protocol.h"
#include "xdg-shell-client-protocol.h"

#include <algorithm>

namespace wayland {
namespace {

View* viewFrom(void* data) {
    return static_cast<View*>(data);
}

// A new size from the compositor; 0 leaves the choice to haze, which keeps
// what it had (or its output's size, for a surface just made).
void configureSize(View& view, int width, int height) {
    if (width > 0 && height > 0 && (width != view.width || height != view.height)) {
        view.width = width;
        view.height = height;
        state.layoutChanged = true;
    }
    if (!view.configured) {
        view.configured = true;
        state.layoutChanged = true;
    }
}

void layerConfigure(void* data, zwlr_layer_surface_v1* surface, std::uint32_t serial,
                    std::uint32_t width, std::uint32_t height) {
    zwlr_layer_surface_v1_ack_configure(surface, serial);
    configureSize(*viewFrom(data), static_cast<int>(width), static_cast<int>(height));
}

// The compositor withdrew the surface: its output went, or it wants haze
// gone. Which of the two is settled once the compositor has said all it has
// to say (see applyChanges).
void layerClosed(void* data, zwlr_layer_surface_v1*) {
    viewFrom(data)->closed = true;
    state.closedViewsToSettle = true;
}

const zwlr_layer_surface_v1_listener layerListener = {layerConfigure, layerClosed};

void xdgConfigure(void*, xdg_surface* surface, std::uint32_t serial) {
    xdg_surface_ack_configure(surface, serial);
}

const xdg_surface_listener xdgSurfaceListener = {xdgConfigure};

void toplevelConfigure(void* data, xdg_toplevel*, std::int32_t width, std::int32_t height,
                       wl_array*) {
    configureSize(*viewFrom(data), width, height);
}

// The compositor's close (a title bar's button, a key binding): the saver
// inside closes as it would on any other request.
void toplevelClose(void* data, xdg_toplevel*) {
    if (viewFrom(data)->role == SurfaceRole::Toplevel && state.saver != SaverKind::OwnWindow) {
        return; // -window before the saver runs in it: nothing to close yet
    }
    state.queue.post({saverHandle, WM_CLOSE, 0, 0});
}

// Newer than the version bound: never sent.
void toplevelBounds(void*, xdg_toplevel*, std::int32_t, std::int32_t) {}
void toplevelCapabilities(void*, xdg_toplevel*, wl_array*) {}

const xdg_toplevel_listener toplevelListener = {toplevelConfigure, toplevelClose, toplevelBounds,
                                                toplevelCapabilities};

// A toplevel draws at the largest scale of the outputs it is on.
void followEnteredOutputs(View& view) {
    int scale = 1;
    for (std::uint32_t name : view.enteredOutputs) {
        if (const Output* output = outputNamed(name)) {
            scale = std::max(scale, output->scale);
        }
    }
    if (scale != view.scale) {
        view.scale = scale;
        state.layoutChanged = true;
    }
}

// Only a toplevel: a surface on one output has that output's scale.
void surfaceEnter(void* data, wl_surface*, wl_output* wlOutput) {
    View& view = *viewFrom(data);
    if (view.role != SurfaceRole::Toplevel) {
        return;
    }
    if (const Output* output = outputOf(wlOutput)) {
        view.enteredOutputs.push_back(output->name);
        followEnteredOutputs(view);
    }
}

void surfaceLeave(void* data, wl_surface*, wl_output* wlOutput) {
    View& view = *viewFrom(data);
    if (view.role != SurfaceRole::Toplevel) {
        return;
    }
    if (const Output* output = outputOf(wlOutput)) {
        auto& entered = view.enteredOutputs;
        entered.erase(std::remove(entered.begin(), entered.end(), output->name), entered.end());
        followEnteredOutputs(view);
    }
}

const wl_surface_listener surfaceListener = {surfaceEnter, surfaceLeave};

// Layers of the layer shell, as its protocol numbers them.
constexpr std::uint32_t backgroundLayer = 0;
constexpr std::uint32_t overlayLayer = 3;

void makeLayerSurface(View& view, const Output& output) {
    const bool overlay = view.role == SurfaceRole::Overlay;
    view.layerSurface =
        zwlr_layer_shell_v1_get_layer_surface(state.layerShell, view.surface, output.output,
                                              overlay ? overlayLayer : backgroundLayer, "haze");
    zwlr_layer_surface_v1_add_listener(view.layerSurface, &layerListener, &view);
    // The whole output: anchored to every edge at the size the compositor
    // chooses, over (or under) panels rather than beside them.
    zwlr_layer_surface_v1_set_anchor(view.layerSurface, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP |
                                                            ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                                                            ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT |
                                                            ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
    zwlr_layer_surface_v1_set_size(view.layerSurface, 0, 0);
    zwlr_layer_surface_v1_set_exclusive_zone(view.layerSurface, -1);
    if (overlay) {
        // Every key comes to the saver, whatever had the keyboard.
        zwlr_layer_surface_v1_set_keyboard_interactivity(
            view.layerSurface, ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_EXCLUSIVE);
    } else {
        // A background takes no input: clicks and keys stay the desktop's.
        wl_region* nothing = wl_compositor_create_region(state.compositor);
        wl_surface_set_input_region(view.surface, nothing);
        wl_region_destroy(nothing);
    }
}

void makeToplevel(View& view, const Output* output) {
    view.xdgSurface = xdg_wm_base_get_xdg_surface(state.wmBase, view.surface);
    xdg_surface_add_listener(view.xdgSurface, &xdgSurfaceListener, &view);
    view.toplevel = xdg_surface_get_toplevel(view.xdgSurface);
    xdg_toplevel_add_listener(view.toplevel, &toplevelListener, &view);
    xdg_toplevel_set_title(view.toplevel,
                           view.role == SurfaceRole::Fullscreen ? "Screen Saver" : "haze");
    xdg_toplevel_set_app_id(view.toplevel, "haze");
    if (view.role == SurfaceRole::Fullscreen) {
        xdg_toplevel_set_fullscreen(view.toplevel, output->output);
    }
}

void frameShown(void* data, wl_callback* callback, std::uint32_t) {
    View& view = *viewFrom(data);
    wl_callback_destroy(callback);
    if (view.frameCallback == callback) {
        view.frameCallback = nullptr;
    }
}

} // namespace

const wl_callback_listener frameListener = {frameShown};

View* createView(SurfaceRole role, Output* output) {
    const bool layered = role == SurfaceRole::Overlay || role == SurfaceRole::Background;
    if ((layered && state.layerShell == nullptr) || (!layered && state.wmBase == nullptr)) {
        return nullptr;
    }
    auto view = std::make_unique<View>();
    view->role = role;
    view->surface = wl_compositor_create_surface(state.compositor);
    wl_surface_add_listener(view->surface, &surfaceListener, view.get());
    if (output != nullptr) {
        view->outputName = output->name;
        view->scale = output->scale;
        // Until the compositor says otherwise, the output's size.
        const RECT area = outputArea(*output);
        view->width = area.right - area.left;
        view->height = area.bottom - area.top;
    }
    if (layered) {
        makeLayerSurface(*view, *output);
    } else {
        makeToplevel(*view, output);
    }
    wl_surface_commit(view->surface); // asks for the first configure
    state.views.push_back(std::move(view));
    state.layoutChanged = true;
    return state.views.back().get();
}

void destroyView(View* view) {
    auto& views = state.views;
    auto it = std::find_if(views.begin(), views.end(),
                           [view](const std::unique_ptr<View>& v) { return v.get() == view; });
    if (it == views.end()) {
        return;
    }
    releaseViewSurface(*view);
    if (view->frameCallback != nullptr) {
        wl_callback_destroy(view->frameCallback);
    }
    if (view->layerSurface != nullptr) {
        zwlr_layer_surface_v1_destroy(view->layerSurface);
    }
    if (view->toplevel != nullptr) {
        xdg_toplevel_destroy(view->toplevel);
    }
    if (view->xdgSurface != nullptr) {
        xdg_surface_destroy(view->xdgSurface);
    }
    wl_surface_destroy(view->surface);
    views.erase(it);
    state.layoutChanged = true;
}

void awaitConfiguration() {
    auto unconfigured = [] {
        return std::any_of(state.views.begin(), state.views.end(),
                           [](const std::unique_ptr<View>& v) { return !v->configured; });
    };
    // The first configure answers the first commit: a roundtrip or two at most.
    for (int attempt = 0; attempt < 3 && unconfigured(); ++attempt) {
        if (wl_display_roundtrip(state.display) < 0) {
            connectionLost();
        }
    }
}

bool wantsFrame(const View& view) {
    return view.configured && !view.closed && view.frameCallback == nullptr && view.width > 0 &&
           view.height > 0;
}

bool framesWanted() {
    return std::any_of(state.views.begin(), state.views.end(),
                       [](const std::unique_ptr<View>& v) { return v->placed && wantsFrame(*v); });
}

View* viewOf(wl_surface* surface) {
    for (auto& view : state.views) {
        if (view->surface == surface) {
            return view.get();
        }
    }
    return nullptr;
}

} // namespace wayland
