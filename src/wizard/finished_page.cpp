#include <windows.h>

#include <prsht.h>

#include "foundation/globals.h"
#include "foundation/message_box.h"
#include "foundation/portable/install_choices.h"
#include "foundation/portable/product.h"
#include "foundation/win_handles.h"
#include "integration/launch.h"
#include "resources/resource.h"
#include "wizard/page_support.h"
#include "wizard/pages.h"
#include "wizard/wizard.h"

namespace {

// The bold font of the sound-input warning, from page creation to its destruction.
struct FinishedPageState {
    win::Font warningFont;
};
FinishedPageState g_finished;

INT_PTR OnInit(HWND page) {
    CheckDlgButton(page, IDC_FINISH_LAUNCH, BST_CHECKED);
    if (g_facts.PreviousInstallFound == 0) CheckDlgButton(page, IDC_FINISH_GUIDE, BST_CHECKED);
    MakeControlBold(page, IDC_FINISH_WARNING, g_finished.warningFont);
    return TRUE;
}

void OpenInstalledDocument(const char* relativePath) {
    const SetupString target = Concat(WithTrailingSeparator(g_choices.InstallFolder.c_str()), relativePath);
    OpenWebPage(target.c_str(), false);
}

INT_PTR OnWizardFinish(HWND page) {
    if (IsDlgButtonChecked(page, IDC_FINISH_MANUAL) == BST_CHECKED) OpenInstalledDocument(product::kManualPage);
    if (IsDlgButtonChecked(page, IDC_FINISH_GUIDE) == BST_CHECKED) OpenInstalledDocument(product::kQuickSetupPage);
    if (IsDlgButtonChecked(page, IDC_FINISH_LAUNCH) == BST_CHECKED && !LaunchInstalledProgram(nullptr))
        SetupMessageBox("Cannot start main program", MB_OK | MB_ICONSTOP, g_setup.wizardWindow);
    return FALSE;
}

INT_PTR OnSetActive(HWND) {
    SetWizardButtons(PSWIZB_FINISH);
    return FALSE;
}

INT_PTR OnDestroy(HWND) {
    g_finished.warningFont.Reset();
    return FALSE;
}

// Cancel here closes the wizard without asking.
INT_PTR OnQueryCancel(HWND) { return FALSE; }

PageHandlers Handlers() {
    PageHandlers handlers;
    handlers.onInit = OnInit;
    handlers.onDestroy = OnDestroy;
    handlers.onSetActive = OnSetActive;
    handlers.onWizardFinish = OnWizardFinish;
    handlers.onQueryCancel = OnQueryCancel;
    return handlers;
}
const PageHandlers kHandlers = Handlers();

}  // namespace

INT_PTR CALLBACK FinishedPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return DispatchPageMessage(page, message, wParam, lParam, kHandlers);
}
