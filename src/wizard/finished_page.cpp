#include <windows.h>

#include <prsht.h>

#include "engine/portable/install_state.h"
#include "foundation/globals.h"
#include "foundation/message_box.h"
#include "foundation/portable/product.h"
#include "foundation/win_handles.h"
#include "integration/launch.h"
#include "resources/resource.h"
#include "foundation/portable/install_choices.h"
#include "wizard/page_support.h"
#include "wizard/pages.h"
#include "wizard/wizard.h"

namespace {

// The bold font of the sound-input warning, from page creation to its destruction.
win::Font g_warningFont;

void MakeWarningBold(HWND page) {
    HWND warning = GetDlgItem(page, IDC_FINISH_WARNING);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(warning, WM_GETFONT, 0, 0));
    if (font == nullptr) return;
    LOGFONTA description = {};
    if (GetObjectA(font, sizeof description, &description) == 0) return;
    description.lfWeight = FW_BOLD;
    g_warningFont.Reset(CreateFontIndirectA(&description));
    if (g_warningFont) SendMessageA(warning, WM_SETFONT, reinterpret_cast<WPARAM>(g_warningFont.Get()), TRUE);
}

INT_PTR OnInit(HWND page) {
    CheckDlgButton(page, IDC_FINISH_LAUNCH, BST_CHECKED);
    if (g_facts.PreviousInstallFound == 0) CheckDlgButton(page, IDC_FINISH_GUIDE, BST_CHECKED);
    MakeWarningBold(page);
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

INT_PTR OnNotify(HWND page, const NMHDR& header) {
    switch (header.code) {
    case PSN_SETACTIVE:
        ResetInstallState();
        SetWizardButtons(PSWIZB_FINISH);
        return FALSE;
    case PSN_WIZFINISH:
        return OnWizardFinish(page);
    default:
        return FALSE;  // Cancel here closes the wizard without asking
    }
}

}  // namespace

INT_PTR CALLBACK FinishedPageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
    return RunPageHandler([&]() -> INT_PTR {
        switch (message) {
        case WM_INITDIALOG:
            return OnInit(page);
        case WM_DESTROY:
            g_warningFont.Reset();
            return FALSE;
        case WM_NOTIFY:
            return OnNotify(page, *reinterpret_cast<const NMHDR*>(lParam));
        default:
            return FALSE;
        }
    });
}
