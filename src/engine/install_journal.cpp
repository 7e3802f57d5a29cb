#include "engine/install_journal.h"

#include <windows.h>
#include <shlobj.h>

#include "engine/file_install.h"
#include "engine/portable/journal_text.h"
#include "engine/prepare.h"
#include "foundation/folders.h"
#include "foundation/win_handles.h"
#include "wizard/path_validation.h"

namespace {

constexpr const char kJournalFolder[] = "Korvane Setup";
constexpr const char kJournalName[] = "recovery.txt";
// Far above any real journal (a few lines per file of the package): anything larger is not ours.
constexpr DWORD kMaxJournalSize = 4u << 20;

// The journal of the attempt in progress.
win::FileHandle g_journal;

bool Write(HANDLE file, const SetupString& text, JournalWrite write) {
    DWORD written = 0;
    return WriteFile(file, text.c_str(), text.Length(), &written, nullptr) && written == text.Length() &&
           (write == JournalWrite::Cached || FlushFileBuffers(file));
}

// The journal's text, or false when there is none that may be read: absent, or held by a running setup.
bool ReadUnownedJournal(const SetupString& path, SetupString& text) {
    // No sharing: the open fails while the writing setup still holds the file.
    win::FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                     nullptr));
    if (!file) return false;
    const DWORD size = GetFileSize(file.Get(), nullptr);
    if (size == INVALID_FILE_SIZE || size > kMaxJournalSize) return true;  // not ours: read as empty
    // Zero-filled with room for the terminator: a short read still ends the text.
    text.Resize(size + 1, 0);
    DWORD read = 0;
    if (!ReadFile(file.Get(), text.Buffer(), size, &read, nullptr)) text = "";
    return true;
}

SetupString RecoveryReport(const JournalReading& reading) {
    const SetupString unrestored =
        DescribeUnrestoredFiles(reading.records, reading.count, reading.tempFolder.c_str());
    SetupString report;
    if (unrestored.Empty())
        report.Format("The last run of Setup was interrupted during the installation.\nThe program folder has been "
                      "put back as it was before:\n\n%s",
                      reading.installFolder.c_str());
    else
        report.Format("The last run of Setup was interrupted during the installation.\n\n%s", unrestored.c_str());
    return report;
}

}  // namespace

SetupString RecoveryJournalPath() {
    SetupString folder = SpecialFolderPath(CSIDL_LOCAL_APPDATA);
    if (folder.IsBlank(kNothingEntered)) {
        char temp[MAX_PATH] = "";
        const DWORD length = GetTempPathA(MAX_PATH, temp);
        folder = WithTrailingSeparator(length > 0 && length < MAX_PATH ? temp : "C:\\");
    }
    SetupString path;
    path.Format("%s%s\\%s", folder.c_str(), kJournalFolder, kJournalName);
    return path;
}

bool BeginInstallJournal(const char* tempFolder, const char* installFolder, unsigned long& errorCode) {
    g_journal.Reset();
    const SetupString path = RecoveryJournalPath();
    CreateFolderChain(path.c_str());
    g_journal.Reset(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (g_journal && Write(g_journal.Get(), JournalHeader(tempFolder, installFolder), JournalWrite::Flushed))
        return true;
    errorCode = GetLastError();
    DiscardInstallJournal();
    return false;
}

bool AppendToInstallJournal(const SetupString& line, unsigned long& errorCode, JournalWrite write) {
    if (!g_journal || Write(g_journal.Get(), line, write)) return true;
    errorCode = GetLastError();
    return false;
}

SetupString JournalFailureMessage(unsigned long errorCode) {
    SetupString message;
    message.Format("ERROR: (%d) Cannot write to the following file:\n\n%s", static_cast<int>(errorCode),
                   RecoveryJournalPath().c_str());
    return message;
}

void CloseInstallJournal() { g_journal.Reset(); }

void DiscardInstallJournal() {
    const bool wasOpen = g_journal.Valid();
    g_journal.Reset();
    if (wasOpen) DeleteFileA(RecoveryJournalPath().c_str());
}

bool RecoverInterruptedInstallation(SetupString& report) {
    report = "";
    const SetupString path = RecoveryJournalPath();
    SetupString text("");
    if (!ReadUnownedJournal(path, text)) return false;
    JournalReading reading;
    if (ReadJournal(text.c_str(), reading)) {
        if (!reading.final && reading.count > 0) {
            RestoreBackupRecords(reading.records, reading.count);
            report = RecoveryReport(reading);
        }
        DeleteBackups(reading.records, reading.count, reading.tempFolder.c_str(), true);
    }
    // A journal that cannot be read is not acted upon, and would only stand in the way of the next one.
    DeleteFileA(path.c_str());
    return true;
}
