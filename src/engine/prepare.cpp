#include "engine/prepare.h"

#include <commctrl.h>

#include <new>

#include "engine/fresh_folder.h"
#include "engine/install_driver.h"
#include "engine/install_journal.h"
#include "engine/portable/install_state.h"
#include "engine/portable/package_archive.h"
#include "foundation/folders.h"
#include "foundation/portable/install_choices.h"
#include "foundation/resource_data.h"
#include "resources/resource.h"
#include "wizard/path_validation.h"

namespace {

bool OpenApplicationArchive() {
    const ResourceData data = LoadResourceData(IDR_PACKAGE);
    return data.bytes != nullptr &&
           OpenPackageArchive(data.bytes, data.size, &g_install.archiveIndex, &g_install.archiveCopy);
}

// The last generated backup folder and the folder it was generated in (the user's temporary folder, or the
// "/temp" folder once that holds copies kept by a failed rollback).
struct GeneratedFolder {
    SetupString base;
    SetupString path;
};
GeneratedFolder g_generated;

// The backup folder's name "instrbXXXX.YY" for a drawn number.
SetupString GeneratedFolderName(uint32_t number) {
    SetupString name;
    AppendGeneratedTempFolder(name, static_cast<int>(number & 0xFF), static_cast<int>(number >> 16));
    return name;
}

void GenerateTempFolder(const SetupString& base) {
    g_choices.TempFolder = Concat(base, GeneratedFolderName(DrawUnpredictableNumber()));
    g_generated.base = base;
    g_generated.path = g_choices.TempFolder;
}

bool UsingGeneratedTempFolder() {
    return !g_generated.path.Empty() && g_generated.path == g_choices.TempFolder.c_str();
}

void ChooseTempFolder() {
    if (!g_choices.TempFolder.IsBlank(kNothingEntered)) return;
    char system[MAX_PATH] = "";
    const DWORD length = GetTempPathA(MAX_PATH, system);
    if (length == 0 || length >= MAX_PATH) lstrcpyA(system, "C:\\");
    GenerateTempFolder(WithTrailingSeparator(system));
}

// Probes `folder` and creates it with all missing levels; false when it cannot be written.
bool MakeWritableFolder(const SetupString& folder) {
    if (!ProbeFolderWritable(folder.c_str())) return false;
    CreateFolderChain(folder.c_str());
    return true;
}

// The generated backup folder is always a new one: a folder of the drawn name that exists already (left by an
// earlier attempt, or put there by someone else) is never used, another name is drawn instead.
bool CreateGeneratedTempFolder() {
    CreateFolderChain(g_generated.base.c_str());
    SetupString created;
    if (CreateFreshFolder(g_generated.base, GeneratedFolderName, created) != 0) return false;
    g_choices.TempFolder = created;
    g_generated.path = created;
    return true;
}

int StartJournal(SetupString& error) {
    // A journal an earlier attempt had to leave (backups it could not delete) is dealt with first.
    SetupString ignored;
    RecoverInterruptedInstallation(ignored);
    unsigned long code = 0;
    if (BeginInstallJournal(g_choices.TempFolder.c_str(), g_choices.InstallFolder.c_str(), code)) return 1;
    error = JournalFailureMessage(code);
    return 0;
}

int Prepare(const InstallStepContext& step) {
    HWND page = step.page;
    SetupString& error = step.error;
    step.ShowActivity("Preparing for installation && unpacking files into memory...", "");
    if (!OpenApplicationArchive()) {
        step.glitchReport = 1;
        error = "FATAL ERROR: Installation package is broken...\n(Please report it to our technical support.)";
        return 0;
    }
    g_install.entryCount = static_cast<int32_t>(g_install.archiveIndex->count);
    g_install.stepTotal = InstallStepTotal(g_install.entryCount);
    SendDlgItemMessageA(page, IDC_INSTALL_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 256));
    SendDlgItemMessageA(page, IDC_INSTALL_PROGRESS, PBM_SETPOS, 0, 0);

    ChooseTempFolder();
    step.ShowActivity("Creating temporary folder...", g_choices.TempFolder.c_str());
    const bool tempReady = UsingGeneratedTempFolder() ? CreateGeneratedTempFolder()
                                                      : MakeWritableFolder(WithTrailingSeparator(g_choices.TempFolder.c_str()));
    if (!tempReady) {
        error.Format("ERROR: Cannot write to specified temporary folder:\n\n%s", g_choices.TempFolder.c_str());
        return 0;
    }
    step.ShowActivity("Creating installation folder...", g_choices.InstallFolder.c_str());
    const SetupString destination = WithTrailingSeparator(g_choices.InstallFolder.c_str());
    // A blank choice would make the drive's root the program folder.
    if (g_choices.InstallFolder.IsBlank(kNothingEntered) || !MakeWritableFolder(destination)) {
        error.Format("ERROR: Cannot write to destination folder:\n\n%s", destination.c_str());
        return 0;
    }
    const int32_t count = g_install.entryCount + 1;
    g_install.backups = new (std::nothrow) FileBackupRecord[count];
    if (g_install.backups == nullptr) {
        error = "Low on memory";
        return 0;
    }
    g_install.backupCount = count;
    return StartJournal(error);
}

}  // namespace

int PrepareInstallation(const InstallStepContext& step) {
    try {
        return Prepare(step);
    } catch (int) {
        step.error = "Low on memory";
        return 0;
    }
}

void StartFreshBackupFolder() {
    GenerateTempFolder(UsingGeneratedTempFolder() ? g_generated.base
                                                  : WithTrailingSeparator(g_choices.TempFolder.c_str()));
}

bool DeleteBackupsAndTempFolder(bool removeTempFolder) {
    return DeleteBackups(g_install.backups, g_install.backupCount, g_choices.TempFolder.c_str(), removeTempFolder);
}

bool DeleteBackups(FileBackupRecord* records, int32_t count, const char* tempFolder, bool removeTempFolder) {
    bool allDeleted = true;
    for (int32_t i = 0; i < count; ++i) {
        FileBackupRecord& record = records[i];
        if (record.backupPath.Empty()) continue;
        // A copy of a read-only file is read-only too.
        if (!record.restoreFailed) SetFileAttributesA(record.backupPath.c_str(), FILE_ATTRIBUTE_NORMAL);
        // A copy that failed before it began left no file: nothing to delete.
        if (record.restoreFailed ||
            (!DeleteFileA(record.backupPath.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND)) {
            allDeleted = false;
            continue;
        }
        record.backupPath = "";
    }
    // Succeeds only when the folder is empty: a kept backup keeps its folder too.
    if (removeTempFolder) RemoveEmptyFolder(WithoutTrailingSeparator(tempFolder).c_str());
    return allDeleted;
}
