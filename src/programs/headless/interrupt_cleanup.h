// Files and folders to remove should SIGINT, SIGTERM or SIGHUP end the
// process while they exist: the temporaries of a write in progress.
#pragma once

#include <csignal>
#include <string>

// Adds `path` to what an interrupting signal removes before it ends the
// process as it would have without haze's handler. The handlers are in
// place while anything is listed; a signal the process ignores stays
// ignored. SIGXFSZ is ignored meanwhile, so that a file-size limit fails a
// write with "File too large" instead of ending the process. False when the
// list is full or the path too long to hold.
bool removeOnInterrupt(const std::string& path);

// Takes `path` off the list (it was removed, or became the real file).
void keepOnInterrupt(const std::string& path);

// While it lives, a write is in progress that leaves nothing behind when
// the process ends (an unnamed file): nothing to remove, but SIGXFSZ is
// ignored meanwhile all the same, so a file-size limit fails the write.
class WriteInProgress {
public:
    WriteInProgress();
    ~WriteInProgress();
    WriteInProgress(const WriteInProgress&) = delete;
    WriteInProgress& operator=(const WriteInProgress&) = delete;
};

// Holds SIGINT, SIGTERM and SIGHUP back while it lives, so a step that must
// not be cut in half (putting a whole set of files in place) completes
// before the signal acts.
class InterruptsHeld {
public:
    InterruptsHeld();
    ~InterruptsHeld();
    InterruptsHeld(const InterruptsHeld&) = delete;
    InterruptsHeld& operator=(const InterruptsHeld&) = delete;

private:
    sigset_t saved_; // the signal mask before
};
