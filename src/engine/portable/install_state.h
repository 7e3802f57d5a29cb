// The installation's process-wide state and the fixed plan of its steps.
// Portable: no Windows headers here.
#pragma once

#include <cstdint>

#include "engine/portable/package_archive.h"
#include "foundation/portable/setup_string.h"

enum FileBackupState : int32_t {
    kBackupUnsaved = 0,  ///< nothing to restore (fresh record, or the previous file could not be copied aside)
    kBackupSaved = 1,    ///< the previous file was copied to the backup path
    kBackupCreated = 2,  ///< no file existed at the target before
};

/// What one file step did to its target, so that a rollback can undo it.
struct FileBackupRecord {
    int32_t state = kBackupUnsaved;
    SetupString backupPath;  ///< copy of the previous file; empty unless saved
    SetupString targetPath;  ///< the installed file; empty until its step ran and again once rolled back
    /// Attributes of the previous file (hidden, read-only...), given back with its contents.
    uint32_t previousAttributes = 0;
    /// The copy back failed: the backup is now the only copy of the user's previous file.
    bool restoreFailed = false;
};

struct InstallState {
    InstallState() = default;
    InstallState(const InstallState&) = delete;
    InstallState& operator=(const InstallState&) = delete;
    ~InstallState();

    int32_t stepIndex = 0;   ///< the step the next tick runs
    int32_t stopFlag = 0;    ///< 1: ticks do nothing (failed, finished, or a cancel being confirmed)
    int32_t busy = 0;        ///< a tick is running its step (its message boxes let further ticks in)
    int32_t stepTotal = 0;   ///< N + 5 once step 0 ran
    int32_t entryCount = 0;  ///< N, the application archive's entries
    FileBackupRecord* backups = nullptr;
    int32_t backupCount = 0;  ///< N + 1
    PackageIndex* archiveIndex = nullptr;
    uint8_t* archiveCopy = nullptr;
};

extern InstallState g_install;
/// 1 from the Installing page's activation until the shortcut step begins; Cancel is refused while 0.
extern int32_t InstallCancellable;

/// Frees the archive copy, its index and the backup records; back to "not started".
void ResetInstallState();

enum class InstallStepKind { Prepare, File, Shortcuts, Settings, Finish, Invalid };

struct InstallStepChoice {
    InstallStepKind kind;
    int32_t fileIndex;  ///< for File steps: 0..N
};

/// The step that index `step` runs for an archive of `entryCount` entries.
InstallStepChoice ChooseInstallStep(int32_t step, int32_t entryCount);
/// N + 5: preparation, N + 1 files, shortcuts, settings, finish.
int32_t InstallStepTotal(int32_t entryCount);
/// Progress bar position (range 0..256) after step `step`; 0 while the total is unknown.
int32_t InstallProgressPosition(int32_t step, int32_t stepTotal);

/// Archive entry written by file index `fileIndex`: entry 0 is written twice, by indices 0 and 1.
uint32_t EntryIndexOfFile(int32_t fileIndex);
/// Bytes of the files the installation in `state` has written (the records whose step ran).
uint64_t InstalledBytes(const InstallState& state);
/// Name under which file index `fileIndex` installs the entry named `entryName`.
const char* InstalledFileName(int32_t fileIndex, const char* entryName);
/// True when the last component of `path` is one of the two hidden copies ("__cdca.lx", "__cdcb.lx").
bool IsHiddenCopyPath(const char* path);

/// Appends "instrbXXXX.YY\" to `folder`: XXXX from `second`, YY from the low byte of `first`.
void AppendGeneratedTempFolder(SetupString& folder, int first, int second);

/// "folder\CCCCBBBBAAAA.ext" from three draws a, b, c, taken in that order.
SetupString FormatBackupName(const char* folder, int a, int b, int c, const char* extension);
/// A name in `folder` (extension "dta" when none) that `exists` rejects, drawing again up to 1000 names;
/// the last name formed when all of them exist.
SetupString MakeUniqueName(const char* folder, const char* extension, int (*draw)(), bool (*exists)(const char*));

/// Count of "\" and "/" in `path`.
int CountSeparators(const char* path);
/// Sorts in place so that deeper target paths come first and empty ones last (the order rollback needs).
void OrderDeepestFirst(FileBackupRecord* records, int32_t count);
