// The saver window's life: its surfaces on every output (or in -window's
// toplevel), the frame laid out over them as outputs come, go and change,
// and its one teardown.
#include "platform/wayland/frame_layout.h"
#include "platform/wayland/wayland_state.h"

#include <algorithm>
#include <cstdio>

namespace wayland {
namespace {

bool registerSaverClass(const SaverClassDesc& desc) {
    state.procedure = desc.procedure;
    return true;
}

View* viewOn(const Output& output) {
    for (auto& view : state.views) {
        if (view->outputName == output.name && view->role != SurfaceRole::Toplevel) {
            return view.get();
        }
    }
    return nullptr;
}

// The saver's surface on `output`, made when it has none.
void cover(Output& output) {
    if (!output.described || viewOn(output) != nullptr) {
        return;
    }
    SurfaceRole role = SurfaceRole::Background;
    if (state.saver == SaverKind::FullScreen) {
        role = state.layerShell != nullptr ? SurfaceRole::Overlay : SurfaceRole::Fullscreen;
    }
    createView(role, &output);
}

bool sameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// The frame over the saver's configured surfaces; true when a region or the
// frame's size changed.
bool layOut() {
    std::vector<View*> placed;
    std::vector<SurfacePlacement> placements;
    for (auto& view : state.views) {
        view->formerRegion = view->region;
        view->formerlyPlaced = view->placed;
        view->placed = false;
        const bool saverOwns =
            view->role != SurfaceRole::Toplevel || state.saver == SaverKind::OwnWindow;
        if (!saverOwns || !view->configured || view->closed || view->width <= 0 ||
            view->height <= 0) {
            continue;
        }
        SurfacePlacement p;
        if (const Output* output = outputNamed(view->outputName)) {
            p.x = outputArea(*output).left;
            p.y = outputArea(*output).top;
        }
        p.width = view->width;
        p.height = view->height;
        p.scale = view->scale;
        placements.push_back(p);
        placed.push_back(view.get());
    }
    const FrameLayout layout = layOutFrame(placements);
    bool changed = layout.width != state.frameWidth || layout.height != state.frameHeight;
    state.frameWidth = layout.width;
    state.frameHeight = layout.height;
    for (std::size_t i = 0; i < placed.size(); ++i) {
        placed[i]->region = layout.regions[i];
        placed[i]->placed = true;
    }
    for (auto& view : state.views) {
        changed = changed || view->placed != view->formerlyPlaced ||
                  (view->placed && !sameRect(view->region, view->formerRegion));
    }
    return changed;
}

// Once the compositor has said all it had to say after closing a surface:
// a surface whose output went is gone with it; one closed on an output
// still there means the compositor wants haze gone.
void settleClosedViews(void*, wl_callback* callback, std::uint32_t) {
    wl_callback_destroy(callback);
    bool closedByCompositor = false;
    for (std::size_t i = state.views.size(); i-- > 0;) {
        View* view = state.views[i].get();
        if (view->closed && outputNamed(view->outputName) != nullptr) {
            closedByCompositor = true;
        } else if (view->closed) {
            destroyView(view);
        }
    }
    if (closedByCompositor && state.saver != SaverKind::None) {
        state.queue.post({saverHandle, WM_CLOSE, 0, 0});
    }
}

const wl_callback_listener settleListener = {settleClosedViews};

void endSaverWindow() {
    if (state.saver == SaverKind::None) {
        return;
    }
    deliver(saverHandle, WM_DESTROY, 0, 0);
    for (std::size_t i = state.views.size(); i-- > 0;) {
        View* view = state.views[i].get();
        if (view->role == SurfaceRole::Toplevel) {
            releaseViewSurface(*view); // -window's toplevel stays until -window closes
            view->placed = false;
        } else {
            destroyView(view);
        }
    }
    state.saver = SaverKind::None;
    state.frameWidth = 0;
    state.frameHeight = 0;
    state.queue.forgetWindow(saverHandle);
    flush();
}

HWND createWindow(const SaverWindowDesc& desc) {
    if (state.saver != SaverKind::None) {
        return nullptr; // one saver window per process
    }
    if (desc.parent == nullptr) {
        state.saver = SaverKind::FullScreen;
    } else if (desc.parent == desktopHandle && state.layerShell != nullptr) {
        state.saver = SaverKind::Background;
    } else if (desc.parent == ownWindowHandle && state.ownWindowOpen) {
        state.saver = SaverKind::OwnWindow;
    } else {
        return nullptr; // no other client's window can hold haze's
    }
    for (auto& output : state.outputs) {
        if (state.saver != SaverKind::OwnWindow) {
            cover(*output);
        }
    }
    awaitConfiguration();
    layOut();
    state.layoutChanged = false;
    deliver(saverHandle, WM_CREATE, 0, 0);
    if (state.saver == SaverKind::None) {
        return nullptr; // destroyed during its creation
    }
    flush();
    deliver(saverHandle, WM_SHOWWINDOW, 1, 0);
    return state.saver != SaverKind::None ? saverHandle : nullptr;
}

LRESULT defaultWindowProc(HWND window, UINT message, WPARAM, LPARAM) {
    if (message == WM_CLOSE && window == saverHandle) {
        endSaverWindow();
    }
    return 0;
}

void hideCursor() {
    hidePointer();
}

} // namespace

void applyChanges() {
    if (state.closedViewsToSettle) {
        state.closedViewsToSettle = false;
        wl_callback_add_listener(wl_display_sync(state.display), &settleListener, nullptr);
    }
    if (!state.layoutChanged || state.saver == SaverKind::None) {
        return;
    }
    state.layoutChanged = false;
    const int formerWidth = state.frameWidth;
    const int formerHeight = state.frameHeight;
    if (!layOut()) {
        return;
    }
    followFrameLayout();
    if (state.frameWidth != formerWidth || state.frameHeight != formerHeight) {
        deliver(saverHandle, WM_SIZE, 0, MAKELPARAM(state.frameWidth, state.frameHeight));
    }
    // The monitors (the surfaces' regions) changed, or may have.
    deliver(saverHandle, WM_DISPLAYCHANGE, 0, 0);
}

void outputDescribed(Output& output) {
    if (View* view = viewOn(output)) {
        // A new scale, mode or place in the layout.
        view->scale = output.scale;
        state.layoutChanged = true;
    } else if (state.saver == SaverKind::FullScreen || state.saver == SaverKind::Background) {
        cover(output); // an output plugged in during the run
    }
}

void outputGone(std::uint32_t name) {
    for (std::size_t i = state.views.size(); i-- > 0;) {
        View* view = state.views[i].get();
        if (view->outputName == name && view->role != SurfaceRole::Toplevel) {
            destroyView(view);
        }
    }
}

void fillSaverWindowEntries(Platform& table) {
    table.registerSaverClass = registerSaverClass;
    table.createWindow = createWindow;
    table.defaultWindowProc = defaultWindowProc;
    table.hideCursor = hideCursor;
}

} // namespace wayland
