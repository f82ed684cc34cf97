// The program's long-lived scene objects: globals, built during static
// initialisation in the order of this file, before the entry runs. No
// constructor here makes a GL call; no context exists yet.
#include "support/frame_clock.h"

// Elapsed time and each frame's step, read once per frame.
FrameClock frameClock;
