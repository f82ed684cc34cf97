// The saver window: its two forms, the single-instance rule and the messages
// the host settles before the application sees them.
#include "fake_platform.h"
#include "host/saver_host_state.h"
#include "host/saver_window.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const HWND settingsPage = fake::window(1234);
const HWND saver = fake::window(0x5A5A);

class SaverWindow : public ::testing::Test {
protected:
    fake::State* fakes = nullptr;

    void SetUp() override {
        fakes = &fake::reset();
        fakes->windows.insert(settingsPage);
        fakes->clientRects[settingsPage] = RECT{0, 0, 152, 112};
    }

    bool reachedApp(UINT message) const {
        return std::count(fakes->appMessages.begin(), fakes->appMessages.end(), message) > 0;
    }
};

TEST_F(SaverWindow, FullScreenCoversTheScreensClipBox) {
    fakes->screen = RECT{-1280, 0, 1920, 1200}; // two monitors side by side
    fakes->loopExitCode = 3;
    EXPECT_EQ(RunSaverWindow(nullptr), 3);

    ASSERT_EQ(fakes->createdWindows.size(), 1u);
    const SaverWindowDesc& desc = fakes->createdWindows[0];
    EXPECT_STREQ(desc.className, "WindowsScreenSaverClass");
    EXPECT_STREQ(desc.title, "Screen Saver");
    EXPECT_EQ(desc.style, 0x96000000u);
    EXPECT_EQ(desc.exStyle, static_cast<DWORD>(WS_EX_TOPMOST));
    EXPECT_EQ(desc.x, -1280);
    EXPECT_EQ(desc.y, 0);
    EXPECT_EQ(desc.width, 3200);
    EXPECT_EQ(desc.height, 1200);
    EXPECT_EQ(desc.parent, nullptr);
    EXPECT_EQ(hostState.window, saver);
    EXPECT_EQ(hostState.isPreview, 0);
    EXPECT_EQ(fakes->countCalls("setForegroundWindow"), 1);
    EXPECT_EQ(SaverClassStyle, 0x2Bu);
}

TEST_F(SaverWindow, PreviewFillsItsParentsClientArea) {
    EXPECT_EQ(RunSaverWindow(settingsPage), 0);
    const SaverWindowDesc& desc = fakes->createdWindows.at(0);
    EXPECT_STREQ(desc.title, "Preview");
    EXPECT_EQ(desc.style, 0x52000000u);
    EXPECT_EQ(desc.exStyle, 0u);
    EXPECT_EQ(desc.x, 0);
    EXPECT_EQ(desc.y, 0);
    EXPECT_EQ(desc.width, 152);
    EXPECT_EQ(desc.height, 112);
    EXPECT_EQ(desc.parent, settingsPage);
    EXPECT_EQ(hostState.isPreview, 1);
    // No instance check, no verifier, not brought to the front.
    EXPECT_EQ(fakes->countCalls("findWindow"), 0);
    EXPECT_EQ(fakes->countCalls("setForegroundWindow"), 0);
}

TEST_F(SaverWindow, ASecondFullScreenStartFrontsTheFirstAndExits) {
    const HWND running = fake::window(0x1111);
    fakes->runningSaver = running;
    fakes->windows.insert(running);
    fakes->platformId = 1;
    hostState.isWindows9x = 1;
    fakes->registryHasPasswordValue = true;
    fakes->usePassword = 1;

    EXPECT_EQ(RunSaverWindow(nullptr), 0);
    EXPECT_EQ(fakes->calls.at(0), "findWindow(WindowsScreenSaverClass,Screen Saver)");
    EXPECT_EQ(fakes->calls.at(1), "setForegroundWindow(0x1111)");
    EXPECT_TRUE(fakes->createdWindows.empty());
    EXPECT_EQ(fakes->countCalls("readUserDword"), 0) << "the verifier is not loaded";

    // A stale answer from the lookup that is no longer a window does not count.
    SetUp();
    fakes->runningSaver = fake::window(0x2222);
    RunSaverWindow(nullptr);
    EXPECT_EQ(fakes->createdWindows.size(), 1u);

    // Nor is a window system asked that cannot find another instance.
    SetUp();
    fakes->runningSaver = running;
    fakes->windows.insert(running);
    PlatformLimits limits;
    limits.noInstanceSearch = true;
    fake::setLimits(limits);
    RunSaverWindow(nullptr);
    EXPECT_EQ(fakes->countCalls("findWindow"), 0);
    EXPECT_EQ(fakes->createdWindows.size(), 1u);
}

