// Where frames land: the window's back buffer where its swaps keep it, else
// a canvas copied to the back buffer before each swap. Through the saver's
// window procedure, on the fake platform with the GL call recorder.
#include "app/frame_target.h"
#include "app/frame_timer.h"
#include "app/render_context.h"
#include "fake_platform.h"
#include "gl_recorder.h"
#include "host/screen_saver.h"
#include "recording_scene_hooks.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

const HWND saver = fake::window(0x5A5A);
constexpr double Framebuffer = 0x8D40;
constexpr double ReadFramebuffer = 0x8CA8;
constexpr double DrawFramebuffer = 0x8CA9;
constexpr double Renderbuffer = 0x8D41;

class FrameTargetTest : public ::testing::Test {
protected:
    fake::State* fakes = nullptr;

    void SetUp() override {
        fakes = &fake::reset();
        glrec::reset();
        hooks::reset();
        unsetenv("HAZE_CANVAS");
        renderContext = RenderContext{};
        fakes->windows.insert(saver);
        fakes->clientRects[saver] = RECT{0, 0, 800, 600};
        fakes->swapKeepsBackBuffer = false;
        glrec::setStrings("4.5 (Compatibility Profile)", "");
        for (const char* suffix : {"", "EXT"}) {
            for (const char* name :
                 {"glGenFramebuffers", "glDeleteFramebuffers", "glBindFramebuffer",
                  "glGenRenderbuffers", "glDeleteRenderbuffers", "glBindRenderbuffer",
                  "glRenderbufferStorage", "glFramebufferRenderbuffer", "glCheckFramebufferStatus",
                  "glBlitFramebuffer"}) {
                const std::string named = std::string(name) + suffix;
                fakes->glEntryPoints[named] = glrec::framebufferEntryPoint(named.c_str());
            }
        }
    }

    void create() { ScreenSaverProc(saver, WM_CREATE, 0, 0); }
    void frame() { ScreenSaverProc(saver, WM_TIMER, FrameTimerId, 0); }
    void destroy() { ScreenSaverProc(saver, WM_DESTROY, 0, 0); }
};

std::vector<glrec::Call> callsBetween(std::size_t from, std::size_t to) {
    const std::vector<glrec::Call>& calls = glrec::calls();
    return std::vector<glrec::Call>(calls.begin() + from, calls.begin() + to);
}

TEST_F(FrameTargetTest, TheCanvasIsUsedWhereSwapsLoseTheFrameAndFramebuffersExist) {
    struct Case {
        bool swapKeeps;
        const char* canvasSwitch; // HAZE_CANVAS, or null
        const char* version;
        const char* extensions;
        const char* suffix; // of the entry points a canvas is made with; null: no canvas
    };
    const Case cases[] = {
        {true, nullptr, "4.5", "", nullptr}, // a copying swap costs nothing
        {false, nullptr, "3.0", "", ""},
        {false, nullptr, "2.1", "GL_ARB_framebuffer_object", ""},
        {false, nullptr, "2.1", "GL_EXT_framebuffer_object GL_EXT_framebuffer_blit", "EXT"},
        {false, nullptr, "2.1", "GL_EXT_framebuffer_object", nullptr}, // no blit
        {false, nullptr, "1.1", "GL_EXT_framebuffer_object_x GL_EXT_framebuffer_blit", nullptr},
        {false, "off", "4.5", "", nullptr},
        {true, "on", "4.5", "", ""},
        {false, "sideways", "4.5", "", ""}, // not a switch value: the automatic choice
    };
    for (const Case& c : cases) {
        SetUp();
        fakes->swapKeepsBackBuffer = c.swapKeeps;
        if (c.canvasSwitch != nullptr) {
            setenv("HAZE_CANVAS", c.canvasSwitch, 1);
        }
        glrec::setStrings(c.version, c.extensions);
        create();
        const std::string what = std::string(c.version) + " " + c.extensions;
        EXPECT_EQ(FrameTargetIsCanvas(), c.suffix != nullptr) << what;
        if (c.suffix == nullptr) {
            EXPECT_TRUE(fakes->glEntryPointsAskedFor.empty()) << what;
        }
        for (const std::string& name : fakes->glEntryPointsAskedFor) {
            const bool extName = name.compare(name.size() - 3, 3, "EXT") == 0;
            EXPECT_EQ(extName, std::string(c.suffix) == "EXT") << name << " for " << what;
        }
        frame();
        EXPECT_EQ(glrec::count("glBlitFramebuffer"), c.suffix != nullptr ? 1 : 0) << what;
        destroy();
    }
}

