#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#include "engine/engine_pages.h"
#include "engine/install_driver.h"
#include "engine/portable/install_state.h"
#include "foundation/message_box.h"
#include "foundation/portable/product.h"
#include "integration/launch.h"
#include "resources/resource.h"
#include "wizard/page_support.h"
#include "wizard/wizard.h"

namespace {

INT_PTR OnSetActive(HWND page) {
    InstallCancellable = 1;
    SetCursor(LoadCursor(nullptr, IDC_WAIT));
    SetWizardButtons(0);
    CloseRunningCopies(kCloseCopiesTimeoutMs);
    ResetInstallState();
    if (SetTimer(page, kInstallTimerId, kInstallTimerIntervalMs, nullptr) != 0) return FALSE;
    SetupMessageBox("ERROR: Cannot start installaion due to OS failure.\nPlease contact technical support...",
                    kBoxError, page);
    OpenWebPage(product::kFeedbackPage, true);
    SetWindowLongPtrA(page, DWLP_MSGRESULT, IDD_READY);
    return TRUE;
}

INT_PTR OnQueryCancel(HWND page) {
    if (!InstallCancellable) {
        SetWindowLongPtrA(page, DWLP_MSGRESULT, TRUE);
        return TRUE;
    }
    // Paused while the question is open: the timer keeps running but its ticks do nothing.
    g_install.stopFlag = 1;
    if (ConfirmCancel(page) == 0) {
        g_install.stopFlag = 0;
        return TRUE;
    }
    SetupString unrestored;
    {
        WaitCursor wait;
        unrestored = AbandonInstallation(page);
    }
    if (!unrestored.Empty()) SetupMessageBox(unrestored.c_str(), kBoxError, page);
    return FALSE;
}

INT_PTR OnTimer(HWND page, WPARAM timer) {
    if (timer == kInstallTimerId) InstallDriver(page);
    return FALSE;
}

// Leaving for the Finished page after the last step: the archive's memory and the backup records go.
INT_PTR OnKillActive(HWND) {
    if (g_install.stepTotal != 0 && g_install.stepIndex == g_install.stepTotal) ResetInstallState();
    return FALSE;
}

PageHandlers Handlers() {
    PageHandlers handlers;
    handlers.onSetActive = OnSetActive;
    handlers.onTimer = OnTimer;
    handlers.onKillActive = OnKillActive;
    handlers.onQueryCancel = OnQueryCancel;
    return handlers;
}
const PageHandlers kHandlers = Handlers();

}  // namespace

INT_PTR CALLBACK InstallingPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return DispatchPageMessage(page, message, wParam, lParam, kHandlers);
}
