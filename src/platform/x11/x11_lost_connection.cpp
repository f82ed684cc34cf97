#include "platform/x11/x11_lost_connection.h"

#include <csignal>
#include <poll.h>
#include <unistd.h>

namespace x11 {
namespace {

volatile std::sig_atomic_t connectionSocket = -1;
struct sigaction earlierOnSegv {};
struct sigaction earlierOnBus {};

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

extern "C" void onFault(int signal, siginfo_t* info, void*) {
    if (serverHungUp()) {
        endForLostConnection();
    }
    // Not the server's doing: the earlier action takes the fault, which comes
    // again as soon as the faulting instruction runs again on return.
    sigaction(signal, signal == SIGBUS ? &earlierOnBus : &earlierOnSegv, nullptr);
    if (info == nullptr || info->si_code <= 0) {
        raise(signal); // sent by a process, not a fault: it would not come again
    }
}

} // namespace

void endForLostConnection() {
    static const char line[] = "haze: lost the connection to the X display\n";
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, line, sizeof line - 1);
    _exit(1);
}

bool handleFaultsOfALostConnection() {
    // Once: a second time would make the handler its own earlier action.
    static const bool installed = [] {
        struct sigaction action {};
        action.sa_sigaction = onFault;
        sigemptyset(&action.sa_mask);
        // On the alternate stack where one is set up (as sanitizers do).
        action.sa_flags = SA_SIGINFO | SA_ONSTACK;
        return sigaction(SIGSEGV, &action, &earlierOnSegv) == 0 &&
               sigaction(SIGBUS, &action, &earlierOnBus) == 0;
    }();
    return installed;
}

void watchConnectionSocket(int fd) {
    connectionSocket = fd;
}

} // namespace x11
