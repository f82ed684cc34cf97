// DefScreenSaverProc: the input that ends a full-screen run, and the input
// that must not.
#include "fake_platform.h"
#include "host/saver_host_state.h"
#include "host/saver_window.h"
#include "host/screen_saver.h"

#include <gtest/gtest.h>

namespace {

const HWND settingsPage = fake::window(1234);
const HWND saver = fake::window(0x5A5A);

class InputRules : public ::testing::Test {
protected:
    fake::State* fakes = nullptr;

    void SetUp() override { startFullScreen(); }

    void startFullScreen() {
        fakes = &fake::reset();
        fakes->cursor = POINT{100, 100};
        RunSaverWindow(nullptr);
    }

    void startPreview() {
        fakes = &fake::reset();
        fakes->windows.insert(settingsPage);
        fakes->clientRects[settingsPage] = RECT{0, 0, 152, 112};
        RunSaverWindow(settingsPage);
    }

    int closeRequests() const { return fake::postedCount(hostState.window, WM_CLOSE); }

    void moveMouseTo(LONG x, LONG y) {
        fakes->cursor = POINT{x, y};
        // The message's own coordinates are client-relative and ignored.
        fake::deliver(hostState.window, WM_MOUSEMOVE, 0, 0);
    }
};

TEST_F(InputRules, KeysAndButtonsCloseAFullScreenRun) {
    for (UINT message : {WM_KEYDOWN, WM_SYSKEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN,
                         WM_POWERBROADCAST}) {
        startFullScreen();
        fake::deliver(saver, message);
        EXPECT_EQ(closeRequests(), 1) << message;
        EXPECT_EQ(fakes->posted[0].wParam, 0u);
        EXPECT_EQ(fakes->posted[0].lParam, 0);
    }
}

TEST_F(InputRules, MouseTravelAddsUpUntilItPassesFourPixels) {
    moveMouseTo(103, 100);
    EXPECT_EQ(closeRequests(), 0);
    moveMouseTo(106, 100); // 6 from the reference, which 3 did not move
    EXPECT_EQ(closeRequests(), 1);
    EXPECT_EQ(hostState.cursorReference.x, 106) << "a closing motion moves the reference";

    startFullScreen();
    moveMouseTo(102, 102); // exactly 4
    EXPECT_EQ(closeRequests(), 0);
    moveMouseTo(98, 98);
    EXPECT_EQ(closeRequests(), 0);
    moveMouseTo(97, 98); // 3 + 2
    EXPECT_EQ(closeRequests(), 1);
}

TEST_F(InputRules, SlowDriftsAreMeasuredFromWhereTheRunStarted) {
    for (LONG x = 101; x <= 104; ++x) {
        moveMouseTo(x, 100);
    }
    EXPECT_EQ(closeRequests(), 0);
    EXPECT_EQ(hostState.cursorReference.x, 100);
    moveMouseTo(105, 100);
    EXPECT_EQ(closeRequests(), 1);
}

TEST_F(InputRules, WhereThePointerIsKnownOnlyOverTheSaverTravelCountsFromWhereItIsFirstSeen) {
    fakes = &fake::reset();
    PlatformLimits limits;
    limits.pointerOnlyOverOwnSurfaces = true;
    fake::setLimits(limits);
    fakes->cursorKnown = false;
    RunSaverWindow(nullptr);
    EXPECT_FALSE(hostState.cursorReferenceKnown);
    fake::deliver(hostState.window, WM_MOUSEMOVE, 0, 0); // the pointer is not over it yet
    EXPECT_EQ(closeRequests(), 0);
    fakes->cursorKnown = true;
    moveMouseTo(700, 500); // first seen: far from (0, 0), and no travel yet
    EXPECT_EQ(closeRequests(), 0);
    moveMouseTo(702, 501);
    EXPECT_EQ(closeRequests(), 0);
    moveMouseTo(705, 500);
    EXPECT_EQ(closeRequests(), 1);
}

TEST_F(InputRules, FarAwayCoordinatesDoNotOverflow) {
    moveMouseTo(-2147483647 - 1, 2147483647);
    EXPECT_EQ(closeRequests(), 1);
}

TEST_F(InputRules, LosingActivationClosesGainingItDoesNot) {
    fake::deliver(saver, WM_ACTIVATEAPP, 1);
    EXPECT_EQ(closeRequests(), 0);
    fake::deliver(saver, WM_ACTIVATEAPP, 0);
    EXPECT_EQ(closeRequests(), 1);
}

TEST_F(InputRules, OnlyResumingFromSuspendCloses) {
    fake::deliver(saver, WM_POWER, 1);
    EXPECT_EQ(closeRequests(), 0);
    fake::deliver(saver, WM_POWER, PWR_SUSPENDRESUME);
    EXPECT_EQ(closeRequests(), 1);
}

TEST_F(InputRules, CursorRequestsAreAnsweredWithNoCursor) {
    const int hidden = fakes->hideCursorCount;
    EXPECT_EQ(fake::deliver(saver, WM_SETCURSOR), 1);
    EXPECT_EQ(fakes->hideCursorCount, hidden + 1);
    EXPECT_EQ(fakes->countCalls("defaultWindowProc"), 0);

    fake::deliver(saver, WM_SHOWWINDOW, 0);
    EXPECT_EQ(fakes->hideCursorCount, hidden + 1);
    fake::deliver(saver, WM_SHOWWINDOW, 1);
    EXPECT_EQ(fakes->hideCursorCount, hidden + 2);
    EXPECT_EQ(closeRequests(), 0);
}

TEST_F(InputRules, APreviewNeverClosesOnInput) {
    startPreview();
    for (UINT message : {WM_KEYDOWN, WM_SYSKEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN,
                         WM_POWERBROADCAST}) {
        fake::deliver(hostState.window, message);
    }
    fake::deliver(hostState.window, WM_ACTIVATEAPP, 0);
    fake::deliver(hostState.window, WM_POWER, PWR_SUSPENDRESUME);
    moveMouseTo(5000, 5000);
    EXPECT_EQ(closeRequests(), 0);
    EXPECT_EQ(fakes->hideCursorCount, 0);
}

TEST_F(InputRules, NoSecondCloseWhileVerifying) {
    hostState.verifying = 1;
    fake::deliver(saver, WM_KEYDOWN);
    moveMouseTo(500, 500);
    EXPECT_EQ(closeRequests(), 0);
}

TEST_F(InputRules, ACloseRequestDestroysTheWindowOutsideTheWindows98Family) {
    fake::deliver(saver, WM_CLOSE);
    EXPECT_EQ(fakes->quitCodes, std::vector<int>{0});
    EXPECT_EQ(fakes->countCalls("sendMessage"), 0) << "no verifier is asked";

    startPreview();
    fake::deliver(hostState.window, WM_CLOSE);
    EXPECT_EQ(fakes->quitCodes, std::vector<int>{0});
}

TEST_F(InputRules, TheVerifyMessageIsOrdinaryOutsideTheWindows98Family) {
    EXPECT_EQ(fake::deliver(saver, 0x8000), 0);
    EXPECT_EQ(fakes->countCalls("defaultWindowProc"), 1);
}

BOOL WINAPI alwaysAccept(HWND) {
    return TRUE;
}

TEST_F(InputRules, AutoPlayIsCancelledOnlyWithAVerifier) {
    fakes->platformId = 1;
    hostState.isWindows9x = 1;
    hostState.autoPlayMessage = 0xC123;
    EXPECT_EQ(fake::deliver(saver, 0xC123), 0);
    EXPECT_EQ(closeRequests(), 1);

    hostState.verifyPassword = alwaysAccept;
    EXPECT_EQ(fake::deliver(saver, 0xC123), 1);
    EXPECT_EQ(closeRequests(), 2);

    // A preview closes on it as well.
    startPreview();
    hostState.autoPlayMessage = 0xC123;
    EXPECT_EQ(fake::deliver(hostState.window, 0xC123), 0);
    EXPECT_EQ(closeRequests(), 1);
}

TEST_F(InputRules, WithoutTheWindows98FamilyAutoPlayIsNotWatched) {
    EXPECT_EQ(hostState.autoPlayMessage, 0u);
    fake::deliver(saver, 0xC123);
    EXPECT_EQ(closeRequests(), 0);
}

} // namespace
