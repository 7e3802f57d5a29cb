// The Welcome page: tells the user about an earlier version that has to go,
// removes it on Next, and asks running copies of the application to close.
#include <windows.h>
#include <prsht.h>

#include <utility>

#include "engine/engine_pages.h"
#include "engine/previous_version.h"
#include "foundation/message_box.h"
#include "foundation/win_handles.h"
#include "integration/launch.h"
#include "resources/resource.h"
#include "wizard/page_support.h"
#include "wizard/wizard.h"

namespace {


struct WelcomeState {
    bool previousVersion = false;  // found by the current activation
    win::Font boldFont;            // the notice's font, made by the last activation that needed it
    bool centred = false;          // the wizard is centred once, when it first appears
};
WelcomeState g_welcome;

INT_PTR OnInit(HWND) {
    if (!g_welcome.centred) {
        g_welcome.centred = true;
        CenterWindow(nullptr, nullptr);
    }
    return TRUE;
}

INT_PTR OnDestroy(HWND) {
    g_welcome.boldFont.Reset();
    return FALSE;
}

INT_PTR OnSetActive(HWND page) {
    g_welcome.previousVersion = false;
    SetWizardButtons(PSWIZB_NEXT);
    SetupString installed;
    if (!DetectPreviousVersion(&installed)) {
        // Back from the License page after a removal: its progress line is over.
        SetDlgItemTextA(page, IDC_WELCOME_NOTICE, "");
    } else {
        SetupString notice;
        notice.Format(
            "INFORMATION: A previous version %s of the Korvane has been detected. It has to be removed before this "
            "installation can continue...",
            installed.c_str());
        SetDlgItemTextA(page, IDC_WELCOME_NOTICE, notice.c_str());
        MakeControlBold(page, IDC_WELCOME_NOTICE, g_welcome.boldFont);
        g_welcome.previousVersion = true;
    }
    return FALSE;
}

// True when the wizard may go on: nothing to remove, removed, or the user goes on regardless.
bool RemoveOrGoOnAnyway(HWND page) {
    SetDlgItemTextA(page, IDC_WELCOME_NOTICE, "Uninstalling previous version. Please wait ...");
    UpdateWindow(page);
    int errorCode = 0;
    if (RemovePreviousVersion(errorCode)) return true;
    SetupString question;
    question.Format(
        "ERROR: (%d) Unable to remove the previous version of the Korvane. It is recommended that you remove it "
        "manually before proceeding...\n\nDo you want to conitnue anyway?",
        errorCode);
    if (SetupMessageBox(question.c_str(), kBoxErrorYesNoSafe) == IDYES) return true;
    SetDlgItemTextA(page, IDC_WELCOME_NOTICE, "ERROR: Unable to remove the previous version...");
    return false;
}

INT_PTR OnWizardNext(HWND page) {
    WaitCursor wait;
    if (g_welcome.previousVersion && !RemoveOrGoOnAnyway(page)) return StayOnPage(page);
    CloseRunningCopies(kCloseCopiesTimeoutMs);
    return FALSE;
}

PageHandlers Handlers() {
    PageHandlers handlers;
    handlers.onInit = OnInit;
    handlers.onDestroy = OnDestroy;
    handlers.onSetActive = OnSetActive;
    handlers.onWizardNext = OnWizardNext;
    return handlers;
}
const PageHandlers kHandlers = Handlers();

}  // namespace

INT_PTR CALLBACK WelcomePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return DispatchPageMessage(page, message, wParam, lParam, kHandlers);
}
