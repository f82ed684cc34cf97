// The end of a run whose X server has gone: one line on stderr and exit
// code 1, however the loss shows itself.
//
// Xlib reports a lost connection to its I/O error handler. The GL library,
// though, talks to the server through xcb on its own, and where a reply it
// waits for never comes it may read through the missing reply: a SIGSEGV (or
// SIGBUS) inside the library, at any GLX step. And a request written to the
// closed socket raises SIGPIPE before anyone can report it. Such a signal
// while the server's end of the connection is closed is taken for the loss.
// Any other goes on to the action that was there before (by default the end
// of the process, with a core for a fault), so a fault of haze's own still
// crashes as it should.
#pragma once

namespace x11 {

// Says that the connection to the X display is lost and ends the process
// with exit code 1. Safe in a signal handler.
[[noreturn]] void endForLostConnection();

// Installs the handlers of those signals, once per process: before the
// display is opened, so that no moment of the connection is without them.
// False when the system refuses them.
bool handleSignalsOfALostConnection();

// The connection's socket while the display is open, -1 once it is closed:
// a signal is the lost server's doing only while this socket is hung up.
void watchConnectionSocket(int fd);

} // namespace x11
