#include "programs/headless/interrupt_cleanup.h"

#include <climits>
#include <cstring>
#include <unistd.h>

namespace {

// Enough for a set of eleven textures, the folders made for them and more.
constexpr int capacity = 32;
// The signals whose handling changes while anything is listed; the last,
// SIGXFSZ, is ignored then, so a file-size limit fails the write (EFBIG)
// rather than killing the process with its temporaries left behind.
constexpr int handledSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGXFSZ};
constexpr int signalCount = sizeof handledSignals / sizeof handledSignals[0];
constexpr int interruptCount = signalCount - 1;

// Written only with the signals held, so the handler never sees half an entry.
char listed[capacity][PATH_MAX];
volatile std::sig_atomic_t listedCount = 0;
int writesInProgress = 0; // WriteInProgress objects alive
struct sigaction previous[signalCount];
bool handled[signalCount] = {};

extern "C" void onInterrupt(int signal) {
    // Newest first: files go before the folder made for them.
    for (int i = listedCount - 1; i >= 0; --i) {
        if (unlink(listed[i]) != 0) {
            rmdir(listed[i]);
        }
    }
    // Then the signal's own default action: it is blocked while this handler
    // runs and acts as the handler returns.
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void installHandlers() {
    struct sigaction action {};
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < signalCount; ++i) {
        action.sa_handler = i < interruptCount ? onInterrupt : SIG_IGN;
        // Only where the signal would simply end the process: one the process
        // ignores (a background job's SIGINT, nohup's SIGHUP) stays ignored.
        handled[i] = sigaction(handledSignals[i], nullptr, &previous[i]) == 0 &&
                     (previous[i].sa_flags & SA_SIGINFO) == 0 &&
                     previous[i].sa_handler == SIG_DFL &&
                     sigaction(handledSignals[i], &action, nullptr) == 0;
    }
}

void restoreHandlers() {
    for (int i = 0; i < signalCount; ++i) {
        if (handled[i]) {
            sigaction(handledSignals[i], &previous[i], nullptr);
            handled[i] = false;
        }
    }
}

} // namespace

bool removeOnInterrupt(const std::string& path) {
    if (path.size() >= PATH_MAX) {
        return false;
    }
    InterruptsHeld held;
    if (listedCount == capacity) {
        return false;
    }
    std::memcpy(listed[listedCount], path.c_str(), path.size() + 1);
    if (listedCount == 0 && writesInProgress == 0) {
        installHandlers();
    }
    listedCount = listedCount + 1;
    return true;
}

void keepOnInterrupt(const std::string& path) {
    InterruptsHeld held;
    for (int i = 0; i < listedCount; ++i) {
        if (path == listed[i]) {
            // Later entries move up, keeping their order.
            std::memmove(listed[i], listed[i + 1], sizeof listed[0] * (listedCount - i - 1));
            listedCount = listedCount - 1;
            break;
        }
    }
    if (listedCount == 0 && writesInProgress == 0) {
        restoreHandlers();
    }
}

WriteInProgress::WriteInProgress() {
    InterruptsHeld held;
    if (listedCount == 0 && writesInProgress == 0) {
        installHandlers();
    }
    ++writesInProgress;
}

WriteInProgress::~WriteInProgress() {
    InterruptsHeld held;
    --writesInProgress;
    if (listedCount == 0 && writesInProgress == 0) {
        restoreHandlers();
    }
}

InterruptsHeld::InterruptsHeld() {
    sigset_t interrupts;
    sigemptyset(&interrupts);
    for (int i = 0; i < interruptCount; ++i) {
        sigaddset(&interrupts, handledSignals[i]);
    }
    sigprocmask(SIG_BLOCK, &interrupts, &saved_);
}

InterruptsHeld::~InterruptsHeld() {
    sigprocmask(SIG_SETMASK, &saved_, nullptr);
}