TEST_F(SaverWindow, NoLoopRunsWhenTheWindowCannotBeMade) {
    fakes->loopExitCode = 5;
    fakes->classRegisters = false;
    EXPECT_EQ(RunSaverWindow(nullptr), -1);
    EXPECT_TRUE(fakes->createdWindows.empty());
    EXPECT_EQ(fakes->countCalls("runMessageLoop"), 0);

    SetUp();
    fakes->nextCreatedWindow = nullptr;
    EXPECT_EQ(RunSaverWindow(settingsPage), -1);
    EXPECT_EQ(fakes->countCalls("runMessageLoop"), 0);
}

TEST_F(SaverWindow, AutoPlayQueriesAreOnlyRegisteredInTheWindows98Family) {
    RunSaverWindow(nullptr);
    EXPECT_EQ(hostState.autoPlayMessage, 0u);
    EXPECT_EQ(fakes->countCalls("registerWindowMessage"), 0);

    SetUp();
    hostState.isWindows9x = 1;
    RunSaverWindow(settingsPage);
    EXPECT_EQ(hostState.autoPlayMessage, 0xC123u);
    EXPECT_EQ(fakes->calls.at(0), "registerWindowMessage(QueryCancelAutoPlay)");
}

TEST_F(SaverWindow, CreationHidesTheCursorOnlyInFullScreen) {
    fakes->cursor = POINT{640, 512};
    RunSaverWindow(nullptr);
    EXPECT_EQ(hostState.cursorReference.x, 640);
    EXPECT_EQ(hostState.cursorReference.y, 512);
    EXPECT_EQ(fakes->hideCursorCount, 1);
    EXPECT_TRUE(reachedApp(WM_CREATE));

    SetUp();
    RunSaverWindow(settingsPage);
    EXPECT_EQ(fakes->hideCursorCount, 0);
}

HIMC associatedContext = nullptr;
std::vector<HIMC> associations;
HIMC WINAPI fakeAssociate(HWND, HIMC context) {
    associations.push_back(context);
    const HIMC previous = associatedContext;
    associatedContext = context;
    return previous;
}

TEST_F(SaverWindow, DetachesAnInputMethodOnlyWhenItIsAlreadyLoaded) {
    RunSaverWindow(nullptr);
    EXPECT_EQ(fakes->countCalls("loadedModule"), 1);
    EXPECT_EQ(fakes->countCalls("loadSystemLibrary"), 0) << "the host never loads IMM32";
    EXPECT_EQ(hostState.associateContext, nullptr);

    SetUp();
    const HMODULE imm = fake::module(0x1AA);
    const HIMC original = reinterpret_cast<HIMC>(0x1C);
    fakes->loadedModules["IMM32.DLL"] = imm;
    fakes->addProc(imm, "ImmAssociateContext", procCast<FARPROC>(fakeAssociate));
    associatedContext = original;
    associations.clear();

    RunSaverWindow(nullptr);
    EXPECT_EQ(associations, std::vector<HIMC>{nullptr});
    EXPECT_EQ(hostState.savedInputContext, original);

    fake::deliver(saver, WM_DESTROY);
    EXPECT_EQ(associations, (std::vector<HIMC>{nullptr, original}));
    EXPECT_EQ(associatedContext, original);
}

TEST_F(SaverWindow, DestructionEndsTheLoopAndReachesTheApplication) {
    RunSaverWindow(nullptr);
    fake::deliver(saver, WM_DESTROY);
    EXPECT_EQ(fakes->quitCodes, std::vector<int>{0});
    EXPECT_TRUE(reachedApp(WM_DESTROY));
}

TEST_F(SaverWindow, TheTitleNeverChanges) {
    RunSaverWindow(nullptr);
    EXPECT_EQ(fake::deliver(saver, WM_SETTEXT, 0, 0), 0);
    EXPECT_FALSE(reachedApp(WM_SETTEXT));
}

