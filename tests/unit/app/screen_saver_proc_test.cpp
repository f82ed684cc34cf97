// ScreenSaverProc: what the saver window does at creation, on each timer
// message and at destruction, and in what order, on the fake platform with
// the GL call recorder and a recording double of the scene hooks.
#include "app/frame_rate_readout.h"
#include "app/frame_timer.h"
#include "app/render_context.h"
#include "app/run_seed.h"
#include "fake_platform.h"
#include "gl_recorder.h"
#include "host/saver_host_state.h"
#include "host/saver_window.h"
#include "host/screen_saver.h"
#include "platform/saver_pixel_format.h"
#include "recording_scene_hooks.h"
#include "support/random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const HWND saver = fake::window(0x5A5A);
const HWND settingsPage = fake::window(1234);

// The fake's table with two calls watched: the pixel-format request as
// handed over, and how many GL calls had been made when a context was made
// current.
const Platform* fakeTable = nullptr;
Platform watched;
PIXELFORMATDESCRIPTOR requestedFormat;
std::vector<std::size_t> glCallsAtMakeCurrent;

bool watchSetPixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR& request) {
    requestedFormat = request;
    return fakeTable->setPixelFormat(dc, request);
}

bool watchMakeCurrent(HDC dc, HGLRC context) {
    glCallsAtMakeCurrent.push_back(glrec::calls().size());
    return fakeTable->makeCurrent(dc, context);
}

std::vector<std::size_t> glCallsAtSwap;

void watchSwapBuffers(HDC dc) {
    glCallsAtSwap.push_back(glrec::calls().size());
    fakeTable->swapBuffers(dc);
}

class ScreenSaverProcTest : public ::testing::Test {
protected:
    fake::State* fakes = nullptr;

    void SetUp() override {
        fakes = &fake::reset();
        static const Platform fakeCopy = platform();
        fakeTable = &fakeCopy;
        watched = fakeCopy;
        watched.setPixelFormat = watchSetPixelFormat;
        watched.makeCurrent = watchMakeCurrent;
        watched.swapBuffers = watchSwapBuffers;
        installPlatform(watched);
        glCallsAtSwap.clear();
        requestedFormat = PIXELFORMATDESCRIPTOR{};
        glCallsAtMakeCurrent.clear();

        glrec::reset();
        hooks::reset();
        clearFixedRunSeed();
        unsetenv("HAZE_CANVAS");
        renderContext = RenderContext{};
        fakes->windows.insert(saver);
        fakes->clientRects[saver] = RECT{0, 0, 800, 600};
    }

    void TearDown() override { clearFixedRunSeed(); }

    void create() { EXPECT_EQ(ScreenSaverProc(saver, WM_CREATE, 0, 0), 0); }

    // The platform and scene calls made so far, then forgotten.
    std::vector<std::string> takeCalls() {
        std::vector<std::string> calls;
        calls.swap(fakes->calls);
        return calls;
    }
};

using Calls = std::vector<std::string>;

TEST_F(ScreenSaverProcTest, CreationBuildsContextThenSceneThenStartsTheFrameTimer) {
    create();
    EXPECT_EQ(takeCalls(), (Calls{
                               "windowDeviceContext(0x5a5a)",
                               "setPixelFormat(0xdc)",
                               "createGLContext(0xdc)",
                               "makeCurrent(0xdc,0x6c)",
                               "swapKeepsBackBuffer(0xdc)",
                               "InitialiseScene(800,600)",
                               "ResizeScene(800,600)",
                               "setTimer(0x5a5a,1,5)",
                           }));
    EXPECT_EQ(renderContext.deviceContext, reinterpret_cast<HDC>(0xDC));
    EXPECT_EQ(renderContext.glContext, reinterpret_cast<HGLRC>(0x6C));
    EXPECT_EQ(renderContext.clientWidth, 800);
    EXPECT_EQ(renderContext.clientHeight, 600);

    // The request handed to the window system is the saver's format, byte for
    // byte, and no GL call was made before a context was current.
    EXPECT_EQ(std::memcmp(&requestedFormat, &SaverPixelFormat, sizeof SaverPixelFormat), 0);
    ASSERT_EQ(glCallsAtMakeCurrent.size(), 1u);
    EXPECT_EQ(glCallsAtMakeCurrent[0], 0u);
}

