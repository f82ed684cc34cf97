// The seam's entries that the POSIX backends (X11, Wayland) answer alike: the
// process (not the Windows 98 family, the monotonic clock's ticks, a yield,
// the UTF-8 step), the configuration "dialog" of a saver with no settings,
// and posted messages, timers and the quit request on a MessageQueue the
// backend owns and empties in its own loop. One backend runs in a process.
#pragma once

#include "platform/message_queue.h"
#include "platform/platform.h"

// Hands a message to the saver's procedure (0 for any other window).
using DeliverMessage = LRESULT (*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Fills queryPlatformId, tickCount, yieldTimeSlice, nextCharacter, runDialog
// and endDialog.
void fillPosixProcessEntries(Platform& table);

// Fills postMessage, sendMessage, postQuitMessage, removePendingTimer,
// registerWindowMessage, setTimer and killTimer over `queue`, which must
// outlive the run.
void fillQueuedMessageEntries(Platform& table, MessageQueue& queue, DeliverMessage deliver);
