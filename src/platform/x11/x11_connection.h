// The connection to the X server and what haze does with X errors.
//
// Errors are reported by a handler of haze's own: one line on stderr, never
// Xlib's multi-line dump, and never the end of the process. Errors that a
// caller expects (asking whether an id names a window) are trapped instead.
// Errors about the saver window are held back: when the window's parent is
// destroyed, frames drawn before the news arrives fail harmlessly, and those
// errors say nothing a user needs to read.
#pragma once

#include <X11/Xlib.h>

#include <string>

namespace x11 {

// Whether a display is named at all: `name`, else DISPLAY. False with the
// reason when neither is.
bool named(const std::string& name, std::string& reason);
// Installs the error handlers and opens the display `name` (empty: the one
// DISPLAY names). False, with a one-line reason, when there is none.
bool connect(std::string& error, const std::string& name = std::string());
Display* display();
int screen();
Window root();
// Flushes what is queued and closes the connection (if open).
void disconnect();
// A round trip through Xlib: when the server has gone, the I/O error handler
// ends haze with one line. GLX requests bypass Xlib, and the GL library
// crashes on a lost connection instead of reporting it, so each GLX step of
// start-up asks this first; a server that goes during the step itself is
// caught by the signal handlers of x11_lost_connection.h.
void confirmConnection();

// Traps every X error of the requests made during its life, instead of
// reporting them.
class ErrorTrap {
public:
    ErrorTrap();
    ~ErrorTrap();
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

    // Waits for the server's answer to every request so far; true when one of
    // them failed.
    bool failed();

private:
    int savedCount_;
};

// Holds back errors about `window` (0: none) until settleSaverErrors.
void watchSaverWindow(Window window);
bool saverErrorsHeld();
// Drops the held errors when the saver window is gone, else reports them.
void settleSaverErrors(bool saverGone);

} // namespace x11