TEST_F(ScreenSaverProcTest, ThePixelFormatRequestIsTheFortyByteRecordOfTheSaver) {
    // nSize 40, version 1, window + OpenGL + double buffer (0x25), RGBA,
    // 24 colour bits, no alpha or accumulation, 16 depth bits, no stencil or
    // auxiliary buffers, main plane, every mask 0.
    std::uint8_t expected[40] = {};
    expected[0] = 40;
    expected[2] = 1;
    expected[4] = 0x25;
    expected[8] = 0;   // iPixelType: RGBA
    expected[9] = 24;  // cColorBits
    expected[23] = 16; // cDepthBits
    EXPECT_EQ(sizeof SaverPixelFormat, 40u);
    EXPECT_EQ(std::memcmp(&SaverPixelFormat, expected, 40), 0);
}

TEST_F(ScreenSaverProcTest, TheBaseStateIsExactlyTheseCallsAndEndsInTheScene) {
    create();
    ASSERT_EQ(hooks::sceneStarts().size(), 1u);
    const std::vector<glrec::Call>& calls = glrec::calls();
    ASSERT_EQ(hooks::sceneStarts()[0].glCallsBefore, calls.size())
        << "the scene's initialisation is the last step of the base state";
    const std::vector<glrec::Call> expected = {
        glrec::call("glLineWidth", {1}),
        glrec::call("glPointSize", {1}),
        glrec::call("glCullFace", {GL_BACK}),
        glrec::call("glShadeModel", {GL_SMOOTH}),
        glrec::call("glPolygonMode", {GL_FRONT_AND_BACK, GL_FILL}),
        glrec::call("glLightModeli", {GL_LIGHT_MODEL_LOCAL_VIEWER, 1}),
        glrec::call("glHint", {GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST}),
        glrec::call("glDisable", {GL_DITHER}),
        glrec::call("glEnable", {GL_COLOR_MATERIAL}),
        glrec::call("glColorMaterial", {GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE}),
        glrec::call("glMaterialf", {GL_FRONT_AND_BACK, GL_SHININESS, 30}),
    };
    EXPECT_EQ(calls, expected);
    // Culling stays off and the clear colour stays black.
    EXPECT_FALSE(glrec::isEnabled(GL_CULL_FACE));
    EXPECT_EQ(glrec::count("glClearColor"), 0);
}

int firstValueAfterSeed(std::uint32_t seed) {
    randomSeed(seed);
    return randomNext();
}

TEST_F(ScreenSaverProcTest, TheSceneDrawsFromASequenceSeededWithTheTickCount) {
    fakes->tick = 987654;
    create();
    ASSERT_EQ(hooks::sceneStarts().size(), 1u);
    EXPECT_EQ(hooks::sceneStarts()[0].firstRandom, firstValueAfterSeed(987654));
    EXPECT_EQ(lastRunSeed(), 987654u);
}

TEST_F(ScreenSaverProcTest, AFixedSeedReplacesTheTickCount) {
    setFixedRunSeed(42);
    fakes->tick = 1111;
    create();
    fakes->tick = 2222;
    ScreenSaverProc(saver, WM_CREATE, 0, 0);
    ASSERT_EQ(hooks::sceneStarts().size(), 2u);
    EXPECT_EQ(hooks::sceneStarts()[0].firstRandom, firstValueAfterSeed(42));
    EXPECT_EQ(hooks::sceneStarts()[1].firstRandom, firstValueAfterSeed(42));
    EXPECT_EQ(lastRunSeed(), 42u);

    clearFixedRunSeed();
    ScreenSaverProc(saver, WM_CREATE, 0, 0);
    EXPECT_EQ(hooks::sceneStarts()[2].firstRandom, firstValueAfterSeed(2222));
}

TEST_F(ScreenSaverProcTest, AnyTimerMessageDrawsAndSwapsOneFrame) {
    create();
    takeCalls();
    EXPECT_EQ(ScreenSaverProc(saver, WM_TIMER, FrameTimerId, 0), 0);
    EXPECT_EQ(ScreenSaverProc(saver, WM_TIMER, 77, 0), 0); // not the frame timer
    EXPECT_EQ(takeCalls(),
              (Calls{"RenderFrame()", "swapBuffers(0xdc)", "RenderFrame()", "swapBuffers(0xdc)"}));

    // A swap that keeps nothing, and no canvas to draw on (the recorder has
    // no framebuffer objects): each frame starts without the one before.
    fakes->swapKeepsBackBuffer = false;
    create();
    takeCalls();
    ScreenSaverProc(saver, WM_TIMER, FrameTimerId, 0);
    EXPECT_EQ(takeCalls(), (Calls{"ForgetPreviousFrame()", "RenderFrame()", "swapBuffers(0xdc)"}));
}

