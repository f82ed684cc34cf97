// A fault or a broken pipe while the X server's end of the connection is
// hung up is the server's loss: haze's one line and exit code 1. Any other
// fault must still crash.
#include <gtest/gtest.h>

#include "platform/x11/x11_lost_connection.h"

#include <csignal>
#include <sys/mman.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const char* const lostLine = "^haze: lost the connection to the X display\n$";

// haze's handlers over the default actions, on a connection whose server is
// gone or not; then a fault (as the GL library reading through a reply that
// never came) or else a request written to the server.
void signalWithServer(bool gone, bool fault) {
    std::signal(SIGSEGV, SIG_DFL);
    std::signal(SIGPIPE, SIG_DFL);
    int ends[2] = {-1, -1};
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
    ASSERT_TRUE(x11::handleSignalsOfALostConnection());
    x11::watchConnectionSocket(ends[0]);
    if (gone) {
        close(ends[1]);
    }
    if (fault) {
        // A page that may not be touched: a real fault, which no sanitizer
        // reports first.
        void* page = mmap(nullptr, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        *static_cast<volatile int*>(page) = 1;
    }
    [[maybe_unused]] const ssize_t written = write(ends[0], "", 1);
}

TEST(LostConnectionDeathTest, AFaultOrARequestOnceTheServerHasGoneEndsWithTheOneLine) {
    EXPECT_EXIT(signalWithServer(true, true), testing::ExitedWithCode(1), lostLine);
    EXPECT_EXIT(signalWithServer(true, false), testing::ExitedWithCode(1), lostLine);
}

TEST(LostConnectionDeathTest, AFaultWhileTheServerIsThereStillCrashes) {
    EXPECT_EXIT(signalWithServer(false, true), testing::KilledBySignal(SIGSEGV), "");
}

} // namespace
