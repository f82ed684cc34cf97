// The seat's keyboard and pointer, as window messages for the host's input
// rules: keys, buttons and motion over the full-screen saver's surfaces, and
// the keyboard leaving them; q and Escape in -window's toplevel close it.
#include "platform/wayland/frame_layout.h"
#include "platform/wayland/wayland_state.h"

#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <cstdint>
#include <sys/mman.h>
#include <unistd.h>

namespace wayland {
namespace {

// Buttons as Linux's input events number them.
constexpr std::uint32_t leftButton = 0x110;
constexpr std::uint32_t rightButton = 0x111;
constexpr std::uint32_t middleButton = 0x112;

// XKB numbers keys 8 above Linux's input events, as X11 key codes do.
constexpr std::uint32_t xkbKeycodeOffset = 8;

bool fullScreen() {
    return state.saver == SaverKind::FullScreen;
}

// Window coordinates packed as Windows packs them: two signed 16-bit values.
LPARAM pointAsLParam(POINT point) {
    const auto low = static_cast<std::uint16_t>(static_cast<std::int16_t>(point.x));
    const auto high = static_cast<std::uint16_t>(static_cast<std::int16_t>(point.y));
    return static_cast<LPARAM>(static_cast<std::uint32_t>(low) |
                               (static_cast<std::uint32_t>(high) << 16));
}

void queueInput(UINT message, WPARAM wParam, LPARAM lParam) {
    state.input.push_back({saverHandle, message, wParam, lParam});
}

// --- pointer ------------------------------------------------------------------

void pointerAt(wl_surface* surface, wl_fixed_t x, wl_fixed_t y) {
    const View* view = surface != nullptr ? viewOf(surface) : nullptr;
    if (view == nullptr || !view->placed) {
        return;
    }
    state.pointerAt =
        framePoint(view->region, view->scale, wl_fixed_to_double(x), wl_fixed_to_double(y));
    state.pointerKnown = true;
    if (fullScreen()) {
        queueInput(WM_MOUSEMOVE, 0, pointAsLParam(state.pointerAt));
    }
}

wl_surface* pointerSurface = nullptr; // the saver's surface the pointer is over

void pointerEnter(void*, wl_pointer* pointer, std::uint32_t serial, wl_surface* surface,
                  wl_fixed_t x, wl_fixed_t y) {
    pointerSurface = surface;
    state.pointerSerial = serial;
    if (state.cursorHidden && viewOf(surface) != nullptr) {
        wl_pointer_set_cursor(pointer, serial, nullptr, 0, 0);
    }
    pointerAt(surface, x, y);
}

void pointerLeave(void*, wl_pointer*, std::uint32_t, wl_surface*) {
    pointerSurface = nullptr;
}

void pointerMotion(void*, wl_pointer*, std::uint32_t, wl_fixed_t x, wl_fixed_t y) {
    pointerAt(pointerSurface, x, y);
}

void pointerButton(void*, wl_pointer*, std::uint32_t, std::uint32_t, std::uint32_t button,
                   std::uint32_t pressed) {
    if (!fullScreen() || pressed != WL_POINTER_BUTTON_STATE_PRESSED) {
        return;
    }
    UINT message = 0;
    switch (button) {
    case leftButton:
        message = WM_LBUTTONDOWN;
        break;
    case rightButton:
        message = WM_RBUTTONDOWN;
        break;
    case middleButton:
        message = WM_MBUTTONDOWN;
        break;
    default:
        return; // as on X11, only the three buttons a click is made of
    }
    queueInput(message, 0, pointAsLParam(state.pointerAt));
}

void pointerAxis(void*, wl_pointer*, std::uint32_t, std::uint32_t, wl_fixed_t) {}
void pointerFrame(void*, wl_pointer*) {}
void pointerAxisSource(void*, wl_pointer*, std::uint32_t) {}
void pointerAxisStop(void*, wl_pointer*, std::uint32_t, std::uint32_t) {}
void pointerAxisDiscrete(void*, wl_pointer*, std::uint32_t, std::int32_t) {}
void pointerAxisValue120(void*, wl_pointer*, std::uint32_t, std::int32_t) {}

const wl_pointer_listener pointerListener = {
    pointerEnter, pointerLeave,      pointerMotion,   pointerButton,       pointerAxis,
    pointerFrame, pointerAxisSource, pointerAxisStop, pointerAxisDiscrete, pointerAxisValue120};

// --- keyboard -----------------------------------------------------------------

void keymap(void*, wl_keyboard*, std::uint32_t format, std::int32_t fd, std::uint32_t size) {
    if (format != WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1) {
        close(fd);
        return;
    }
    void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    close(fd);
    if (text == MAP_FAILED) {
        return;
    }
    xkb_keymap* map =
        xkb_keymap_new_from_string(state.xkb, static_cast<const char*>(text),
                                   XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
    munmap(text, size);
    if (map == nullptr) {
        return;
    }
    xkb_state_unref(state.keys);
    xkb_keymap_unref(state.keymap);
    state.keymap = map;
    state.keys = xkb_state_new(map);
}

void keyboardEnter(void*, wl_keyboard*, std::uint32_t, wl_surface* surface, wl_array*) {
    if (viewOf(surface) != nullptr) {
        state.keyboardFocus = true;
    }
}

// The keyboard may only be passing from one of the saver's surfaces to
// another: whether it left them all is known once the compositor has said
// all it had to say, at the end of a roundtrip.
void focusSettled(void*, wl_callback* callback, std::uint32_t) {
    wl_callback_destroy(callback);
    if (!state.keyboardFocus && fullScreen()) {
        queueInput(WM_ACTIVATEAPP, 0, 0);
    }
}

const wl_callback_listener focusSettledListener = {focusSettled};

void keyboardLeave(void*, wl_keyboard*, std::uint32_t, wl_surface*) {
    state.keyboardFocus = false;
    if (fullScreen()) {
        wl_callback_add_listener(wl_display_sync(state.display), &focusSettledListener, nullptr);
    }
}

bool closesOwnWindow(std::uint32_t key) {
    if (state.keys == nullptr) {
        return false;
    }
    const xkb_keysym_t symbol = xkb_state_key_get_one_sym(state.keys, key + xkbKeycodeOffset);
    return symbol == XKB_KEY_q || symbol == XKB_KEY_Q || symbol == XKB_KEY_Escape;
}

void key(void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t key,
         std::uint32_t pressed) {
    if (pressed != WL_KEYBOARD_KEY_STATE_PRESSED) {
        return;
    }
    if (fullScreen()) {
        const bool alt =
            state.keys != nullptr && xkb_state_mod_name_is_active(state.keys, XKB_MOD_NAME_ALT,
                                                                  XKB_STATE_MODS_EFFECTIVE) > 0;
        queueInput(alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key + xkbKeycodeOffset, 1);
    } else if (state.saver == SaverKind::OwnWindow && closesOwnWindow(key)) {
        state.queue.post({saverHandle, WM_CLOSE, 0, 0});
    }
}

void modifiers(void*, wl_keyboard*, std::uint32_t, std::uint32_t depressed, std::uint32_t latched,
               std::uint32_t locked, std::uint32_t group) {
    if (state.keys != nullptr) {
        xkb_state_update_mask(state.keys, depressed, latched, locked, 0, 0, group);
    }
}

void repeatInfo(void*, wl_keyboard*, std::int32_t, std::int32_t) {}

const wl_keyboard_listener keyboardListener = {keymap, keyboardEnter, keyboardLeave,
                                               key,    modifiers,     repeatInfo};

// --- seat ---------------------------------------------------------------------

// A device of a seat older than version 3 has no release request.
void release(wl_pointer*& pointer) {
    if (pointer != nullptr && wl_pointer_get_version(pointer) >= WL_POINTER_RELEASE_SINCE_VERSION) {
        wl_pointer_release(pointer);
    } else if (pointer != nullptr) {
        wl_pointer_destroy(pointer);
    }
    pointer = nullptr;
}

void release(wl_keyboard*& keyboard) {
    if (keyboard != nullptr &&
        wl_keyboard_get_version(keyboard) >= WL_KEYBOARD_RELEASE_SINCE_VERSION) {
        wl_keyboard_release(keyboard);
    } else if (keyboard != nullptr) {
        wl_keyboard_destroy(keyboard);
    }
    keyboard = nullptr;
}

void capabilities(void*, wl_seat* seat, std::uint32_t caps) {
    if ((caps & WL_SEAT_CAPABILITY_POINTER) != 0 && state.pointer == nullptr) {
        state.pointer = wl_seat_get_pointer(seat);
        wl_pointer_add_listener(state.pointer, &pointerListener, nullptr);
    } else if ((caps & WL_SEAT_CAPABILITY_POINTER) == 0) {
        release(state.pointer);
        pointerSurface = nullptr;
    }
    if ((caps & WL_SEAT_CAPABILITY_KEYBOARD) != 0 && state.keyboard == nullptr) {
        state.keyboard = wl_seat_get_keyboard(seat);
        wl_keyboard_add_listener(state.keyboard, &keyboardListener, nullptr);
    } else if ((caps & WL_SEAT_CAPABILITY_KEYBOARD) == 0) {
        release(state.keyboard);
    }
}

void seatName(void*, wl_seat*, const char*) {}

const wl_seat_listener seatListener = {capabilities, seatName};

} // namespace

void bindSeat(std::uint32_t name, std::uint32_t version) {
    if (state.seat != nullptr) {
        return; // the first seat's devices are the ones haze listens to
    }
    if (state.xkb == nullptr) {
        state.xkb = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    }
    // Version 5 has the devices' release requests.
    state.seat = static_cast<wl_seat*>(
        wl_registry_bind(state.registry, name, &wl_seat_interface, std::min(version, 5u)));
    wl_seat_add_listener(state.seat, &seatListener, nullptr);
}

void forgetSeatDevices() {
    release(state.pointer);
    release(state.keyboard);
}

void hidePointer() {
    state.cursorHidden = true;
    if (state.pointer != nullptr && pointerSurface != nullptr) {
        wl_pointer_set_cursor(state.pointer, state.pointerSerial, nullptr, 0, 0);
    }
}

} // namespace wayland
