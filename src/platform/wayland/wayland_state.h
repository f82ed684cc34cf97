// What the Wayland backend's files share: its one record of state (the
// compositor's globals, its outputs, the saver's surfaces, the input
// devices), delivery to the saver's procedure, and the parts of the seam's
// table each file fills.
#pragma once

#include "platform/frame_pacer.h"
#include "platform/message_queue.h"
#include "platform/platform.h"

#include <EGL/egl.h>
#include <wayland-client.h>
#include <wayland-egl.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

struct xdg_wm_base;
struct xdg_surface;
struct xdg_toplevel;
struct zxdg_output_manager_v1;
struct zxdg_output_v1;
struct zwlr_layer_shell_v1;
struct zwlr_layer_surface_v1;
struct xkb_context;
struct xkb_keymap;
struct xkb_state;

namespace wayland {

// The handles the seam hands out: the saver's virtual window, the desktop
// (-root's parent: every output's background) and -window's toplevel.
const HWND saverHandle = reinterpret_cast<HWND>(std::uintptr_t{1});
const HWND desktopHandle = reinterpret_cast<HWND>(std::uintptr_t{2});
const HWND ownWindowHandle = reinterpret_cast<HWND>(std::uintptr_t{3});

struct Output {
    std::uint32_t name = 0; // the registry's name of the global
    wl_output* output = nullptr;
    zxdg_output_v1* xdgOutput = nullptr;
    int x = 0; // the logical position in the compositor's layout
    int y = 0;
    int logicalWidth = 0; // from xdg-output; 0 when not known
    int logicalHeight = 0;
    int modeWidth = 0; // the current mode, device pixels
    int modeHeight = 0;
    int scale = 1;
    bool described = false; // its first full description came
};

// What a surface of the saver is to the compositor.
enum class SurfaceRole {
    Overlay,    // full screen: the layer shell's overlay layer on one output
    Background, // -root: the background layer on one output
    Fullscreen, // full screen without a layer shell: an xdg-shell toplevel
    Toplevel,   // -window: an ordinary xdg-shell toplevel
};

// One surface of the saver and its part of the frame.
struct View {
    SurfaceRole role = SurfaceRole::Overlay;
    std::uint32_t outputName = 0; // its output (0 for -window's toplevel)
    wl_surface* surface = nullptr;
    zwlr_layer_surface_v1* layerSurface = nullptr;
    xdg_surface* xdgSurface = nullptr;
    xdg_toplevel* toplevel = nullptr;
    int width = 0; // logical size as last configured; 0 until known
    int height = 0;
    int scale = 1;        // buffer scale: its output's, or the largest of those it is on
    int appliedScale = 1; // the buffer scale the compositor was last told
    std::vector<std::uint32_t> enteredOutputs; // for a toplevel's scale
    bool configured = false;
    bool closed = false;                  // the compositor closed it
    wl_callback* frameCallback = nullptr; // pending: the compositor has not shown the last frame
    wl_egl_window* eglWindow = nullptr;
    EGLSurface eglSurface = EGL_NO_SURFACE;
    bool swapIntervalSet = false;
    RECT region{0, 0, 0, 0};       // in the frame, device pixels
    bool placed = false;           // `region` holds a place in the current frame
    RECT formerRegion{0, 0, 0, 0}; // its region in the frame before the last layout
    bool formerlyPlaced = false;
};

enum class SaverKind { None, FullScreen, Background, OwnWindow };

struct State {
    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    wl_compositor* compositor = nullptr;
    xdg_wm_base* wmBase = nullptr;
    zwlr_layer_shell_v1* layerShell = nullptr;
    std::uint32_t layerShellVersion = 0;
    zxdg_output_manager_v1* outputManager = nullptr;
    wl_seat* seat = nullptr;
    wl_keyboard* keyboard = nullptr;
    wl_pointer* pointer = nullptr;
    std::vector<std::unique_ptr<Output>> outputs;
    std::vector<std::unique_ptr<View>> views; // the saver's, and -window's toplevel

