// The recovery journal's text: what an installation writes before it touches
// each file of the program folder, and what a later start reads back to put
// the folder right after a run that died. One line per entry, fields split by
// tabs (a character no Windows path can hold).
// Portable: no Windows headers here.
#pragma once

#include <cstdint>

#include "engine/portable/install_state.h"
#include "foundation/portable/setup_string.h"

constexpr const char kJournalFinalLine[] = "final\n";
constexpr const char kJournalRollbackLine[] = "rollback\n";

/// The first lines: a marker, the backup folder and the program folder.
SetupString JournalHeader(const char* tempFolder, const char* installFolder);
/// The previous file is about to be copied to `backup` (so that a copy cut short is deleted, not restored).
SetupString JournalCopyLine(const char* backup);
/// The previous file (with `attributes`) is saved in `backup`; `target` is about to be replaced.
SetupString JournalSavedLine(uint32_t attributes, const char* backup, const char* target);
/// No file was at `target`; it is about to be created.
SetupString JournalCreatedLine(const char* target);

/// What a journal says. The records are in the form the rollback takes: saved files, created files, and
/// backups whose copy never completed (no target).
struct JournalReading {
    JournalReading() = default;
    JournalReading(const JournalReading&) = delete;
    JournalReading& operator=(const JournalReading&) = delete;
    ~JournalReading() { delete[] records; }

    SetupString tempFolder;
    SetupString installFolder;
    bool final = false;  ///< the files were complete: only the backups are left to delete
    FileBackupRecord* records = nullptr;
    int32_t count = 0;
};

/// Reads `text` into `reading`. False when it is not a journal, or names a backup outside its backup folder
/// or a target outside its program folder: such a journal must not be acted upon. A last line without its
/// line end was cut off by the crash and is ignored (the run had not touched its file yet).
bool ReadJournal(const char* text, JournalReading& reading);

/// The message about previous files that could not be put back: which ones, and where their copies are kept.
/// Empty when every restore succeeded.
SetupString DescribeUnrestoredFiles(const FileBackupRecord* records, int32_t count, const char* tempFolder);