TEST_F(FrameTargetTest, TheSceneDrawsOnTheCanvasWhichIsCopiedWholeBeforeEachSwap) {
    create();
    ASSERT_TRUE(FrameTargetIsCanvas());
    // An RGB colour buffer and a 16-bit depth buffer, the window's format.
    EXPECT_EQ(glrec::callsNamed("glRenderbufferStorage"),
              (std::vector<glrec::Call>{
                  glrec::call("glRenderbufferStorage", {Renderbuffer, 0x8051, 800, 600}),
                  glrec::call("glRenderbufferStorage", {Renderbuffer, 0x81A5, 800, 600})}));
    const double canvas = glrec::callsNamed("glGenFramebuffers")[0].arg(1);
    // Bound before the scene's set-up draws its first clear.
    const std::size_t sceneStart = hooks::sceneStarts().at(0).glCallsBefore;
    EXPECT_EQ(glrec::callsNamed("glBindFramebuffer").back(),
              glrec::call("glBindFramebuffer", {Framebuffer, canvas}));
    EXPECT_EQ(glrec::count("glBlitFramebuffer"), 0);

    frame();
    frame();
    ASSERT_EQ(hooks::frameStarts().size(), 2u);
    const std::size_t second = hooks::frameStarts()[1];
    const std::vector<glrec::Call> before = callsBetween(sceneStart, second);
    const std::vector<glrec::Call> after = callsBetween(second, glrec::calls().size());
    EXPECT_EQ(before.back(), glrec::call("glBindFramebuffer", {Framebuffer, canvas}))
        << "the frame draws on the canvas, even after the last frame was presented";
    EXPECT_EQ(after, (std::vector<glrec::Call>{
                         glrec::call("glBindFramebuffer", {ReadFramebuffer, canvas}),
                         glrec::call("glBindFramebuffer", {DrawFramebuffer, 0}),
                         glrec::call("glDisable", {GL_SCISSOR_TEST}),
                         glrec::call("glBlitFramebuffer", {0, 0, 800, 600, 0, 0, 800, 600,
                                                           GL_COLOR_BUFFER_BIT, GL_NEAREST}),
                         glrec::call("glBindFramebuffer", {Framebuffer, 0}),
                     }));
    EXPECT_EQ(fakes->calls.back(), "swapBuffers(0xdc)");

    destroy();
    EXPECT_EQ(glrec::count("glDeleteFramebuffers"), 1);
    EXPECT_EQ(glrec::count("glDeleteRenderbuffers"), 2);
}

TEST_F(FrameTargetTest, TheCanvasFollowsTheClientSizeKeepingItsPictureTopLeft) {
    create();
    const double first = glrec::callsNamed("glGenFramebuffers")[0].arg(1);
    renderContext.clientWidth = 1024;
    renderContext.clientHeight = 500;
    frame();
    const std::vector<glrec::Call> blits = glrec::callsNamed("glBlitFramebuffer");
    ASSERT_EQ(blits.size(), 2u);
    // The old picture's top 800x500 lands at the new canvas's top left.
    EXPECT_EQ(blits[0], glrec::call("glBlitFramebuffer", {0, 100, 800, 600, 0, 0, 800, 500,
                                                          GL_COLOR_BUFFER_BIT, GL_NEAREST}));
    EXPECT_EQ(glrec::callsNamed("glDeleteFramebuffers"),
              std::vector<glrec::Call>{glrec::call("glDeleteFramebuffers", {1, first})});
    EXPECT_EQ(blits[1].arg(2), 1024);
    EXPECT_EQ(glrec::callsNamed("glBindFramebuffer").back(),
              glrec::call("glBindFramebuffer", {Framebuffer, 0}));

    // A client area with no size (minimised) keeps the canvas as it is.
    renderContext.clientWidth = 0;
    frame();
    EXPECT_EQ(glrec::count("glGenFramebuffers"), 2);
    EXPECT_EQ(glrec::callsNamed("glBlitFramebuffer").back().arg(2), 1024);
}

TEST_F(FrameTargetTest, ACanvasTheDriverCannotDrawOnLeavesFramesOnTheBackBuffer) {
    glrec::failFramebuffers();
    create();
    EXPECT_FALSE(FrameTargetIsCanvas());
    EXPECT_EQ(glrec::callsNamed("glBindFramebuffer").back(),
              glrec::call("glBindFramebuffer", {Framebuffer, 0}));
    EXPECT_EQ(glrec::count("glDeleteFramebuffers"), 1) << "the incomplete canvas is given back";
    frame();
    EXPECT_EQ(glrec::count("glBlitFramebuffer"), 0);
    EXPECT_EQ(fakes->calls.back(), "swapBuffers(0xdc)");
}

} // namespace