    MessageQueue queue;
    std::deque<QueuedMessage> input; // input heard, waiting for the loop
    FramePacer pacer;                // -delay: the shortest time between frames
    WNDPROC procedure = nullptr;
    SaverKind saver = SaverKind::None;
    bool ownWindowOpen = false;
    int frameWidth = 0; // the virtual window, device pixels
    int frameHeight = 0;
    // Outputs, surfaces or sizes changed: the frame is laid out anew by the
    // loop (never inside a listener, which may not call the procedure).
    bool layoutChanged = false;
    bool closedViewsToSettle = false; // a closed surface waits for a sync

    // The pointer, where it was last over a surface, in frame pixels.
    bool pointerKnown = false;
    POINT pointerAt{0, 0};
    std::uint32_t pointerSerial = 0; // of its last entry into a surface
    bool cursorHidden = false;
    // The keyboard.
    xkb_context* xkb = nullptr;
    xkb_keymap* keymap = nullptr;
    xkb_state* keys = nullptr;
    bool keyboardFocus = false;
};

extern State state;

// Calls the saver's procedure when `window` is the saver window; 0 otherwise.
LRESULT deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The view of `surface`, or null.
View* viewOf(wl_surface* surface);
Output* outputNamed(std::uint32_t name);
Output* outputOf(wl_output* output);

// --- wayland_connection.cpp: the connection and the compositor's globals ------

bool connect(std::string& error);
// Sends what is buffered; reports and ends the process when the compositor
// has gone.
void flush();
// Ends the process in one line when the connection has failed (the
// compositor went away, or ended the connection over a protocol error).
void endIfConnectionLost();
[[noreturn]] void connectionLost();
void disconnect();

// --- wayland_outputs.cpp: the outputs and their descriptions ---------------------

void bindOutput(std::uint32_t name, std::uint32_t version);
void bindOutputManager(std::uint32_t name, std::uint32_t version);
void forgetOutput(std::uint32_t name);
// The logical rectangle an output covers.
RECT outputArea(const Output& output);

// --- wayland_views.cpp: the saver's surfaces -----------------------------------

// A surface of `role` on `output` (null for a toplevel); null when the
// compositor has no shell for it.
View* createView(SurfaceRole role, Output* output);
void destroyView(View* view);
// Waits until each of the views has its first configuration.
void awaitConfiguration();
// Whether a surface of the saver has shown its last frame and waits for the
// next: frames are drawn only then.
bool framesWanted();
// Whether `view` may be given a frame now.
bool wantsFrame(const View& view);
// Hears that the compositor has shown a view's last frame (its data is the View).
extern const wl_callback_listener frameListener;

// --- wayland_saver_window.cpp: the saver window's life and layout ---------------

void fillSaverWindowEntries(Platform& table);
// Lays the frame out anew after a change of outputs or surfaces, and tells
// the procedure (WM_SIZE, WM_DISPLAYCHANGE); ends the saver when the
// compositor closed its surfaces.
void applyChanges();
// An output was described anew or for the first time: the saver covers it.
void outputDescribed(Output& output);
void outputGone(std::uint32_t name);

// --- wayland_input.cpp: the seat, keyboard and pointer -------------------------

void bindSeat(std::uint32_t name, std::uint32_t version);
// The pointer is hidden over the saver's surfaces from now on.
void hidePointer();

// --- wayland_message_loop.cpp: events, posted messages and timers ---------------

void fillMessageEntries(Platform& table);

// --- wayland_gl_surface.cpp: EGL, the frame and its copies ------------------------

bool startEgl(std::string& error);
void fillGLSurfaceEntries(Platform& table);
// The frame follows a new layout: it is made at the new size, each surface's
// former region copied to its new one. Called before the procedure hears of it.
void followFrameLayout();
// A view goes: its EGL surface first.
void releaseViewSurface(View& view);
void stopEgl();

// --- wayland_own_window.cpp: -window's toplevel --------------------------------

HWND createOwnWindow(int width, int height);
void destroyOwnWindow(HWND window);
View* ownWindowView();

} // namespace wayland
