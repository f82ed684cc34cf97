// The message loop of the X11 backend: X events become window messages for
// the saver's procedure, beside the messages posted to it, its timers, the
// quit request and the stop signals.
#include "platform/posix_clock.h"
#include "platform/posix_entries.h"
#include "platform/posix_stop_signals.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_event_translation.h"
#include "platform/x11/x11_monitors.h"
#include "platform/x11/x11_state.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <poll.h>

namespace x11 {
namespace {

LRESULT deliverHandle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return deliver(asWindow(window), message, wParam, lParam);
}

void handleEvent(XEvent& event) {
    followVisibility(event);
    if (state.saver != 0 && event.type == ConfigureNotify && state.filled != 0 &&
        event.xconfigure.window == state.filled) {
        fillParent(event.xconfigure.width, event.xconfigure.height);
        return;
    }
    if (isMonitorChange(event)) {
        if (state.saver != 0) {
            deliver(state.saver, WM_DISPLAYCHANGE, 0, 0);
        }
        return;
    }
    if (state.ownWindow != 0 && event.xany.window == state.ownWindow) {
        handleOwnWindowEvent(event);
        return;
    }
    if (state.saver == 0 || event.xany.window != state.saver) {
        return;
    }
    if (event.type == DestroyNotify) {
        endSaverWindow(true);
        return;
    }
    TranslatedMessage message;
    if (!translateEvent(event, message)) {
        return;
    }
    if (message.message == WM_SIZE) {
        // A move or restack reconfigures the window too: only a new size counts.
        if (LOWORD(message.lParam) == state.width && HIWORD(message.lParam) == state.height) {
            return;
        }
        state.width = LOWORD(message.lParam);
        state.height = HIWORD(message.lParam);
    }
    deliver(state.saver, message.message, message.wParam, message.lParam);
}

// Windows' order of retrieval: posted messages, then input, then the quit
// request, then timers once nothing else waits. A stop signal is a close
// request for the saver window.
int runMessageLoop() {
    const int connectionFd = ConnectionNumber(display());
    for (;;) {
        if (takeStopRequest()) {
            if (state.saver != 0) {
                state.queue.post({asHandle(state.saver), WM_CLOSE, 0, 0});
            } else {
                state.queue.postQuit(0);
            }
        }
        QueuedMessage message;
        if (state.queue.takePosted(message)) {
            deliver(asWindow(message.window), message.message, message.wParam, message.lParam);
            continue;
        }
        if (XPending(display()) > 0) {
            XEvent event;
            XNextEvent(display(), &event);
            handleEvent(event);
            continue;
        }
        if (saverErrorsHeld()) {
            // Errors about the saver window: harmless if it has just gone.
            if (windowExists(asHandle(state.saver))) {
                settleSaverErrors(false);
            } else {
                endSaverWindow(true);
            }
            continue;
        }
        int exitCode = 0;
        if (state.queue.quitRequested(exitCode)) {
            return exitCode;
        }
        // Every timer message draws a frame: a due timer waits for the
        // pacer, which keeps frames to the display's refresh, and for the
        // saver window to be seen, when its first frame comes at once.
        const bool framesSeen = saverSeen();
        const std::uint64_t holdUs = state.pacer.usUntilNextFrame(monotonicUs());
        if (framesSeen && holdUs == 0 && state.queue.takeDueTimer(monotonicMs(), message)) {
            state.pacer.frameStarted(monotonicUs());
            deliver(asWindow(message.window), message.message, message.wParam, message.lParam);
            continue;
        }
        const std::int64_t timerMs = framesSeen ? state.queue.msUntilNextTimer(monotonicMs()) : -1;
        const std::int64_t waitUs =
            timerMs < 0 ? -1
                        : std::max<std::int64_t>(timerMs * 1000, static_cast<std::int64_t>(holdUs));
        const timespec timeout{static_cast<time_t>(waitUs / 1000000),
                               static_cast<long>(waitUs % 1000000) * 1000};
        pollfd watched[2] = {{connectionFd, POLLIN, 0}, {stopSignalFd(), POLLIN, 0}};
        const int ready =
            ppoll(watched, stopSignalFd() >= 0 ? 2 : 1, waitUs < 0 ? nullptr : &timeout, nullptr);
        if (ready < 0 && errno != EINTR) {
            std::fprintf(stderr, "haze: waiting for events failed: %s\n", std::strerror(errno));
            return 1;
        }
    }
}

} // namespace

void fillMessageEntries(Platform& table) {
    table.runMessageLoop = runMessageLoop;
    fillQueuedMessageEntries(table, state.queue, deliverHandle);
}

} // namespace x11
