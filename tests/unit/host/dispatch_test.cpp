// Mode dispatch: which switch starts which mode, and with which window.
#include "fake_platform.h"
#include "host/command_line.h"
#include "host/saver_host_state.h"
#include "host/saver_main.h"
#include "host/saver_window.h"
#include "host/screen_saver.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

const HINSTANCE instance = reinterpret_cast<HINSTANCE>(0x400000);
const HWND settingsPage = fake::window(1234);

class Dispatch : public ::testing::Test {
protected:
    fake::State* fakes = nullptr;

    void SetUp() override {
        fakes = &fake::reset();
        fakes->loopExitCode = 7; // tells a drawing mode's result apart
        fakes->windows.insert(settingsPage);
        fakes->clientRects[settingsPage] = RECT{0, 0, 152, 112};
    }

    int run(const char* tail) { return SaverMain(instance, tail); }

    bool ranFullScreen() const {
        return fakes->createdTitles == std::vector<std::string>{"Screen Saver"};
    }
    bool ranPreview() const { return fakes->createdTitles == std::vector<std::string>{"Preview"}; }
    std::string dialogCall() const {
        for (const std::string& c : fakes->calls) {
            if (c.rfind("runDialog(", 0) == 0) {
                return c;
            }
        }
        return "";
    }
};

TEST_F(Dispatch, EverySpellingOfTheFullScreenSwitchRunsFullScreen) {
    for (const char* tail : {"/s", "-S", " s", "//s", "S", "-/ s", "/sanything"}) {
        SetUp();
        EXPECT_EQ(run(tail), 7) << tail;
        EXPECT_TRUE(ranFullScreen()) << tail;
        EXPECT_EQ(hostState.instance, instance);
    }
}

TEST_F(Dispatch, UnknownSwitchesEndWithMinusOneAndCreateNothing) {
    for (const char* tail : {"x", "/x", "\t/s", "/?", "\xc3\xa9", "/1", "/a"}) {
        SetUp();
        EXPECT_EQ(run(tail), -1) << tail;
        EXPECT_TRUE(fakes->createdTitles.empty()) << tail;
        EXPECT_EQ(fakes->countCalls("runDialog"), 0) << tail;
        EXPECT_EQ(hostState.refusal, SwitchRefusal::UnknownSwitch) << tail;
    }
}

TEST_F(Dispatch, AnEmptyTailOpensTheConfigurationWithNoOwner) {
    fakes->dialogCommand = IDOK;
    EXPECT_EQ(run(""), 1);
    EXPECT_EQ(dialogCall(), "runDialog(2003,0)");
    SetUp();
    fakes->dialogCommand = IDCANCEL;
    EXPECT_EQ(run("  - /"), 0) << "only switch prefixes: still the configuration";
}

TEST_F(Dispatch, ConfigurationOwnerIsTheGivenWindowOnlyIfItIsOne) {
    EXPECT_EQ(run("/c:1234"), 1);
    EXPECT_EQ(dialogCall(), "runDialog(2003,0x4d2)");

    SetUp();
    fakes->windows.clear();
    run("/c:1234");
    EXPECT_EQ(dialogCall(), "runDialog(2003,0xf0f0)") << "not a window: the foreground window";

    for (const char* tail : {"/c", "/c 1234", "/C:", "-c:abc"}) {
        SetUp();
        run(tail);
        EXPECT_EQ(dialogCall(), "runDialog(2003,0xf0f0)") << tail;
    }
}

TEST_F(Dispatch, ConfigurationResultIsTheDialogs) {
    fakes->dialogCommand = IDCANCEL;
    EXPECT_EQ(run("/c"), 0);
    SetUp();
    fakes->dialogFails = true; // no dialog template
    EXPECT_EQ(run("/c"), -1);
}

TEST_F(Dispatch, PreviewRunsInsideTheGivenWindow) {
    for (const char* tail : {"/p 1234", "/l1234", "-P   1234", "/L 1234 trailing"}) {
        SetUp();
        EXPECT_EQ(run(tail), 7) << tail;
        ASSERT_TRUE(ranPreview()) << tail;
        const SaverWindowDesc& desc = fakes->createdWindows[0];
        EXPECT_EQ(desc.parent, settingsPage);
        EXPECT_EQ(hostState.isPreview, 1);
    }
}