TEST_F(SaverWindow, PaintingHidesTheCursorInFullScreenUntilTheSaverCloses) {
    RunSaverWindow(nullptr);
    const int hiddenAtStart = fakes->hideCursorCount;
    fake::deliver(saver, WM_PAINT);
    EXPECT_EQ(fakes->hideCursorCount, hiddenAtStart + 1);
    EXPECT_TRUE(reachedApp(WM_PAINT));

    fakes->appMessages.clear();
    hostState.closing = 1;
    const int defaultHandled = fakes->countCalls("defaultWindowProc");
    fake::deliver(saver, WM_PAINT);
    EXPECT_FALSE(reachedApp(WM_PAINT));
    EXPECT_EQ(fakes->countCalls("defaultWindowProc"), defaultHandled + 1);

    // A preview shares the settings page with the user's cursor.
    SetUp();
    RunSaverWindow(settingsPage);
    fake::deliver(hostState.window, WM_PAINT);
    EXPECT_EQ(fakes->hideCursorCount, 0);
    EXPECT_TRUE(reachedApp(WM_PAINT));
}

TEST_F(SaverWindow, HelpInAPreviewGoesToTheSettingsPage) {
    RunSaverWindow(settingsPage);
    const HWND preview = hostState.window;
    EXPECT_EQ(fake::deliver(preview, WM_HELP, 0, 0x5678), 1);
    ASSERT_EQ(fakes->posted.size(), 1u);
    EXPECT_EQ(fakes->posted[0].window, settingsPage);
    EXPECT_EQ(fakes->posted[0].message, static_cast<UINT>(WM_HELP));
    EXPECT_EQ(fakes->posted[0].wParam, reinterpret_cast<WPARAM>(settingsPage));
    EXPECT_EQ(fakes->posted[0].lParam, 0x5678);
    EXPECT_EQ(fake::deliver(preview, WM_CONTEXTMENU, 0, 0), 1);
    EXPECT_EQ(fakes->posted.size(), 2u);
    EXPECT_FALSE(reachedApp(WM_HELP));

    // The settings page has gone: nothing is posted, the answer stays 1.
    fakes->windows.erase(settingsPage);
    EXPECT_EQ(fake::deliver(preview, WM_HELP, 0, 0), 1);
    EXPECT_EQ(fakes->posted.size(), 2u);
}

TEST_F(SaverWindow, HelpInFullScreenReachesTheApplication) {
    RunSaverWindow(nullptr);
    fake::deliver(saver, WM_HELP);
    EXPECT_TRUE(reachedApp(WM_HELP));
}

TEST_F(SaverWindow, TaskSwitchingAndScreenSaveAreSwallowedInFullScreenOnly) {
    RunSaverWindow(nullptr);
    for (WPARAM command : {WPARAM{SC_NEXTWINDOW}, WPARAM{SC_PREVWINDOW}, WPARAM{SC_SCREENSAVE}}) {
        EXPECT_EQ(fake::deliver(saver, WM_SYSCOMMAND, command), 0);
    }
    EXPECT_FALSE(reachedApp(WM_SYSCOMMAND));
    // Compared as whole values: a command with extra low bits is another command.
    fake::deliver(saver, WM_SYSCOMMAND, SC_SCREENSAVE | 1);
    EXPECT_TRUE(reachedApp(WM_SYSCOMMAND));

    SetUp();
    RunSaverWindow(settingsPage);
    fake::deliver(hostState.window, WM_SYSCOMMAND, SC_SCREENSAVE);
    EXPECT_TRUE(reachedApp(WM_SYSCOMMAND));
}

TEST_F(SaverWindow, TimerYieldsThenDrawsUntilClosing) {
    RunSaverWindow(nullptr);
    fake::deliver(saver, WM_TIMER, 1);
    EXPECT_EQ(fakes->yieldCount, 1);
    EXPECT_TRUE(reachedApp(WM_TIMER));

    fakes->appMessages.clear();
    hostState.closing = 1;
    EXPECT_EQ(fake::deliver(saver, WM_TIMER, 1), 0);
    EXPECT_EQ(fakes->yieldCount, 1);
    EXPECT_FALSE(reachedApp(WM_TIMER));
}

TEST_F(SaverWindow, InputGoesToDefaultHandlingOnceClosing) {
    RunSaverWindow(nullptr);
    hostState.closing = 1;
    for (UINT message : {WM_KEYDOWN, WM_SYSKEYDOWN, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_RBUTTONDOWN,
                         WM_MBUTTONDOWN}) {
        fake::deliver(saver, message);
        EXPECT_FALSE(reachedApp(message)) << message;
    }
    EXPECT_EQ(fakes->countCalls("defaultWindowProc"), 6);
    EXPECT_TRUE(fakes->posted.empty());
}

} // namespace
