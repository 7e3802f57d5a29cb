#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#include "engine/install_driver.h"
#include "engine/portable/install_state.h"
#include "foundation/message_box.h"
#include "foundation/portable/product.h"
#include "integration/launch.h"
#include "resources/resource.h"
#include "wizard/page_support.h"
#include "wizard/pages.h"
#include "wizard/wizard.h"

namespace {

INT_PTR OnSetActive(HWND page) {
    InstallCancellable = 1;
    SetCursor(LoadCursor(nullptr, IDC_WAIT));
    SetWizardButtons(0);
    CloseRunningCopies(5000);
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

INT_PTR OnNotify(HWND page, const NMHDR& header) {
    switch (header.code) {
    case PSN_SETACTIVE:
        return OnSetActive(page);
    case PSN_QUERYCANCEL:
        return OnQueryCancel(page);
    default:
        return FALSE;
    }
}

}  // namespace

INT_PTR CALLBACK InstallingPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return RunPageHandler([&]() -> INT_PTR {
        switch (message) {
        case WM_INITDIALOG:
            return TRUE;
        case WM_TIMER:
            if (wParam == kInstallTimerId) InstallDriver(page);
            return FALSE;
        case WM_NOTIFY:
            return OnNotify(page, *reinterpret_cast<const NMHDR*>(lParam));
        default:
            return FALSE;
        }
    });
}
