// A fault once the X server has gone is the server's loss: haze's one line
// and exit code 1. Any other fault must still crash.
#include <gtest/gtest.h>

#include "platform/x11/x11_lost_connection.h"

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Faults as the GL library does when it reads through a reply that never
// came, on a connection whose server is (or is not) gone.
void faultWithServer(bool gone) {
    std::signal(SIGSEGV, SIG_DFL); // the action before haze's: a crash
    int ends[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
    ASSERT_TRUE(x11::handleFaultsOfALostConnection());
    x11::watchConnectionSocket(ends[0]);
    if (gone) {
        close(ends[1]);
    }
    volatile int* volatile nowhere = nullptr;
    *nowhere = 1;
}

TEST(LostConnectionDeathTest, AFaultOnceTheServerHasGoneEndsWithTheOneLine) {
    EXPECT_EXIT(faultWithServer(true), testing::ExitedWithCode(1),
                "^haze: lost the connection to the X display\n$");
}

TEST(LostConnectionDeathTest, AFaultWhileTheServerIsThereStillCrashes) {
    EXPECT_EXIT(faultWithServer(false), testing::KilledBySignal(SIGSEGV), "");
}

} // namespace
