#include "platform/message_queue.h"

#include <algorithm>

void MessageQueue::post(const QueuedMessage& message) {
    posted_.push_back(message);
}

bool MessageQueue::takePosted(QueuedMessage& message) {
    if (posted_.empty()) {
        return false;
    }
    message = posted_.front();
    posted_.pop_front();
    return true;
}

void MessageQueue::postQuit(int exitCode) {
    quit_ = true;
    quitCode_ = exitCode;
}

bool MessageQueue::quitRequested(int& exitCode) const {
    if (quit_) {
        exitCode = quitCode_;
    }
    return quit_;
}

void MessageQueue::setTimer(HWND window, UINT_PTR id, UINT periodMs, std::uint64_t nowMs) {
    const UINT period = std::max(periodMs, 1u);
    for (Timer& timer : timers_) {
        if (timer.window == window && timer.id == id) {
            timer.periodMs = period;
            timer.dueMs = nowMs + period;
            return;
        }
    }
    timers_.push_back({window, id, period, nowMs + period});
}

bool MessageQueue::killTimer(HWND window, UINT_PTR id) {
    const auto found = std::find_if(timers_.begin(), timers_.end(), [&](const Timer& timer) {
        return timer.window == window && timer.id == id;
    });
    if (found == timers_.end()) {
        return false;
    }
    timers_.erase(found);
    return true;
}

bool MessageQueue::removePendingTimer(HWND window, std::uint64_t nowMs) {
    for (Timer& timer : timers_) {
        if (timer.window == window && timer.dueMs <= nowMs) {
            timer.dueMs = nowMs + timer.periodMs;
            return true;
        }
    }
    return false;
}

bool MessageQueue::takeDueTimer(std::uint64_t nowMs, QueuedMessage& message) {
    Timer* earliest = nullptr;
    for (Timer& timer : timers_) {
        if (timer.dueMs <= nowMs && (earliest == nullptr || timer.dueMs < earliest->dueMs)) {
            earliest = &timer;
        }
    }
    if (earliest == nullptr) {
        return false;
    }
    earliest->dueMs = nowMs + earliest->periodMs;
    message = QueuedMessage{earliest->window, WM_TIMER, earliest->id, 0};
    return true;
}

std::int64_t MessageQueue::msUntilNextTimer(std::uint64_t nowMs) const {
    std::int64_t soonest = -1;
    for (const Timer& timer : timers_) {
        const std::int64_t wait =
            timer.dueMs <= nowMs ? 0 : static_cast<std::int64_t>(timer.dueMs - nowMs);
        if (soonest < 0 || wait < soonest) {
            soonest = wait;
        }
    }
    return soonest;
}

void MessageQueue::forgetWindow(HWND window) {
    posted_.erase(std::remove_if(posted_.begin(), posted_.end(),
                                 [&](const QueuedMessage& m) { return m.window == window; }),
                  posted_.end());
    timers_.erase(std::remove_if(timers_.begin(), timers_.end(),
                                 [&](const Timer& timer) { return timer.window == window; }),
                  timers_.end());
}
