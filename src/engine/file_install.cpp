#include "engine/file_install.h"

#include <cstdlib>

#include "engine/install_driver.h"
#include "engine/install_journal.h"
#include "engine/portable/install_state.h"
#include "engine/portable/journal_text.h"
#include "foundation/folders.h"
#include "foundation/portable/install_choices.h"
#include "foundation/win_handles.h"

namespace {

int DrawRandom() { return std::rand(); }

bool PathTaken(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

// Notes in the record and in the journal what the step is about to do to `target`, copying a previous file
// aside (under a new name in the backup folder) first. An empty result means the target may now be written;
// otherwise it is the message for the user, and the target has not been touched.
//
// Only the line of a saved previous file is flushed before the target is touched; a flush puts every earlier
// line on the disk with it. The other lines are cached: a process that dies still leaves them in the file,
// and a power cut can only lose those written after the last flush. A lost line of a new file leaves that
// file behind after the recovery, a lost copy line a stray copy in the backup folder; neither loses data.
SetupString SecurePreviousFile(FileBackupRecord& record, const SetupString& target) {
    record = FileBackupRecord();
    unsigned long code = 0;
    const DWORD attributes = GetFileAttributesA(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        if (!AppendToInstallJournal(JournalCreatedLine(target.c_str()), code, JournalWrite::Cached))
            return JournalFailureMessage(code);
        record.state = kBackupCreated;
        record.targetPath = target;
        return "";
    }
    // A folder in the file's place is no previous file: the write below fails on it.
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return "";
    const SetupString backup = MakeUniqueFileName(g_choices.TempFolder.c_str(), "081");
    if (!AppendToInstallJournal(JournalCopyLine(backup.c_str()), code, JournalWrite::Cached))
        return JournalFailureMessage(code);
    record.backupPath = backup;  // a copy cut short is deleted with the other backups
    if (!CopyFileA(target.c_str(), backup.c_str(), FALSE)) {
        SetupString error;
        error.Format("ERROR: (%d) Cannot back up the following file:\n\n%s", static_cast<int>(GetLastError()),
                     target.c_str());
        return error;
    }
    if (!AppendToInstallJournal(JournalSavedLine(attributes, backup.c_str(), target.c_str()), code))
        return JournalFailureMessage(code);
    record.state = kBackupSaved;
    record.previousAttributes = attributes;
    record.targetPath = target;
    return "";
}

// Writes the bytes; an empty result means success, otherwise the message for the user.
SetupString WriteTarget(const SetupString& target, const uint8_t* bytes, uint32_t size) {
    SetupString error("");
    win::FileHandle file(CreateFileA(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        error.Format("ERROR: (%d) Cannot install the following file:\n\n%s", static_cast<int>(GetLastError()),
                     target.c_str());
        return error;
    }
    DWORD written = 0;
    if (!WriteFile(file.Get(), bytes, size, &written, nullptr) || written != size)
        error.Format("ERROR: (%d) Cannot write to the following file:\n\n%s", static_cast<int>(GetLastError()),
                     target.c_str());
    return error;
}

// One record's rollback; true when its target was dealt with.
bool RestoreRecord(FileBackupRecord& record, int& result) {
    if (record.state == kBackupSaved) {
        CreateFolderChain(record.targetPath.c_str());
        SetFileAttributesA(record.targetPath.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!CopyFileA(record.backupPath.c_str(), record.targetPath.c_str(), FALSE)) {
            record.restoreFailed = true;
            result = -1;
            return false;
        }
        // Not every system's copy carries the attributes over.
        SetFileAttributesA(record.targetPath.c_str(), record.previousAttributes);
        record.restoreFailed = false;
        return true;
    }
    if (record.state == kBackupCreated) {
        SetFileAttributesA(record.targetPath.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!DeleteFileA(record.targetPath.c_str())) return false;
        RemoveEmptyFolder(ParentFolderOf(record.targetPath.c_str()).c_str());
        return true;
    }
    return false;
}

}  // namespace

SetupString MakeUniqueFileName(const char* folder, const char* extension) {
    return MakeUniqueName(folder, extension, DrawRandom, PathTaken);
}

int InstallFileStep(const InstallStepContext& step, int32_t fileIndex) {
    SetupString& error = step.error;
    const uint32_t entryIndex = EntryIndexOfFile(fileIndex);
    if (g_install.archiveIndex == nullptr || fileIndex < 0 || fileIndex >= g_install.backupCount ||
        entryIndex >= g_install.archiveIndex->count) {
        error = "FATAL ERROR: Installation package is broken...\n(Please report it to our technical support.)";
        return 0;
    }
    const PackageEntry& entry = g_install.archiveIndex->Entries()[entryIndex];
    const char* name = InstalledFileName(fileIndex, entry.name);
    step.ShowActivity("Installing File:", name);

    SetupString target;
    target.Format("%s\\%s", g_choices.InstallFolder.c_str(), name);
    // Filled before writing, so that a file whose write fails is rolled back too.
    FileBackupRecord& record = g_install.backups[fileIndex];
    const SetupString unsafe = SecurePreviousFile(record, target);
    if (!unsafe.Empty()) {
        error = unsafe;
        return 0;
    }

    const SetupString parent = ParentFolderOf(target.c_str());
    if (!parent.Empty()) CreateDirectoryA(parent.c_str(), nullptr);
    // A read-only previous file would refuse the write; a new one has no attributes to clear.
    if (record.state != kBackupCreated) SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);

    const SetupString failure = WriteTarget(target, g_install.archiveCopy + entry.dataOffset, entry.size);
    if (IsHiddenCopyPath(target.c_str())) {
        const DWORD attributes = GetFileAttributesA(target.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES)
            SetFileAttributesA(target.c_str(), attributes | FILE_ATTRIBUTE_HIDDEN);
    }
    if (failure.Empty()) return 1;
    error = failure;
    return 0;
}

int RestorePreviousFiles(HWND page) {
    if (page != nullptr) {
        ShowInstallActivity(page, "Restoring previous files...", "");
        UpdateWindow(page);
    }
    return RestoreBackupRecords(g_install.backups, g_install.backupCount);
}

int RestoreBackupRecords(FileBackupRecord* records, int32_t count) {
    OrderDeepestFirst(records, count);
    int result = 0;
    for (int32_t i = 0; i < count; ++i) {
        FileBackupRecord& record = records[i];
        if (record.targetPath.Empty()) continue;
        if (!RestoreRecord(record, result)) continue;
        record.targetPath = "";
        if (result == 0) result = 1;
    }
    return result;
}
