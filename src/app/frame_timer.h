// The timer that paces the frames of the saver window.
#pragma once

#include "platform/messages.h"

// Its id, as WM_TIMER carries it in wParam. Any timer message draws a frame,
// whatever its id.
constexpr UINT_PTR FrameTimerId = 1;

// Milliseconds between timer messages: asks for up to 200 frames a second.
// Animation follows measured time, so the period sets only the frame rate.
constexpr UINT FrameTimerPeriodMs = 5;