TEST_F(ScreenSaverProcTest, TheFrameRateReadoutIsDrawnOverTheFrameBeforeTheSwapWhenShown) {
    create();
    takeCalls();
    // Hidden (the default): not a single GL call between frame and swap.
    glrec::reset();
    ScreenSaverProc(saver, WM_TIMER, FrameTimerId, 0);
    EXPECT_TRUE(glrec::calls().empty());

    // Shown: frames at 0, 0.5 and 1 s make a first rate of 2 frames a second,
    // drawn over the last frame in the whole window, its state saved first
    // and restored last, and all before the swap.
    ShowFrameRateReadout(true);
    for (DWORD ms : {0, 500, 1000}) {
        fakes->tick = 100000 + ms;
        glrec::reset();
        glCallsAtSwap.clear();
        ScreenSaverProc(saver, WM_TIMER, FrameTimerId, 0);
    }
    ShowFrameRateReadout(false);
    const std::vector<glrec::Call>& calls = glrec::calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_STREQ(calls.front().name, "glPushAttrib");
    EXPECT_STREQ(calls.back().name, "glPopAttrib");
    EXPECT_EQ(glrec::count("glViewport"), 1);
    EXPECT_EQ(glrec::callsNamed("glViewport")[0], glrec::call("glViewport", {0, 0, 800, 600}));
    EXPECT_EQ(glrec::count("glPushMatrix"), glrec::count("glPopMatrix"));
    EXPECT_EQ(glCallsAtSwap, std::vector<std::size_t>{calls.size()});
    EXPECT_EQ(takeCalls(),
              (Calls{"RenderFrame()", "swapBuffers(0xdc)", "RenderFrame()", "swapBuffers(0xdc)",
                     "RenderFrame()", "swapBuffers(0xdc)", "RenderFrame()", "swapBuffers(0xdc)"}));
}

TEST_F(ScreenSaverProcTest, DestructionStopsTheTimerThenReleasesSceneThenContext) {
    create();
    takeCalls();
    EXPECT_EQ(ScreenSaverProc(saver, WM_DESTROY, 0, 0), 0);
    EXPECT_EQ(takeCalls(), (Calls{
                               "killTimer(0x5a5a,1)",
                               "ReleaseScene()",
                               "makeCurrent(0,0)",
                               "deleteGLContext(0x6c)",
                               "releaseDeviceContext(0x5a5a,0xdc)",
                           }));
    EXPECT_EQ(renderContext.glContext, nullptr);
    EXPECT_EQ(fakes->quitCodes.size(), 0u) << "quitting is the host's part";
}

TEST_F(ScreenSaverProcTest, WithoutACurrentContextNothingTouchesGLAndInputStillEndsTheRun) {
    // Each step the window system may refuse, and the last one asked.
    const std::pair<bool fake::State::*, const char*> refusals[] = {
        {&fake::State::pixelFormatSets, "setPixelFormat(0xdc)"},
        {&fake::State::contextCreates, "createGLContext(0xdc)"},
        {&fake::State::makeCurrentWorks, "makeCurrent(0xdc,0x6c)"},
    };
    for (const auto& [answer, lastAsked] : refusals) {
        SetUp();
        fakes->*answer = false;
        create();
        EXPECT_EQ(takeCalls().back(), lastAsked) << "no step after a refusal, not even the timer";
        EXPECT_FALSE(renderContext.contextCurrent);

        // No frames: the window stays black. A key still asks to close.
        ScreenSaverProc(saver, WM_TIMER, FrameTimerId, 0);
        ScreenSaverProc(saver, WM_KEYDOWN, 'A', 0);
        EXPECT_EQ(fake::postedCount(saver, WM_CLOSE), 1) << lastAsked;
        ScreenSaverProc(saver, WM_DESTROY, 0, 0);
        Calls expected = {"defaultWindowProc(256)", "killTimer(0x5a5a,1)"};
        if (answer == &fake::State::makeCurrentWorks) {
            expected.insert(expected.end(), {"makeCurrent(0,0)", "deleteGLContext(0x6c)"});
        }
        expected.push_back("releaseDeviceContext(0x5a5a,0xdc)");
        EXPECT_EQ(takeCalls(), expected) << "no frame, no swap, no scene to release";
        EXPECT_TRUE(glrec::calls().empty()) << "a GL call without a current context";
    }
}

