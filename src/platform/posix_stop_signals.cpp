#include "platform/posix_stop_signals.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int pipeEnds[2] = {-1, -1};
volatile std::sig_atomic_t stopRequested = 0;

extern "C" void onStopSignal(int) {
    const int savedErrno = errno;
    stopRequested = 1;
    const char byte = 1;
    // Nonblocking: a full pipe already holds a wake-up.
    [[maybe_unused]] const ssize_t written = write(pipeEnds[1], &byte, 1);
    errno = savedErrno;
}

bool makeNonblocking(int fd) {
    const int flags = fcntl(fd, F_GETFL);
    return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0 &&
           fcntl(fd, F_SETFD, FD_CLOEXEC) == 0;
}

} // namespace

bool installStopSignals() {
    if (pipeEnds[0] >= 0) {
        return true;
    }
    if (pipe(pipeEnds) != 0 || !makeNonblocking(pipeEnds[0]) || !makeNonblocking(pipeEnds[1])) {
        return false;
    }
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return sigaction(SIGTERM, &action, nullptr) == 0 && sigaction(SIGINT, &action, nullptr) == 0;
}

int stopSignalFd() {
    return pipeEnds[0];
}

bool takeStopRequest() {
    if (!stopRequested) {
        return false;
    }
    stopRequested = 0;
    char buffer[64];
    while (read(pipeEnds[0], buffer, sizeof buffer) > 0) {
    }
    return true;
}
