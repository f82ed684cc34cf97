// A thread's window-message queue with Windows-like timers, for backends
// whose window system has neither.
//
// Posted messages come out first in, first out. The quit request is taken
// once no posted message is left. A timer does not queue messages: it is
// "due" once its period has run out since it was set or last delivered, so at
// most one WM_TIMER is pending per timer however late the loop is, and the
// loop synthesises it when nothing else is waiting. Times are milliseconds of
// a monotonic clock the caller reads.
#pragma once

#include "platform/messages.h"

#include <cstdint>
#include <deque>
#include <vector>

struct QueuedMessage {
    HWND window = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

class MessageQueue {
public:
    void post(const QueuedMessage& message);
    bool takePosted(QueuedMessage& message);
    bool hasPosted() const { return !posted_.empty(); }

    // The quit request and its exit code; a second request replaces the code.
    void postQuit(int exitCode);
    bool quitRequested(int& exitCode) const;

    // Starts or restarts the timer `id` of `window`: first due `periodMs`
    // after `nowMs`. A period of 0 counts as 1 ms.
    void setTimer(HWND window, UINT_PTR id, UINT periodMs, std::uint64_t nowMs);
    bool killTimer(HWND window, UINT_PTR id);
    // Withdraws one pending WM_TIMER of `window`: the timer starts a new
    // period from `nowMs`. False when none of its timers is due.
    bool removePendingTimer(HWND window, std::uint64_t nowMs);
    // The WM_TIMER of the timer longest overdue (wParam its id, lParam 0); the
    // timer is next due one period after `nowMs`. False when none is due.
    bool takeDueTimer(std::uint64_t nowMs, QueuedMessage& message);
    // Milliseconds until a timer falls due: 0 when one is due, -1 when none
    // runs.
    std::int64_t msUntilNextTimer(std::uint64_t nowMs) const;

    // A destroyed window gets nothing more: its posted messages and timers go.
    void forgetWindow(HWND window);

private:
    struct Timer {
        HWND window;
        UINT_PTR id;
        UINT periodMs;
        std::uint64_t dueMs;
    };

    std::deque<QueuedMessage> posted_;
    std::vector<Timer> timers_;
    bool quit_ = false;
    int quitCode_ = 0;
};