TEST_F(ScreenSaverProcTest, EveryOtherMessageGoesToTheHostsDefaultHandling) {
    create();
    takeCalls();

    // In a full-screen run a key press asks to close...
    EXPECT_EQ(ScreenSaverProc(saver, WM_KEYDOWN, 'A', 0), 0);
    EXPECT_EQ(fake::postedCount(saver, WM_CLOSE), 1);
    // ...and the answer to WM_SETCURSOR is the host's, not the system's.
    EXPECT_EQ(ScreenSaverProc(saver, WM_SETCURSOR, 0, 0), 1);
    EXPECT_EQ(ScreenSaverProc(saver, WM_PAINT, 0, 0), 0);
    EXPECT_EQ(takeCalls(), (Calls{"defaultWindowProc(256)", "defaultWindowProc(15)"}));

    // In a preview the same key press is ignored.
    hostState.isPreview = 1;
    ScreenSaverProc(saver, WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(fake::postedCount(saver, WM_CLOSE), 1);
}

TEST_F(ScreenSaverProcTest, APreviewStartsAtItsParentsSizeAndFollowsSizeMessages) {
    // The real host around the procedure: the preview child fills the
    // settings page's client area, which is the size the scene is built for.
    fakes->windows.insert(settingsPage);
    fakes->clientRects[settingsPage] = RECT{0, 0, 152, 112};
    fakes->clientRects[saver] = RECT{0, 0, 152, 112};
    fakes->duringLoop = [this] {
        fake::deliver(saver, WM_TIMER, FrameTimerId);
        // The page is laid out anew: the next frames are 400 by 300.
        fakes->clientRects[saver] = RECT{0, 0, 400, 300};
        EXPECT_EQ(fake::deliver(saver, WM_SIZE, 0, MAKELPARAM(400, 300)), 0);
        fake::deliver(saver, WM_TIMER, FrameTimerId);
        // Minimised, a window has no pixels: nothing changes.
        fake::deliver(saver, WM_SIZE, 1, MAKELPARAM(0, 0));
        fake::deliver(saver, WM_CLOSE);
    };
    EXPECT_EQ(RunSaverWindow(settingsPage), 0);

    Calls scene;
    for (const std::string& call : fakes->calls) {
        if (call.find("Scene") != std::string::npos || call == "RenderFrame()") {
            scene.push_back(call);
        }
    }
    EXPECT_EQ(scene, (Calls{"InitialiseScene(152,112)", "ResizeScene(152,112)", "RenderFrame()",
                            "ResizeScene(400,300)", "RenderFrame()", "ReleaseScene()"}));
    EXPECT_EQ(renderContext.clientWidth, 400);
    EXPECT_EQ(renderContext.clientHeight, 300);
    EXPECT_EQ(fakes->countCalls("deleteGLContext"), 1);
    EXPECT_EQ(fakes->quitCodes, std::vector<int>{0});
    EXPECT_EQ(fakes->yieldCount, 2) << "the host yields before each frame";
}

TEST_F(ScreenSaverProcTest, TheSceneHearsOfTheMonitorsAtCreationAndWhenTheyChange) {
    fakes->clientRects[saver] = RECT{0, 0, 2560, 720};
    fakes->monitors = {RECT{0, 0, 1280, 720}, RECT{1280, 0, 2560, 720}};
    create();
    const Calls created = takeCalls();
    EXPECT_NE(std::find(created.begin(), created.end(),
                        "ResizeScene(2560,720,1280x720+0+0,1280x720+1280+0)"),
              created.end());
    // A monitor is unplugged and the desktop shrinks to the one left.
    fakes->monitors = {RECT{0, 0, 1280, 720}};
    fakes->clientRects[saver] = RECT{0, 0, 1280, 720};
    ScreenSaverProc(saver, WM_DISPLAYCHANGE, 32, MAKELPARAM(1280, 720));
    EXPECT_EQ(takeCalls(), (Calls{"ResizeScene(1280,720,1280x720+0+0)", "defaultWindowProc(126)"}));
    EXPECT_EQ(renderContext.clientWidth, 1280);

    // Size and monitor news are no input: a full-screen run goes on.
    ScreenSaverProc(saver, WM_SIZE, 0, MAKELPARAM(1024, 768));
    EXPECT_EQ(fake::postedCount(saver, WM_CLOSE), 0);
    EXPECT_EQ(renderContext.clientHeight, 768);
}

} // namespace
