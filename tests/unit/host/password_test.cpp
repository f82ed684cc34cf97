// The Windows 98 family's password: loading the verifier, the 200 ms gate and
// the re-entrant verification through the saver's own window.
#include "fake_platform.h"
#include "host/password.h"
#include "host/saver_host_state.h"
#include "host/saver_main.h"
#include "host/saver_window.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>

namespace {

const HMODULE passwordCpl = fake::module(0xC91);
const HWND saver = fake::window(0x5A5A);

// The system's verifier, scripted: each request takes the next answer, and a
// test may act (press a key, let time pass) while its dialog is up.
std::deque<BOOL> answers;
int verifierRequests = 0;
std::function<void(HWND)> whileAsking;

BOOL WINAPI scriptedVerifier(HWND window) {
    ++verifierRequests;
    EXPECT_EQ(hostState.verifying, 1);
    if (whileAsking) {
        whileAsking(window);
    }
    const BOOL answer = answers.empty() ? FALSE : answers.front();
    if (!answers.empty()) {
        answers.pop_front();
    }
    return answer;
}

class Password : public ::testing::Test {
protected:
    fake::State* fakes = nullptr;

    void SetUp() override {
        fakes = &fake::reset();
        answers.clear();
        verifierRequests = 0;
        whileAsking = nullptr;
        fakes->platformId = 1;
        fakes->registryHasPasswordValue = true;
        fakes->usePassword = 1;
        fakes->systemLibraries["PASSWORD.CPL"] = passwordCpl;
        fakes->addProc(passwordCpl, "VerifyScreenSavePwd", procCast<FARPROC>(scriptedVerifier));
        hostState.isWindows9x = 1;
    }

    // A full-screen run with the verifier loaded, as the desktop starts it;
    // `whileRunning` acts inside its message loop.
    void run(const std::function<void()>& whileRunning) {
        fakes->duringLoop = [&] {
            ASSERT_EQ(hostState.verifyPassword, scriptedVerifier);
            whileRunning();
        };
        RunSaverWindow(nullptr);
    }

