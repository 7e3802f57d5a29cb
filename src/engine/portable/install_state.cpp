#include "engine/portable/install_state.h"

#include <utility>

InstallState g_install;
int32_t InstallCancellable = 0;

namespace {

constexpr const char kHiddenCopy[] = "__cdca.lx";
constexpr const char kSecondHiddenCopy[] = "__cdcb.lx";
constexpr int kMaxNameAttempts = 1000;

bool EqualIgnoringCase(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(*a) != lower(*b)) return false;
    }
    return *a == *b;
}

void ReleaseInstallResources(InstallState& state) {
    ReleasePackageArchive(state.archiveIndex, state.archiveCopy);
    delete[] state.backups;
    state.backups = nullptr;
    state.backupCount = 0;
}

}  // namespace

InstallState::~InstallState() { ReleaseInstallResources(*this); }

void ResetInstallState() {
    g_install.stepIndex = 0;
    g_install.stopFlag = 0;
    g_install.stepTotal = 0;
    g_install.entryCount = 0;
    ReleaseInstallResources(g_install);
}

InstallStepChoice ChooseInstallStep(int32_t step, int32_t entryCount) {
    if (step == 0) return {InstallStepKind::Prepare, 0};
    if (step >= 1 && step < entryCount + 2) return {InstallStepKind::File, step - 1};
    if (step == entryCount + 2) return {InstallStepKind::Shortcuts, 0};
    if (step == entryCount + 3) return {InstallStepKind::Settings, 0};
    if (step == entryCount + 4) return {InstallStepKind::Finish, 0};
    return {InstallStepKind::Invalid, 0};
}

int32_t InstallStepTotal(int32_t entryCount) { return entryCount + 5; }

int32_t InstallProgressPosition(int32_t step, int32_t stepTotal) {
    return stepTotal == 0 ? 0 : step * 256 / stepTotal;
}

uint32_t EntryIndexOfFile(int32_t fileIndex) { return fileIndex >= 1 ? static_cast<uint32_t>(fileIndex - 1) : 0u; }

uint64_t InstalledBytes(const InstallState& state) {
    if (state.archiveIndex == nullptr || state.backups == nullptr) return 0;
    uint64_t bytes = 0;
    for (int32_t k = 0; k < state.backupCount; ++k) {
        const uint32_t entry = EntryIndexOfFile(k);
        if (!state.backups[k].targetPath.Empty() && entry < state.archiveIndex->count)
            bytes += state.archiveIndex->Entries()[entry].size;
    }
    return bytes;
}

const char* InstalledFileName(int32_t fileIndex, const char* entryName) {
    return fileIndex == 0 ? kSecondHiddenCopy : entryName;
}

bool IsHiddenCopyPath(const char* path) {
    const char* name = path;
    for (const char* p = path; *p != '\0'; ++p)
        if (*p == '\\' || *p == '/') name = p + 1;
    return EqualIgnoringCase(name, kHiddenCopy) || EqualIgnoringCase(name, kSecondHiddenCopy);
}

void AppendGeneratedTempFolder(SetupString& folder, int first, int second) {
    folder.AppendFormat("instrb%04X.%02X\\", static_cast<unsigned>(second), static_cast<unsigned>(first % 256));
}

SetupString FormatBackupName(const char* folder, int a, int b, int c, const char* extension) {
    SetupString name;
    name.Format("%s\\%04X%04X%04X.%s", folder, static_cast<unsigned>(c), static_cast<unsigned>(b),
                static_cast<unsigned>(a), extension);
    return name;
}

SetupString MakeUniqueName(const char* folder, const char* extension, int (*draw)(), bool (*exists)(const char*)) {
    const SetupString base = WithoutTrailingSeparator(folder);
    if (extension == nullptr) extension = "dta";
    SetupString name;
    for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
        const int a = draw();
        const int b = draw();
        const int c = draw();
        name = FormatBackupName(base.c_str(), a, b, c, extension);
        if (!exists(name.c_str())) break;
    }
    return name;
}

int CountSeparators(const char* path) {
    int count = 0;
    for (; *path != '\0'; ++path) count += (*path == '\\' || *path == '/') ? 1 : 0;
    return count;
}

void OrderDeepestFirst(FileBackupRecord* records, int32_t count) {
    for (int32_t p = 0; p < count; ++p)
        for (int32_t q = p + 1; q < count; ++q)
            if (CountSeparators(records[q].targetPath.c_str()) > CountSeparators(records[p].targetPath.c_str()))
                std::swap(records[p], records[q]);
}
