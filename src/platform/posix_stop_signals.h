// SIGTERM and SIGINT as a request to end the run cleanly.
//
// The handler only sets a flag and writes a byte to a pipe whose other end
// the message loop polls beside the X connection, so a signal wakes the loop
// at once and the run ends through the ordinary close path. Shared by the
// backends of POSIX systems.
#pragma once

// False when the pipe or the handlers cannot be set up.
bool installStopSignals();
// The end of the pipe to poll for reading (-1 before installation).
int stopSignalFd();
// Whether a stop signal arrived since the last call; empties the pipe.
bool takeStopRequest();
