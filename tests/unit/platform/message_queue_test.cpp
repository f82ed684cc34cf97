// The message queue of the X11 and headless backends: posted messages, the
// quit request and Windows-like timers.
#include "platform/message_queue.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

HWND window(std::uintptr_t id) {
    return reinterpret_cast<HWND>(id);
}

TEST(MessageQueue, PostedMessagesComeOutInOrderBeforeTheQuitRequest) {
    MessageQueue queue;
    int code = -1;
    EXPECT_FALSE(queue.quitRequested(code));
    queue.post({window(1), WM_CLOSE, 0, 0});
    queue.postQuit(3);
    queue.post({window(1), WM_APP, 7, 8});

    QueuedMessage m;
    ASSERT_TRUE(queue.takePosted(m));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_CLOSE));
    ASSERT_TRUE(queue.takePosted(m));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_APP));
    EXPECT_EQ(m.wParam, 7u);
    EXPECT_EQ(m.lParam, 8);
    EXPECT_FALSE(queue.takePosted(m));
    ASSERT_TRUE(queue.quitRequested(code));
    EXPECT_EQ(code, 3);
}

TEST(MessageQueue, ATimerFallsDueOncePerPeriodAndNeverPilesUp) {
    MessageQueue queue;
    EXPECT_EQ(queue.msUntilNextTimer(0), -1);
    queue.setTimer(window(1), 1, 5, 1000);
    QueuedMessage m;
    EXPECT_FALSE(queue.takeDueTimer(1004, m));
    EXPECT_EQ(queue.msUntilNextTimer(1004), 1);

    // Late by many periods: still one message, then a full period's wait.
    ASSERT_TRUE(queue.takeDueTimer(1100, m));
    EXPECT_EQ(m.window, window(1));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_TIMER));
    EXPECT_EQ(m.wParam, 1u);
    EXPECT_FALSE(queue.takeDueTimer(1100, m));
    EXPECT_EQ(queue.msUntilNextTimer(1100), 5);
    EXPECT_TRUE(queue.takeDueTimer(1105, m));
}

TEST(MessageQueue, ThePendingTimerMessageCanBeWithdrawn) {
    MessageQueue queue;
    queue.setTimer(window(1), 1, 5, 0);
    EXPECT_FALSE(queue.removePendingTimer(window(1), 4)) << "nothing pending yet";
    EXPECT_FALSE(queue.removePendingTimer(window(2), 10)) << "another window's";
    EXPECT_TRUE(queue.removePendingTimer(window(1), 10));
    QueuedMessage m;
    EXPECT_FALSE(queue.takeDueTimer(10, m)) << "withdrawn";
    EXPECT_FALSE(queue.removePendingTimer(window(1), 10)) << "one at most";
    EXPECT_TRUE(queue.takeDueTimer(15, m));
}

TEST(MessageQueue, TimersAreKeyedByWindowAndIdAndTheMostOverdueComesFirst) {
    MessageQueue queue;
    queue.setTimer(window(1), 1, 50, 0);
    queue.setTimer(window(1), 2, 10, 0);
    queue.setTimer(window(2), 1, 30, 0);
    queue.setTimer(window(1), 1, 20, 0); // restarts timer 1 with a new period

    QueuedMessage m;
    ASSERT_TRUE(queue.takeDueTimer(100, m));
    EXPECT_EQ(m.wParam, 2u); // due at 10
    ASSERT_TRUE(queue.takeDueTimer(100, m));
    EXPECT_EQ(m.window, window(1));
    EXPECT_EQ(m.wParam, 1u); // due at 20
    ASSERT_TRUE(queue.takeDueTimer(100, m));
    EXPECT_EQ(m.window, window(2)); // due at 30

    EXPECT_TRUE(queue.killTimer(window(1), 2));
    EXPECT_FALSE(queue.killTimer(window(1), 2));
    EXPECT_EQ(queue.msUntilNextTimer(100), 20);
}

TEST(MessageQueue, ADestroyedWindowGetsNothingMore) {
    MessageQueue queue;
    queue.setTimer(window(1), 1, 5, 0);
    queue.post({window(1), WM_CLOSE, 0, 0});
    queue.post({window(2), WM_CLOSE, 0, 0});
    queue.forgetWindow(window(1));
    QueuedMessage m;
    EXPECT_FALSE(queue.takeDueTimer(100, m));
    ASSERT_TRUE(queue.takePosted(m));
    EXPECT_EQ(m.window, window(2));
    EXPECT_FALSE(queue.takePosted(m));
}

TEST(MessageQueue, AZeroPeriodDoesNotSpin) {
    MessageQueue queue;
    queue.setTimer(window(1), 1, 0, 0);
    QueuedMessage m;
    EXPECT_FALSE(queue.takeDueTimer(0, m));
    EXPECT_TRUE(queue.takeDueTimer(1, m));
    EXPECT_FALSE(queue.takeDueTimer(1, m));
}

} // namespace
