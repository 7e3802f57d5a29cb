#include "engine/portable/journal_text.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "foundation/portable/folder_removal_rules.h"

namespace {

constexpr const char kMarker[] = "Korvane Setup recovery journal 1";
constexpr const char kBackupExtension[] = ".081";
constexpr int kMaxListedFiles = 10;

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool StartsWithIgnoringCase(const char* text, const char* prefix) {
    for (; *prefix != '\0'; ++text, ++prefix)
        if (Lower(*text) != Lower(*prefix)) return false;
    return true;
}

bool IsBackupPath(const char* path, const SetupString& tempFolder) {
    if (!LiesStrictlyBelow(path, tempFolder.c_str())) return false;
    const char* name = path + LengthWithoutTrailingSeparators(tempFolder.c_str()) + 1;
    for (const char* p = name; *p != '\0'; ++p)
        if (IsSeparator(*p)) return false;
    const size_t length = std::strlen(name);
    const size_t extension = sizeof kBackupExtension - 1;
    return length > extension && StartsWithIgnoringCase(name + length - extension, kBackupExtension);
}

// One line cut into its tab-separated fields (at most four), pointing into `line`.
struct Fields {
    const char* field[4] = {};
    int count = 0;
};

Fields SplitFields(char* line) {
    Fields fields;
    fields.field[fields.count++] = line;
    for (char* p = line; *p != '\0'; ++p) {
        if (*p != '\t') continue;
        if (fields.count == 4) return Fields();  // too many: not a line of ours
        *p = '\0';
        fields.field[fields.count++] = p + 1;
    }
    return fields;
}

bool Is(const Fields& fields, const char* kind, int count) {
    return fields.count == count && std::strcmp(fields.field[0], kind) == 0;
}

bool ReadAttributes(const char* text, uint32_t& attributes) {
    char* end = nullptr;
    const unsigned long value = std::strtoul(text, &end, 10);
    if (*text == '\0' || *end != '\0') return false;
    attributes = static_cast<uint32_t>(value);
    return true;
}

// Applies one entry line to the reading; false for a line that is not ours or leaves the two folders.
bool ApplyEntry(const Fields& fields, JournalReading& reading) {
    if (Is(fields, "final", 1)) {
        reading.final = true;
        return true;
    }
    if (Is(fields, "rollback", 1)) {
        reading.final = false;
        return true;
    }
    FileBackupRecord* last = reading.count > 0 ? &reading.records[reading.count - 1] : nullptr;
    if (Is(fields, "copy", 2)) {
        if (!IsBackupPath(fields.field[1], reading.tempFolder)) return false;
        FileBackupRecord& record = reading.records[reading.count++];
        record.backupPath = fields.field[1];
        return true;
    }
    if (Is(fields, "new", 2)) {
        if (!LiesStrictlyBelow(fields.field[1], reading.installFolder.c_str())) return false;
        FileBackupRecord& record = reading.records[reading.count++];
        record.state = kBackupCreated;
        record.targetPath = fields.field[1];
        return true;
    }
    if (Is(fields, "old", 4)) {
        uint32_t attributes = 0;
        if (!ReadAttributes(fields.field[1], attributes) || !IsBackupPath(fields.field[2], reading.tempFolder) ||
            !LiesStrictlyBelow(fields.field[3], reading.installFolder.c_str()))
            return false;
        // The saved line completes the copy line written just before it.
        const bool completesCopy = last != nullptr && last->targetPath.Empty() && last->backupPath == fields.field[2];
        FileBackupRecord& record = completesCopy ? *last : reading.records[reading.count++];
        record.state = kBackupSaved;
        record.previousAttributes = attributes;
        record.backupPath = fields.field[2];
        record.targetPath = fields.field[3];
        return true;
    }
    return false;
}

bool ReadHeaderLine(char* line, const char* kind, SetupString& value) {
    const Fields fields = SplitFields(line);
    if (!Is(fields, kind, 2) || fields.field[1][0] == '\0') return false;
    value = fields.field[1];
    return true;
}

}  // namespace

SetupString JournalHeader(const char* tempFolder, const char* installFolder) {
    SetupString text;
    text.Format("%s\ntemp\t%s\nfolder\t%s\n", kMarker, tempFolder, installFolder);
    return text;
}

SetupString JournalCopyLine(const char* backup) {
    SetupString line;
    line.Format("copy\t%s\n", backup);
    return line;
}

SetupString JournalSavedLine(uint32_t attributes, const char* backup, const char* target) {
    SetupString line;
    line.Format("old\t%lu\t%s\t%s\n", static_cast<unsigned long>(attributes), backup, target);
    return line;
}

SetupString JournalCreatedLine(const char* target) {
    SetupString line;
    line.Format("new\t%s\n", target);
    return line;
}

bool ReadJournal(const char* text, JournalReading& reading) {
    SetupString copy(text);
    char* cursor = copy.Buffer();
    int32_t lines = 0;
    for (const char* p = text; *p != '\0'; ++p) lines += *p == '\n' ? 1 : 0;
    delete[] reading.records;
    reading.records = new (std::nothrow) FileBackupRecord[lines > 0 ? lines : 1];
    reading.count = 0;
    reading.final = false;
    if (reading.records == nullptr) return false;

    for (int32_t index = 0;; ++index) {
        char* end = std::strchr(cursor, '\n');
        if (end == nullptr) return index >= 3;  // an unfinished last line: its file was not touched yet
        *end = '\0';
        if (end > cursor && end[-1] == '\r') end[-1] = '\0';
        bool known = false;
        if (index == 0)
            known = std::strcmp(cursor, kMarker) == 0;
        else if (index == 1)
            known = ReadHeaderLine(cursor, "temp", reading.tempFolder);
        else if (index == 2)
            known = ReadHeaderLine(cursor, "folder", reading.installFolder);
        else
            known = ApplyEntry(SplitFields(cursor), reading);
        if (!known) return false;
        cursor = end + 1;
    }
}

SetupString DescribeUnrestoredFiles(const FileBackupRecord* records, int32_t count, const char* tempFolder) {
    SetupString list("");
    int listed = 0;
    int unlisted = 0;
    for (int32_t i = 0; i < count; ++i) {
        if (!records[i].restoreFailed || records[i].targetPath.Empty()) continue;
        if (listed == kMaxListedFiles) {
            ++unlisted;
            continue;
        }
        list.AppendFormat("%s\n", records[i].targetPath.c_str());
        ++listed;
    }
    if (listed == 0) return SetupString("");
    if (unlisted > 0) list.AppendFormat("(and %d more)\n", unlisted);
    SetupString message;
    message.Format("ERROR: Cannot restore the following files:\n\n%s\nTheir previous copies are kept in this "
                   "folder:\n\n%s",
                   list.c_str(), WithoutTrailingSeparator(tempFolder).c_str());
    return message;
}
