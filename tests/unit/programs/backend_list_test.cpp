// The list of backends the Linux program tries: the first whose probe and
// start succeed wins, --backend tries only the one it names, and a failure
// says what each backend tried said.
#include "programs/linux/backend_list.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::vector<std::string> attempts; // "probe NAME", "start NAME", in order

template <int id>
struct Scripted {
    static inline bool probes = true;
    static inline bool starts = true;
    static const char* name() { return id == 0 ? "first" : "second"; }
    static bool probe(const BackendSettings&, std::string& reason) {
        attempts.push_back(std::string("probe ") + name());
        reason = std::string(name()) + " is not there";
        return probes;
    }
    static bool start(const BackendSettings&, std::string& error) {
        attempts.push_back(std::string("start ") + name());
        error = std::string(name()) + " did not start";
        return starts;
    }
    static Backend entry() {
        Backend backend{};
        backend.name = name();
        backend.probe = probe;
        backend.start = start;
        return backend;
    }
};

TEST(BackendList, TheFirstThatAnswersAndStartsWinsAndOthersAreNotTouched) {
    const Backend first = Scripted<0>::entry();
    const Backend second = Scripted<1>::entry();
    const std::vector<const Backend*> list = {&first, &second};
    std::string error;

    attempts.clear();
    Scripted<0>::probes = Scripted<0>::starts = Scripted<1>::probes = Scripted<1>::starts = true;
    EXPECT_EQ(startBackend(list, "", BackendSettings{}, error), &first);
    EXPECT_EQ(attempts, (std::vector<std::string>{"probe first", "start first"}));

    // Not there: not started. There but failing to start: the next is tried.
    for (bool firstProbes : {false, true}) {
        attempts.clear();
        Scripted<0>::probes = firstProbes;
        Scripted<0>::starts = false;
        EXPECT_EQ(startBackend(list, "", BackendSettings{}, error), &second);
        EXPECT_EQ(attempts.back(), "start second");
        EXPECT_EQ(attempts.size(), firstProbes ? 4u : 3u);
        EXPECT_TRUE(error.empty());
    }

    // None: every reason, in the order tried.
    Scripted<1>::probes = false;
    EXPECT_EQ(startBackend(list, "", BackendSettings{}, error), nullptr);
    EXPECT_EQ(error, "first did not start; second is not there");
}

TEST(BackendList, ANamedBackendIsTheOnlyOneTried) {
    const Backend first = Scripted<0>::entry();
    const Backend second = Scripted<1>::entry();
    const std::vector<const Backend*> list = {&first, &second};
    Scripted<0>::probes = Scripted<0>::starts = Scripted<1>::probes = Scripted<1>::starts = true;
    std::string error;

    attempts.clear();
    EXPECT_EQ(startBackend(list, "second", BackendSettings{}, error), &second);
    EXPECT_EQ(attempts, (std::vector<std::string>{"probe second", "start second"}));

    Scripted<1>::starts = false;
    EXPECT_EQ(startBackend(list, "second", BackendSettings{}, error), nullptr);
    EXPECT_EQ(error, "second did not start") << "no other backend stands in for it";
    EXPECT_EQ(backendNamed(list, "first"), &first);
    EXPECT_EQ(backendNamed(list, "third"), nullptr);
}

// Under XWayland both answer: native Wayland is tried first.
TEST(BackendList, ThisBuildTriesWaylandBeforeX11) {
    ASSERT_EQ(linuxBackends().size(), 2u);
    EXPECT_STREQ(linuxBackends().front()->name, "wayland");
    EXPECT_STREQ(linuxBackends().back()->name, "x11");
}

// Wayland answers where the session names a compositor, but an X display
// named on the command line or an X daemon's window is X11's to draw in.
TEST(BackendList, WaylandLeavesXDisplaysAndXDaemonsToX11) {
    const Backend& wayland = *backendNamed(linuxBackends(), "wayland");
    BackendSettings settings;
    std::string reason;
    unsetenv("XSCREENSAVER_WINDOW");
    unsetenv("WAYLAND_SOCKET");
    unsetenv("WAYLAND_DISPLAY");
    EXPECT_FALSE(wayland.probe(settings, reason));
    EXPECT_NE(reason.find("WAYLAND_DISPLAY"), std::string::npos) << reason;

    setenv("WAYLAND_DISPLAY", "wayland-1", 1);
    EXPECT_TRUE(wayland.probe(settings, reason));
    settings.displayName = ":0";
    EXPECT_FALSE(wayland.probe(settings, reason));
    settings.displayName.clear();
    setenv("XSCREENSAVER_WINDOW", "0x400001", 1);
    EXPECT_FALSE(wayland.probe(settings, reason));
    unsetenv("XSCREENSAVER_WINDOW");
    unsetenv("WAYLAND_DISPLAY");
}

} // namespace