    int closeRequests() const { return fake::postedCount(saver, WM_CLOSE); }
    bool destroyed() const { return !fakes->quitCodes.empty(); }
};

TEST_F(Password, TheVerifierLoadsFromTheSystemDirectoryWhenAPasswordIsSet) {
    LoadPasswordVerifier();
    EXPECT_EQ(fakes->calls.at(0), "readUserDword(Control Panel\\Desktop,ScreenSaveUsePassword)");
    EXPECT_EQ(fakes->loadedLibraryNames, std::vector<std::string>{"PASSWORD.CPL"});
    EXPECT_EQ(hostState.passwordModule, passwordCpl);
    EXPECT_EQ(fakes->systemParameters, std::vector<UINT>{1}) << "the system learns a saver runs";
    EXPECT_EQ(fakes->calls.back(), "systemParameter(97,1)");

    UnloadPasswordVerifier();
    EXPECT_EQ(hostState.passwordModule, nullptr);
    EXPECT_EQ(hostState.verifyPassword, nullptr);
    EXPECT_EQ(fakes->systemParameters, (std::vector<UINT>{1, 0}));
}

TEST_F(Password, NoVerifierWithoutAPasswordOrItsLibrary) {
    fakes->registryHasPasswordValue = false;
    LoadPasswordVerifier();
    fakes->registryHasPasswordValue = true;
    fakes->usePassword = 0;
    LoadPasswordVerifier();
    EXPECT_TRUE(fakes->loadedLibraryNames.empty());

    fakes->usePassword = 1;
    fakes->systemLibraries.clear();
    LoadPasswordVerifier();
    EXPECT_EQ(hostState.passwordModule, nullptr);

    // The library without its entry point is released again.
    fakes->systemLibraries["PASSWORD.CPL"] = fake::module(0xBAD);
    LoadPasswordVerifier();
    EXPECT_EQ(hostState.passwordModule, nullptr);
    EXPECT_EQ(fakes->countCalls("freeLibrary"), 1);
    EXPECT_TRUE(fakes->systemParameters.empty());
}

TEST_F(Password, LoadingTwiceReleasesTheFirstVerifier) {
    LoadPasswordVerifier();
    LoadPasswordVerifier();
    EXPECT_EQ(fakes->countCalls("freeLibrary"), 1);
    EXPECT_EQ(fakes->systemParameters, (std::vector<UINT>{1, 0, 1}));
}

TEST_F(Password, NothingOutsideTheWindows98Family) {
    hostState.isWindows9x = 0;
    LoadPasswordVerifier();
    SetSaverRunning(TRUE);
    EXPECT_TRUE(fakes->calls.empty());
}

TEST_F(Password, AKeyDoesNotEndTheRunUntilTheVerifierAgrees) {
    run([&] {
        answers = {FALSE};
        fake::deliver(saver, WM_KEYDOWN, 'A');
        ASSERT_EQ(closeRequests(), 1);
        fake::deliver(saver, WM_CLOSE); // the posted request arrives

        EXPECT_EQ(verifierRequests, 1);
        EXPECT_FALSE(destroyed());
        EXPECT_EQ(hostState.closing, 0);
        EXPECT_EQ(hostState.verifying, 0);
        EXPECT_EQ(hostState.lastVerifyTick, fakes->tick);
    });
}

TEST_F(Password, ARefusalRestartsMouseTravelFromWhereTheCursorIs) {
    fakes->cursor = POINT{100, 100};
    run([&] {
        fakes->cursor = POINT{300, 300}; // the user moved to the password dialog
        fake::deliver(saver, WM_CLOSE);
        EXPECT_EQ(hostState.cursorReference.x, 300);
        EXPECT_EQ(hostState.cursorReference.y, 300);
    });
}

TEST_F(Password, AKeyDuringVerificationPostsNoSecondClose) {
    run([&] {
        whileAsking = [](HWND window) { fake::deliver(window, WM_KEYDOWN, 'A'); };
        answers = {FALSE};
        fake::deliver(saver, WM_CLOSE);
        EXPECT_EQ(verifierRequests, 1);
        EXPECT_EQ(closeRequests(), 0);
    });
}

TEST_F(Password, ACloseRequestDuringVerificationStartsNoSecondOne) {
    run([&] {
        answers = {FALSE, TRUE};
        int closesSent = 0;
        whileAsking = [&](HWND window) {
            if (closesSent++ == 0) {
                fake::deliver(window, WM_CLOSE);
            }
        };
        fake::deliver(saver, WM_CLOSE);
        EXPECT_EQ(verifierRequests, 1) << "a verification ran inside the first";
        EXPECT_EQ(hostState.closing, 0);
        EXPECT_FALSE(destroyed());
    });
}

TEST_F(Password, ARefusalHidesTheCursorAgain) {
    run([&] {
        int hiddenWhileAsking = -1;
        whileAsking = [&](HWND) { hiddenWhileAsking = fakes->hideCursorCount; };
        answers = {FALSE};
        fake::deliver(saver, WM_CLOSE);
        EXPECT_EQ(fakes->hideCursorCount, hiddenWhileAsking + 1)
            << "the cursor the dialog showed stays over the saver";
    });
}

TEST_F(Password, TheQuietPeriodCountsFromTheEndOfAVerification) {
    run([&] {
        answers = {FALSE, TRUE};
        // The user spends five seconds in the password dialog.
        whileAsking = [&](HWND) { fakes->tick += 5000; };
        fake::deliver(saver, WM_CLOSE);
        whileAsking = nullptr;

        fakes->tick += 150;
        fake::deliver(saver, WM_CLOSE);
        EXPECT_EQ(verifierRequests, 1) << "150 ms after the dialog closed, a close got through";
        EXPECT_FALSE(destroyed());
    });
}

TEST_F(Password, RequestsInsideTheQuietPeriodAreRefusedWithoutAsking) {
    run([&] {
        answers = {FALSE, TRUE};
        fake::deliver(saver, WM_CLOSE);
        EXPECT_EQ(verifierRequests, 1);

        fakes->tick += 150;
        fake::deliver(saver, WM_CLOSE);
        EXPECT_EQ(verifierRequests, 1) << "refused silently";
        EXPECT_FALSE(destroyed());

        fakes->tick += 50; // 200 ms after the refusal
        fake::deliver(saver, WM_CLOSE);
        EXPECT_EQ(verifierRequests, 2);
        EXPECT_EQ(hostState.closing, 1);
        EXPECT_TRUE(destroyed());
    });
}

TEST_F(Password, TheQuietPeriodSurvivesTheTickCountWrapping) {
    run([&] {
        hostState.lastVerifyTick = 0xFFFFFF00;
        fakes->tick = 0x10; // 272 ms later, across the wrap
        answers = {TRUE};
        EXPECT_EQ(VerifySaverPassword(saver), 1);
        EXPECT_EQ(verifierRequests, 1);
    });

    SetUp();
    run([&] {
        hostState.lastVerifyTick = 0xFFFFFF80;
        fakes->tick = 0x10; // 144 ms later
        EXPECT_EQ(VerifySaverPassword(saver), 0);
        EXPECT_EQ(verifierRequests, 0);
    });
}

TEST_F(Password, VerificationDropsUpToTwoQueuedFramesBeforeAsking) {
    run([&] {
        fakes->pendingTimers = 5;
        int removedBeforeAsking = -1;
        whileAsking = [&](HWND) { removedBeforeAsking = fakes->removedTimers; };
        answers = {FALSE};
        VerifySaverPassword(saver);
        EXPECT_EQ(removedBeforeAsking, 2) << "a queued frame could be drawn over the dialog";
        EXPECT_EQ(fakes->removedTimers, 2);

        fakes->tick += 1000;
        fakes->pendingTimers = 1;
        VerifySaverPassword(saver);
        EXPECT_EQ(fakes->removedTimers, 3);
    });
}

TEST_F(Password, AcceptanceClosesTheSaverAndStopsTheFrames) {
    run([&] {
        answers = {TRUE};
        const int hidden = fakes->hideCursorCount;
        EXPECT_EQ(VerifySaverPassword(saver), 1);
        EXPECT_EQ(hostState.closing, 1);
        EXPECT_EQ(fakes->hideCursorCount, hidden) << "the cursor comes back for the desktop";
        EXPECT_EQ(VerifySaverPassword(saver), 0) << "already closing: nothing more to ask";
        EXPECT_EQ(verifierRequests, 1);
    });
}

TEST_F(Password, WithoutAVerifierTheFirstCloseRequestEndsTheRun) {
    fakes->registryHasPasswordValue = false;
    RunSaverWindow(nullptr);
    fake::deliver(saver, WM_KEYDOWN);
    fake::deliver(saver, WM_CLOSE);
    EXPECT_EQ(hostState.closing, 1);
    EXPECT_TRUE(destroyed());
    EXPECT_EQ(fakes->countCalls("sendMessage"), 0);
    // The verify message itself answers 1 when nobody is there to ask.
    hostState.closing = 0;
    EXPECT_EQ(fake::deliver(saver, 0x8000), 1);
}

TEST_F(Password, AnUnhandledExceptionSwitchesTheRunningSaverOff) {
    LoadPasswordVerifier();
    EXPECT_EQ(SaverExceptionFilter(), RunExceptionHandler);
    EXPECT_EQ(fakes->systemParameters, (std::vector<UINT>{1, 0}));
}

TEST_F(Password, TheVerifierIsReleasedWhenTheRunEnds) {
    fakes->loopExitCode = 0;
    RunSaverWindow(nullptr);
    EXPECT_EQ(hostState.passwordModule, nullptr);
    EXPECT_EQ(fakes->systemParameters, (std::vector<UINT>{1, 0}));
}

} // namespace
