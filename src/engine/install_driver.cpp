#include "engine/install_driver.h"

#include <commctrl.h>
#include <prsht.h>

#include "engine/file_install.h"
#include "engine/install_state.h"
#include "engine/prepare.h"
#include "foundation/globals.h"
#include "foundation/message_box.h"
#include "foundation/product.h"
#include "integration/launch.h"
#include "integration/settings.h"
#include "integration/shortcuts.h"
#include "integration/uninstall_registration.h"
#include "resources/resource.h"

namespace {

int RunStep(const InstallStepChoice& choice, HWND page, SetupString& error, int32_t& glitchReport) {
    switch (choice.kind) {
    case InstallStepKind::Prepare:
        return PrepareInstallation(page, error, glitchReport);
    case InstallStepKind::File:
        return InstallFileStep(page, choice.fileIndex, error, glitchReport);
    case InstallStepKind::Shortcuts:
        return InstallShortcutsStep(page, error, glitchReport);
    case InstallStepKind::Settings:
        return InstallSettingsStep(page, error, glitchReport);
    case InstallStepKind::Finish:
        return FinishInstallation(page, error, glitchReport);
    case InstallStepKind::Invalid:
        break;
    }
    return 0;
}

}  // namespace

void ShowInstallActivity(HWND page, const char* caption, const char* detail) {
    SetDlgItemTextA(page, IDC_INSTALL_CAPTION, caption);
    SetDlgItemTextA(page, IDC_INSTALL_DETAIL, detail);
}

void ShowInstallCaption(HWND page, const char* caption) { SetDlgItemTextA(page, IDC_INSTALL_CAPTION, caption); }

int RunDueInstallStep(HWND page, SetupString& error, int32_t& glitchReport) {
    const int32_t step = g_install.stepIndex;
    int result = 0;
    try {
        result = RunStep(ChooseInstallStep(step, g_install.entryCount), page, error, glitchReport);
    } catch (int) {
        error = "Low on memory";
        result = 0;
    }
    if (g_install.stepTotal != 0)
        SendDlgItemMessageA(page, IDC_INSTALL_PROGRESS, PBM_SETPOS,
                            static_cast<WPARAM>(InstallProgressPosition(step, g_install.stepTotal)), 0);
    if (result) ++g_install.stepIndex;
    return result;
}

void AbandonInstallation(HWND page) {
    RestorePreviousFiles(page);
    DeleteBackupsAndTempFolder(true);
}

void InstallDriver(HWND page) {
    if (g_installBusy || g_install.stopFlag) return;
    g_installBusy = 1;
    SetupString error("");
    int32_t glitchReport = 0;
    if (RunDueInstallStep(page, error, glitchReport)) {
        if (!error.Empty()) SetupMessageBox(error.c_str(), kBoxError);
    } else {
        g_install.stopFlag = 1;
        KillTimer(page, kInstallTimerId);
        SetupMessageBox(error.c_str(), kBoxError);
        AbandonInstallation(page);
        if (g_setup.wizardWindow != nullptr) SendMessageA(g_setup.wizardWindow, PSM_SETCURSELID, 0, IDD_READY);
    }
    if (glitchReport) OpenWebPage(product::kFeedbackPage, true);
    g_installBusy = 0;
}

int FinishInstallation(HWND page, SetupString& error, int32_t&) {
    ShowInstallActivity(page, "Registering uninstallation...", "");
    if (!RegisterUninstaller(HKEY_CURRENT_USER)) error = "ERROR: Cannot register uninstallation...";
    ShowInstallCaption(page, "Cleaning up...");
    g_install.stopFlag = 1;
    KillTimer(page, kInstallTimerId);
    DeleteBackupsAndTempFolder(true);
    // Posted: the Finished page must become current only after this tick has returned.
    if (g_setup.wizardWindow != nullptr) PostMessageA(g_setup.wizardWindow, PSM_SETCURSELID, 0, IDD_FINISHED);
    return 1;
}