TEST_F(Dispatch, PreviewWithoutAUsableWindowEndsWithMinusOneAndSaysWhy) {
    const std::pair<const char*, SwitchRefusal> cases[] = {
        {"/p", SwitchRefusal::MalformedWindowId},
        {"/p abc", SwitchRefusal::MalformedWindowId},
        {"/pabc", SwitchRefusal::MalformedWindowId},
        {"/p 0", SwitchRefusal::MalformedWindowId},
        {"/p\t1234", SwitchRefusal::MalformedWindowId},
        {"/l 5555", SwitchRefusal::NotAWindow},
    };
    for (const auto& [tail, reason] : cases) {
        SetUp();
        EXPECT_EQ(run(tail), -1) << tail;
        EXPECT_TRUE(fakes->createdTitles.empty()) << tail;
        EXPECT_EQ(hostState.refusal, reason) << tail;
        EXPECT_EQ(hostState.refusedSwitch, tail[1]) << tail;
        EXPECT_STREQ(hostState.refusedArgument, tail + 2 + (tail[2] == ' ')) << tail;
    }
    // A window system that cannot draw in another program's window refuses
    // even a real one, and says so.
    SetUp();
    PlatformLimits limits;
    limits.noForeignWindows = true;
    fake::setLimits(limits);
    EXPECT_EQ(run("/p 1234"), -1);
    EXPECT_EQ(hostState.refusal, SwitchRefusal::NoForeignWindows);
    EXPECT_TRUE(fakes->createdTitles.empty());
    // A switch it runs leaves no refusal behind.
    SetUp();
    EXPECT_EQ(run("/p 1234"), 7);
    EXPECT_EQ(hostState.refusal, SwitchRefusal::None);
}

TEST_F(Dispatch, AQuotedProgramPathIsSkippedAndItsSwitchHonoured) {
    const char* commandLine = "\"C:\\Program Files\\Savers\\haze.scr\" /p 1234";
    EXPECT_EQ(SaverMain(instance, ExtractCommandTail(commandLine)), 7);
    EXPECT_TRUE(ranPreview());
}

TEST_F(Dispatch, PasswordChangeOnlyExistsInTheWindows98Family) {
    EXPECT_EQ(run("/a 1234"), -1);
    EXPECT_EQ(fakes->countCalls("loadSystemLibrary"), 0);

    SetUp();
    fakes->versionQueryWorks = false;
    fakes->platformId = 1;
    EXPECT_EQ(run("/a"), -1) << "a failed version query is not the Windows 98 family";
}

HWND changedFor = nullptr;
std::string changedProvider;
DWORD WINAPI fakeChangePassword(LPCSTR provider, HWND window, DWORD, LPVOID) {
    changedProvider = provider;
    changedFor = window;
    return 0;
}

TEST_F(Dispatch, PasswordChangeGoesToTheSystemsLibrary) {
    fakes->platformId = 1;
    const HMODULE mpr = fake::module(0x77);
    fakes->systemLibraries["MPR.DLL"] = mpr;
    fakes->addProc(mpr, "PwdChangePasswordA", procCast<FARPROC>(fakeChangePassword));

    EXPECT_EQ(run("/a 1234"), 0);
    EXPECT_EQ(changedProvider, "SCRSAVE");
    EXPECT_EQ(changedFor, settingsPage);
    EXPECT_EQ(fakes->countCalls("freeLibrary"), 1);

    SetUp();
    fakes->platformId = 1;
    fakes->systemLibraries["MPR.DLL"] = mpr;
    fakes->addProc(mpr, "PwdChangePasswordA", procCast<FARPROC>(fakeChangePassword));
    EXPECT_EQ(run("-A 99"), 0);
    EXPECT_EQ(changedFor, fakes->foreground) << "99 is no window: the foreground window";
}

TEST_F(Dispatch, PasswordChangeWithoutTheLibraryStillSucceeds) {
    fakes->platformId = 1;
    EXPECT_EQ(run("/a"), 0);
    EXPECT_EQ(fakes->loadedLibraryNames, std::vector<std::string>{"MPR.DLL"});
    EXPECT_EQ(fakes->countCalls("freeLibrary"), 0);

    SetUp();
    fakes->platformId = 1;
    fakes->systemLibraries["MPR.DLL"] = fake::module(0x77); // without the entry point
    EXPECT_EQ(run("/a"), 0);
    EXPECT_EQ(fakes->countCalls("freeLibrary"), 1);
}

TEST(ConfigureDialog, OnlyOkAndCancelEndIt) {
    fake::State& fakes = fake::reset();
    const HWND dialog = fake::window(0xD1A);
    EXPECT_EQ(ScreenSaverConfigureDialog(dialog, WM_INITDIALOG, 0, 0), FALSE);
    EXPECT_EQ(ScreenSaverConfigureDialog(dialog, WM_COMMAND, 3, 0), FALSE);
    EXPECT_EQ(ScreenSaverConfigureDialog(dialog, WM_KEYDOWN, IDOK, 0), FALSE);
    EXPECT_EQ(fakes.countCalls("endDialog"), 0);

    // The control id is the low word; the high word carries the notification.
    EXPECT_EQ(ScreenSaverConfigureDialog(dialog, WM_COMMAND, 0x00010000 | IDOK, 0), TRUE);
    EXPECT_EQ(fakes.dialogResult, 1);
    EXPECT_EQ(ScreenSaverConfigureDialog(dialog, WM_COMMAND, IDCANCEL, 0), TRUE);
    EXPECT_EQ(fakes.dialogResult, 0);
    EXPECT_EQ(RegisterDialogClasses(instance), TRUE);
}

} // namespace
