// A fault or a broken pipe once the X server has gone is the server's loss:
// haze's one line and exit code 1. Any other fault must still crash.
#include <gtest/gtest.h>

#include "platform/x11/x11_lost_connection.h"

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const char* const lostLine = "^haze: lost the connection to the X display\n$";

// haze's handlers over the default actions, watching a connection whose
// server is gone or not; returns haze's end of it.
int connectionWithServer(bool gone) {
    std::signal(SIGSEGV, SIG_DFL);
    std::signal(SIGPIPE, SIG_DFL);
    int ends[2] = {-1, -1};
    EXPECT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
    EXPECT_TRUE(x11::handleSignalsOfALostConnection());
    x11::watchConnectionSocket(ends[0]);
    if (gone) {
        close(ends[1]);
    }
    return ends[0];
}

// As the GL library reads through a reply that never came.
void faultWithServer(bool gone) {
    connectionWithServer(gone);
    volatile int* volatile nowhere = nullptr;
    *nowhere = 1;
}

void requestToServer(bool gone) {
    const char request = 0;
    [[maybe_unused]] const ssize_t written = write(connectionWithServer(gone), &request, 1);
}

TEST(LostConnectionDeathTest, AFaultOnceTheServerHasGoneEndsWithTheOneLine) {
    EXPECT_EXIT(faultWithServer(true), testing::ExitedWithCode(1), lostLine);
}

TEST(LostConnectionDeathTest, ARequestToAServerThatHasGoneEndsWithTheOneLine) {
    EXPECT_EXIT(requestToServer(true), testing::ExitedWithCode(1), lostLine);
}

TEST(LostConnectionDeathTest, AFaultWhileTheServerIsThereStillCrashes) {
    EXPECT_EXIT(faultWithServer(false), testing::KilledBySignal(SIGSEGV), "");
}

} // namespace
