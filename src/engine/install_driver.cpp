#include "engine/install_driver.h"

#include <commctrl.h>
#include <prsht.h>

#include "engine/file_install.h"
#include "engine/install_journal.h"
#include "engine/portable/install_state.h"
#include "engine/portable/journal_text.h"
#include "engine/prepare.h"
#include "foundation/globals.h"
#include "foundation/message_box.h"
#include "foundation/portable/install_choices.h"
#include "foundation/portable/product.h"
#include "integration/launch.h"
#include "integration/settings.h"
#include "integration/shortcuts.h"
#include "integration/uninstall_registration.h"
#include "resources/resource.h"

namespace {

int RunStep(const InstallStepChoice& choice, const InstallStepContext& step) {
    switch (choice.kind) {
    case InstallStepKind::Prepare:
        return PrepareInstallation(step);
    case InstallStepKind::File:
        return InstallFileStep(step, choice.fileIndex);
    case InstallStepKind::Shortcuts:
        return InstallShortcutsStep(step);
    case InstallStepKind::Settings:
        return InstallSettingsStep(step);
    case InstallStepKind::Finish:
        return FinishInstallation(step);
    case InstallStepKind::Invalid:
        break;
    }
    return 0;
}

// From the shortcut step on, Cancel is refused and the installed files stay: a run that dies now must not be
// rolled back by the next start, which only removes what is left of the backups.
int MarkFilesFinal(SetupString& error) {
    unsigned long code = 0;
    if (AppendToInstallJournal(kJournalFinalLine, code)) return 1;
    error = JournalFailureMessage(code);
    return 0;
}

// Ends the journal of an attempt whose backups have been dealt with: deleted once nothing is left to do, kept
// (as final) for a later start when backups could not be deleted.
void EndJournal(bool allBackupsDeleted) {
    unsigned long code = 0;
    if (allBackupsDeleted) {
        DiscardInstallJournal();
        return;
    }
    AppendToInstallJournal(kJournalFinalLine, code);
    CloseInstallJournal();
}

}  // namespace

int RunDueInstallStep(HWND page, SetupString& error, int32_t& glitchReport) {
    const int32_t step = g_install.stepIndex;
    const InstallStepChoice choice = ChooseInstallStep(step, g_install.entryCount);
    int result = 0;
    try {
        result = (choice.kind != InstallStepKind::Shortcuts || MarkFilesFinal(error)) &&
                 RunStep(choice, InstallStepContext{page, error, glitchReport, InstallCancellable});
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

SetupString AbandonInstallation(HWND page) {
    unsigned long code = 0;
    AppendToInstallJournal(kJournalRollbackLine, code);
    RestorePreviousFiles(page);
    const SetupString unrestored =
        DescribeUnrestoredFiles(g_install.backups, g_install.backupCount, g_choices.TempFolder.c_str());
    const bool allDeleted = DeleteBackupsAndTempFolder(true);
    if (unrestored.Empty()) {
        EndJournal(allDeleted);
        return unrestored;
    }
    // The user is told where the kept copies are; no later attempt or start may touch them.
    DiscardInstallJournal();
    StartFreshBackupFolder();
    return unrestored;
}

void InstallDriver(HWND page) {
    if (g_install.busy || g_install.stopFlag) return;
    g_install.busy = 1;
    SetupString error("");
    int32_t glitchReport = 0;
    const bool lastStep = ChooseInstallStep(g_install.stepIndex, g_install.entryCount).kind == InstallStepKind::Finish;
    if (RunDueInstallStep(page, error, glitchReport)) {
        if (!error.Empty()) SetupMessageBox(error.c_str(), kBoxError);
        // Only now, so that a message of the last step is shown on the Installing page.
        if (lastStep && g_setup.wizardWindow != nullptr)
            PostMessageA(g_setup.wizardWindow, PSM_SETCURSELID, 0, IDD_FINISHED);
    } else {
        g_install.stopFlag = 1;
        KillTimer(page, kInstallTimerId);
        SetupMessageBox(error.c_str(), kBoxError);
        const SetupString unrestored = AbandonInstallation(page);
        if (!unrestored.Empty()) SetupMessageBox(unrestored.c_str(), kBoxError);
        if (g_setup.wizardWindow != nullptr) SendMessageA(g_setup.wizardWindow, PSM_SETCURSELID, 0, IDD_READY);
    }
    if (glitchReport) OpenWebPage(product::kFeedbackPage, true);
    g_install.busy = 0;
}

int FinishInstallation(const InstallStepContext& step) {
    step.ShowActivity("Registering uninstallation...", "");
    if (!RegisterUninstaller(HKEY_CURRENT_USER)) step.error = "ERROR: Cannot register uninstallation...";
    RegisterAppsEntryDetails(HKEY_CURRENT_USER, InstalledBytes(g_install));
    step.ShowCaption("Cleaning up...");
    g_install.stopFlag = 1;
    KillTimer(step.page, kInstallTimerId);
    EndJournal(DeleteBackupsAndTempFolder(true));
    return 1;
}
