#include "engine/prepare.h"

#include <commctrl.h>

#include <cstdlib>
#include <new>

#include "engine/folders.h"
#include "engine/install_driver.h"
#include "engine/install_journal.h"
#include "engine/install_state.h"
#include "engine/package_archive.h"
#include "engine/resource_data.h"
#include "resources/resource.h"
#include "wizard/install_choices.h"
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

// Draws the numbers of a generated folder's name from the system's random source where there is one (from
// Windows XP), so that nobody can tell the name in advance.
void DrawFolderNumbers(int& first, int& second) {
    using GenerateRandomFn = BOOLEAN(WINAPI*)(PVOID, ULONG);  // RtlGenRandom
    const HMODULE advapi = GetModuleHandleA("advapi32.dll");
    const auto generate = advapi == nullptr ? nullptr
                                            : reinterpret_cast<GenerateRandomFn>(reinterpret_cast<void*>(
                                                  GetProcAddress(advapi, "SystemFunction036")));
    unsigned short numbers[2] = {};
    if (generate != nullptr && generate(numbers, sizeof numbers)) {
        first = numbers[0];
        second = numbers[1];
        return;
    }
    first = std::rand();
    second = std::rand();
}

void GenerateTempFolder(const SetupString& base) {
    g_choices.TempFolder = base;
    int first = 0;
    int second = 0;
    DrawFolderNumbers(first, second);
    AppendGeneratedTempFolder(g_choices.TempFolder, first, second);
    g_generated.base = base;
    g_generated.path = g_choices.TempFolder;
}

bool UsingGeneratedTempFolder() {
    return !g_generated.path.Empty() && g_generated.path == g_choices.TempFolder.c_str();
}

void ChooseTempFolder() {
    if (!g_choices.TempFolder.IsBlank(7)) return;
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
    constexpr int kDraws = 64;
    CreateFolderChain(g_generated.base.c_str());
    for (int draw = 0; draw < kDraws; ++draw) {
        if (draw > 0) GenerateTempFolder(g_generated.base);
        if (CreateDirectoryA(g_choices.TempFolder.c_str(), nullptr)) return true;
        if (GetLastError() != ERROR_ALREADY_EXISTS) return false;
    }
    return false;
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

int Prepare(HWND page, SetupString& error, int32_t& glitchReport) {
    ShowInstallActivity(page, "Preparing for installation && unpacking files into memory...", "");
    if (!OpenApplicationArchive()) {
        glitchReport = 1;
        error = "FATAL ERROR: Installation package is broken...\n(Please report it to our technical support.)";
        return 0;
    }
    g_install.entryCount = static_cast<int32_t>(g_install.archiveIndex->count);
    g_install.stepTotal = InstallStepTotal(g_install.entryCount);
    SendDlgItemMessageA(page, IDC_INSTALL_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 256));
    SendDlgItemMessageA(page, IDC_INSTALL_PROGRESS, PBM_SETPOS, 0, 0);

    ChooseTempFolder();
    ShowInstallActivity(page, "Creating temporary folder...", g_choices.TempFolder.c_str());
    const bool tempReady = UsingGeneratedTempFolder() ? CreateGeneratedTempFolder()
                                                      : MakeWritableFolder(WithTrailingSeparator(g_choices.TempFolder.c_str()));
    if (!tempReady) {
        error.Format("ERROR: Cannot write to specified temporary folder:\n\n%s", g_choices.TempFolder.c_str());
        return 0;
    }
    ShowInstallActivity(page, "Creating installation folder...", g_choices.InstallFolder.c_str());
    const SetupString destination = WithTrailingSeparator(g_choices.InstallFolder.c_str());
    // A blank choice would make the drive's root the program folder.
    if (g_choices.InstallFolder.IsBlank(7) || !MakeWritableFolder(destination)) {
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

int PrepareInstallation(HWND page, SetupString& error, int32_t& glitchReport) {
    try {
        return Prepare(page, error, glitchReport);
    } catch (int) {
        error = "Low on memory";
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
