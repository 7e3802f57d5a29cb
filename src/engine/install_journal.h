// The recovery journal on disk: kept open by the installation in progress,
// written and flushed before each file of the program folder is touched, and
// read by the next start of the setup when the run that wrote it died.
#pragma once

#include "foundation/portable/setup_string.h"

/// "<local application data>\Korvane Setup\recovery.txt" (below the temporary folder when there is none).
SetupString RecoveryJournalPath();

/// Starts the journal of an installation attempt; false (with the system's error code) when it cannot be
/// written. The file stays open without write or delete sharing until the attempt ends: a later start that
/// can open it knows that its writer is gone.
bool BeginInstallJournal(const char* tempFolder, const char* installFolder, unsigned long& errorCode);
/// How far a line must have gone when it is appended.
enum class JournalWrite {
    Flushed,  ///< on the disk: the line, and every line before it
    Cached,   ///< handed to the system: it outlives the process, not a power cut before the next flush
};
/// Appends a line (flushed to disk unless asked otherwise); false when that fails (true when no journal is open).
bool AppendToInstallJournal(const SetupString& line, unsigned long& errorCode,
                            JournalWrite write = JournalWrite::Flushed);
/// The message of a step that could not write the journal: nothing may be touched without it.
SetupString JournalFailureMessage(unsigned long errorCode);
/// Closes the journal and keeps the file, as the end of the process would.
void CloseInstallJournal();
/// Closes the journal and deletes it: the program folder is consistent again.
void DiscardInstallJournal();

/// Puts right what a dead installation left behind, as recorded in a journal that no running setup holds:
/// its previous files copied back and its new files deleted (or, once its files were final, only its
/// backups deleted), then its backups, its temporary folder and the journal removed. Returns false when
/// there was nothing to do; `report` receives the message for the user (empty when none is due).
bool RecoverInterruptedInstallation(SetupString& report);
