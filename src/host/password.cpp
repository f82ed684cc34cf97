#include "host/password.h"

#include "host/saver_host_state.h"
#include "platform/platform.h"

int VerifySaverPassword(HWND window) {
    if (hostState.verifying || hostState.closing) {
        return 0;
    }
    if (hostState.verifyPassword == nullptr) {
        hostState.closing = 1;
        return 1;
    }
    const DWORD now = platform().tickCount();
    if (hostState.lastVerifyTick != NeverVerified &&
        static_cast<DWORD>(now - hostState.lastVerifyTick) < VerifyQuietPeriodMs) {
        return hostState.closing;
    }

    hostState.verifying = 1;
    // Drop queued frames so none is drawn over the verifier's dialog.
    for (int removed = 0; removed < 2; ++removed) {
        if (!platform().removePendingTimer(window)) {
            break;
        }
    }
    hostState.closing = platform().sendMessage(window, VerifyPasswordMessage, 0, 0) != 0 ? 1 : 0;
    hostState.verifying = 0;

    if (!hostState.closing) {
        platform().hideCursor();
    }
    hostState.lastVerifyTick = platform().tickCount();
    return hostState.closing;
}

void LoadPasswordVerifier() {
    if (!hostState.isWindows9x) {
        return;
    }
    if (hostState.passwordModule != nullptr) {
        UnloadPasswordVerifier();
    }
    DWORD usePassword = 0;
    if (!platform().readUserDword("Control Panel\\Desktop", "ScreenSaveUsePassword",
                                  &usePassword) ||
        usePassword == 0) {
        return;
    }
    hostState.passwordModule = platform().loadSystemLibrary("PASSWORD.CPL");
    if (hostState.passwordModule == nullptr) {
        return;
    }
    hostState.verifyPassword = procCast<VerifyScreenSavePwdProc>(
        platform().procAddress(hostState.passwordModule, "VerifyScreenSavePwd"));
    if (hostState.verifyPassword != nullptr) {
        SetSaverRunning(TRUE);
    } else {
        UnloadPasswordVerifier();
    }
}

void UnloadPasswordVerifier() {
    if (!hostState.isWindows9x || hostState.passwordModule == nullptr) {
        return;
    }
    platform().freeLibrary(hostState.passwordModule);
    hostState.passwordModule = nullptr;
    if (hostState.verifyPassword != nullptr) {
        hostState.verifyPassword = nullptr;
        SetSaverRunning(FALSE);
    }
}

void SetSaverRunning(BOOL running) {
    if (hostState.isWindows9x) {
        platform().systemParameter(SPI_SCREENSAVERRUNNING, static_cast<UINT>(running));
    }
}
