#include "platform/posix_entries.h"

#include "platform/posix_clock.h"
#include "platform/utf8_step.h"

#include <cstdint>
#include <cstdio>
#include <sched.h>

namespace {

MessageQueue* queue = nullptr;
DeliverMessage deliverMessage = nullptr;
UINT nextRegisteredMessage = 0xC000; // where Windows starts registered messages

HWND dialog = nullptr; // the configuration "dialog" while it runs
INT_PTR dialogResult = -1;
bool dialogEnded = false;

bool queryPlatformId(DWORD* platformId) {
    *platformId = 2; // not the Windows 98 family: no password, no AutoPlay
    return true;
}

DWORD tickCount() {
    return static_cast<DWORD>(monotonicMs());
}

void yieldTimeSlice() {
    sched_yield();
}

// haze keeps no settings, so the configuration says so in one line and is
// answered as OK, through the dialog procedure as a button press would be.
INT_PTR runDialog(HINSTANCE, int, HWND, DLGPROC procedure, LPARAM param) {
    std::printf("haze has no settings to change; haze --help lists its modes and options.\n");
    dialog = reinterpret_cast<HWND>(std::uintptr_t{1});
    dialogEnded = false;
    procedure(dialog, WM_INITDIALOG, 0, param);
    procedure(dialog, WM_COMMAND, IDOK, 0);
    dialog = nullptr;
    return dialogEnded ? dialogResult : -1;
}

bool endDialog(HWND window, INT_PTR result) {
    if (window == nullptr || window != dialog) {
        return false;
    }
    dialogEnded = true;
    dialogResult = result;
    return true;
}

bool postMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    queue->post({window, message, wParam, lParam});
    return true;
}

LRESULT sendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return deliverMessage(window, message, wParam, lParam);
}

void postQuitMessage(int exitCode) {
    queue->postQuit(exitCode);
}

bool removePendingTimer(HWND window) {
    return queue->removePendingTimer(window, monotonicMs());
}

UINT registerWindowMessage(const char*) {
    return nextRegisteredMessage++;
}

bool setTimer(HWND window, UINT_PTR id, UINT periodMs) {
    queue->setTimer(window, id, periodMs, monotonicMs());
    return true;
}

bool killTimer(HWND window, UINT_PTR id) {
    return queue->killTimer(window, id);
}

} // namespace

void fillPosixProcessEntries(Platform& table) {
    table.queryPlatformId = queryPlatformId;
    table.tickCount = tickCount;
    table.yieldTimeSlice = yieldTimeSlice;
    table.nextCharacter = nextUtf8Character;
    table.runDialog = runDialog;
    table.endDialog = endDialog;
}

void fillQueuedMessageEntries(Platform& table, MessageQueue& backendQueue, DeliverMessage deliver) {
    queue = &backendQueue;
    deliverMessage = deliver;
    table.postMessage = postMessage;
    table.sendMessage = sendMessage;
    table.postQuitMessage = postQuitMessage;
    table.removePendingTimer = removePendingTimer;
    table.registerWindowMessage = registerWindowMessage;
    table.setTimer = setTimer;
    table.killTimer = killTimer;
}
