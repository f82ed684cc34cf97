#include "platform/x11/x11_lost_connection.h"

#include <csignal>
#include <poll.h>
#include <unistd.h>

namespace x11 {
namespace {

volatile std::sig_atomic_t connectionSocket = -1;

// The signals a lost server shows itself by, and the actions they had before.
constexpr int watchedSignals[] = {SIGSEGV, SIGBUS, SIGPIPE};
constexpr int watchedCount = sizeof watchedSignals / sizeof watchedSignals[0];
struct sigaction earlierActions[watchedCount];

// Whether the server has closed its end of the connection (or the socket
// failed): it has gone, whatever is still unread.
bool serverHungUp() {
    const int fd = connectionSocket;
    if (fd < 0) {
        return false;
    }
    pollfd socket{fd, POLLRDHUP, 0};
    return poll(&socket, 1, 0) > 0 && (socket.revents & (POLLHUP | POLLRDHUP | POLLERR)) != 0;
}

extern "C" void onLostConnectionSignal(int signal, siginfo_t* info, void*) {
    if (serverHungUp()) {
        endForLostConnection();
    }
    // Not the server's doing: the earlier action takes the signal. A fault
    // comes again as soon as the faulting instruction runs again on return;
    // a signal sent (or a broken pipe's) would not, so it is raised again.
    for (int i = 0; i < watchedCount; ++i) {
        if (watchedSignals[i] == signal) {
            sigaction(signal, &earlierActions[i], nullptr);
        }
    }
    if (info == nullptr || info->si_code <= 0) {
        raise(signal);
    }
}

} // namespace

void endForLostConnection() {
    static const char line[] = "haze: lost the connection to the X display\n";
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, line, sizeof line - 1);
    _exit(1);
}

bool handleSignalsOfALostConnection() {
    // Once: a second time would make the handler its own earlier action.
    static const bool installed = [] {
        struct sigaction action {};
        action.sa_sigaction = onLostConnectionSignal;
        sigemptyset(&action.sa_mask);
        // On the alternate stack where one is set up (as sanitizers do).
        action.sa_flags = SA_SIGINFO | SA_ONSTACK;
        bool all = true;
        for (int i = 0; i < watchedCount; ++i) {
            all = sigaction(watchedSignals[i], &action, &earlierActions[i]) == 0 && all;
        }
        return all;
    }();
    return installed;
}

void watchConnectionSocket(int fd) {
    connectionSocket = fd;
}

} // namespace x11
