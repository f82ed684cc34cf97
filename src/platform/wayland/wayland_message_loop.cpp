// The message loop of the Wayland backend: the compositor's events become
// window messages for the saver's procedure, beside the messages posted to
// it, its timers, the quit request and the stop signals. Frames (timer
// messages) wait for a surface whose last frame the compositor has shown.
#include "platform/posix_clock.h"
#include "platform/posix_entries.h"
#include "platform/posix_stop_signals.h"
#include "platform/wayland/wayland_state.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <poll.h>

namespace wayland {
namespace {

// Reads what the compositor sent, waiting at most `waitUs` (-1: until
// something arrives) for it or a stop signal.
void waitForEvents(std::int64_t waitUs) {
    while (wl_display_prepare_read(state.display) != 0) {
        wl_display_dispatch_pending(state.display);
    }
    short connectionEvents = POLLIN;
    if (wl_display_flush(state.display) < 0) {
        if (errno != EAGAIN) {
            wl_display_cancel_read(state.display);
            connectionLost();
        }
        connectionEvents |= POLLOUT; // the rest goes once the compositor reads
    }
    const timespec timeout{static_cast<time_t>(waitUs / 1000000),
                           static_cast<long>(waitUs % 1000000) * 1000};
    pollfd watched[2] = {{wl_display_get_fd(state.display), connectionEvents, 0},
                         {stopSignalFd(), POLLIN, 0}};
    const int ready =
        ppoll(watched, stopSignalFd() >= 0 ? 2 : 1, waitUs < 0 ? nullptr : &timeout, nullptr);
    if (ready < 0 && errno != EINTR) {
        wl_display_cancel_read(state.display);
        std::fprintf(stderr, "haze: waiting for events failed: %s\n", std::strerror(errno));
        std::_Exit(1);
    }
    if (ready > 0 && (watched[0].revents & (POLLIN | POLLERR | POLLHUP)) != 0) {
        if (wl_display_read_events(state.display) < 0) {
            connectionLost();
        }
    } else {
        wl_display_cancel_read(state.display);
    }
}

// Windows' order of retrieval: posted messages, then input, then the quit
// request, then timers once nothing else waits. A stop signal is a close
// request for the saver window.
int runMessageLoop() {
    for (;;) {
        if (takeStopRequest()) {
            if (state.saver != SaverKind::None) {
                state.queue.post({saverHandle, WM_CLOSE, 0, 0});
            } else {
                state.queue.postQuit(0);
            }
        }
        QueuedMessage message;
        if (state.queue.takePosted(message)) {
            deliver(message.window, message.message, message.wParam, message.lParam);
            continue;
        }
        if (wl_display_dispatch_pending(state.display) < 0) {
            connectionLost();
        }
        applyChanges();
        if (!state.input.empty()) {
            message = state.input.front();
            state.input.pop_front();
            deliver(message.window, message.message, message.wParam, message.lParam);
            continue;
        }
        int exitCode = 0;
        if (state.queue.quitRequested(exitCode)) {
            return exitCode;
        }
        // Every timer message draws a frame: a due timer waits for a surface
        // the compositor has shown its last frame on, and for -delay.
        const bool wanted = framesWanted();
        const std::uint64_t holdUs = state.pacer.usUntilNextFrame(monotonicUs());
        if (wanted && holdUs == 0 && state.queue.takeDueTimer(monotonicMs(), message)) {
            state.pacer.frameStarted(monotonicUs());
            deliver(message.window, message.message, message.wParam, message.lParam);
            continue;
        }
        // Until the compositor calls for a frame, only its events wake the loop.
        const std::int64_t timerMs = wanted ? state.queue.msUntilNextTimer(monotonicMs()) : -1;
        const std::int64_t waitUs =
            timerMs < 0 ? -1
                        : std::max<std::int64_t>(timerMs * 1000, static_cast<std::int64_t>(holdUs));
        waitForEvents(waitUs);
    }
}

} // namespace

void fillMessageEntries(Platform& table) {
    table.runMessageLoop = runMessageLoop;
    fillQueuedMessageEntries(table, state.queue, deliver);
}

} // namespace wayland
