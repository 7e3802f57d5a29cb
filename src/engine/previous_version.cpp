#include "engine/previous_version.h"

#include <shellapi.h>

#include "engine/fresh_folder.h"
#include "engine/portable/package_archive.h"
#include "engine/portable/previous_version_rules.h"
#include "foundation/folders.h"
#include "foundation/globals.h"
#include "foundation/message_box.h"
#include "foundation/registry.h"
#include "foundation/resource_data.h"
#include "foundation/win_handles.h"
#include "resources/resource.h"

namespace {

constexpr DWORD kTempPathSize = 2080;
constexpr char kUninstallerName[] = "Korvane Version 1_2_2 Uninstaller.exe";
constexpr DWORD kUninstallerWaitMs = 20000;
// The uninstaller may hold its own file a little after it ended: 50 tries, 100 ms apart.
constexpr int kDeleteTries = 50;
constexpr DWORD kDeleteIntervalMs = 100;
constexpr ULONG kShellExecuteMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_DDEWAIT | SEE_MASK_FLAG_NO_UI;
static_assert(kShellExecuteMask == 0x540, "launch flags of the old uninstaller");

constexpr char kMissingResourceText[] =
    "FATAL ERROR: Installation package is broken, cannot retrieve uninstaller for v.1.2.2\n(Please report it to our "
    "technical support.)";
constexpr char kBrokenArchiveText[] =
    "FATAL ERROR: Installation package archive is broken, cannot retrieve uninstaller for v.1.2.2\n(Please report it "
    "to our technical support.)";

// The temporary folder, ending in a separator.
SetupString TempFolderPath() {
    char temp[kTempPathSize] = "";
    const DWORD length = GetTempPathA(kTempPathSize, temp);
    if (length == 0 || length >= kTempPathSize) temp[0] = '\0';
    return WithTrailingSeparator(temp);
}

SetupString UninstallerFolderName(uint32_t number) {
    SetupString name;
    name.Format("kvrsetup-%08X.tmp", static_cast<unsigned>(number));
    return name;
}

// Writes the uninstaller into the new file `path`, locked against changes until it has started; 0 or the
// system error code.
int WriteUninstaller(const SetupString& path, const uint8_t* bytes, uint32_t size, win::FileHandle& locked) {
    LockedFileStep failed = LockedFileStep::Create;
    const DWORD error = WriteLockedFile(path.c_str(), bytes, size, locked, &failed);
    if (error != 0 && failed == LockedFileStep::Write) {
        SetupString message;
        message.Format("ERROR: Cannot write to the following file:\n\n%s", path.c_str());
        SetupMessageBox(message.c_str(), kBoxError);
    }
    return static_cast<int>(error);
}

// Sets an environment variable of this process (inherited by what it starts) for the life of the object.
class EnvironmentOverride {
public:
    EnvironmentOverride(const char* name, const char* value) : name_(name) {
        char earlier[1024];
        const DWORD length = GetEnvironmentVariableA(name, earlier, sizeof earlier);
        hadValue_ = length > 0 && length < sizeof earlier;
        if (hadValue_) earlier_ = earlier;
        SetEnvironmentVariableA(name, value);
    }
    ~EnvironmentOverride() { SetEnvironmentVariableA(name_, hadValue_ ? earlier_.c_str() : nullptr); }
    EnvironmentOverride(const EnvironmentOverride&) = delete;
    EnvironmentOverride& operator=(const EnvironmentOverride&) = delete;

private:
    const char* name_;
    bool hadValue_ = false;
    SetupString earlier_;
};

// Starts the uninstaller and waits for it; 0 once it ended or ran out of time, else the error code. `locked`
// is let go once the program has started (its image is mapped: the file can no longer be changed).
int RunUninstaller(const SetupString& path, win::FileHandle& locked) {
    // COM for the shell's launch, for as long as the launch takes.
    const win::ComApartment com(win::ComApartment::Kind::Com);
    // In the user's own account, although the name makes Windows' installer detection ask for an
    // administrator: in an administrator's account it would find nothing of this user's to remove.
    const EnvironmentOverride asInvoker("__COMPAT_LAYER", "RunAsInvoker");
    SHELLEXECUTEINFOA launch = {};
    launch.cbSize = sizeof launch;
    launch.fMask = kShellExecuteMask;
    launch.lpVerb = "open";
    launch.lpFile = path.c_str();
    launch.nShow = SW_SHOW;
    const BOOL started = ShellExecuteExA(&launch);
    const int error = started ? 0 : static_cast<int>(LastErrorOr(ERROR_INVALID_FUNCTION));
    locked.Reset();
    if (!started) return error;
    const win::KernelHandle process(launch.hProcess);
    if (!process) return kRemovalNoProcess;
    WaitForSingleObject(process.Get(), kUninstallerWaitMs);
    return 0;
}

void DeleteUninstaller(const SetupString& path) {
    for (int i = 0; i < kDeleteTries; ++i) {
        const DWORD attributes = GetFileAttributesA(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return;
        DeleteFileA(path.c_str());
        Sleep(kDeleteIntervalMs);
    }
}

}  // namespace

bool DetectPreviousVersion(SetupString* installed) {
    int32_t status = 0;
    const SetupString version = ReadSetting(HKEY_CURRENT_USER, "ver", "0", &status);
    if (installed != nullptr) *installed = version;
    return IsRemovableVersion(version.c_str(), status);
}

bool RemovePreviousVersion(int& errorCode) {
    WaitCursor wait;
    errorCode = kRemovalOk;
    const ResourceData resource = LoadResourceData(IDR_OLD_UNINSTALLER);
    if (resource.bytes == nullptr) {
        errorCode = kRemovalNoResource;
        SetupMessageBox(kMissingResourceText, kBoxError);
        return false;
    }
    PackageArchive archive;
    if (!archive.Open(resource.bytes, resource.size) || archive.Count() != 1) {
        SetupMessageBox(kBrokenArchiveText, kBoxError);
        errorCode = kRemovalBrokenArchive;
        return false;
    }
    // A folder of our own, new, so that nothing planted in the temporary folder is run or overwritten.
    SetupString folder;
    errorCode = static_cast<int>(CreateFreshFolder(TempFolderPath(), UninstallerFolderName, folder));
    if (errorCode != 0) return false;
    const SetupString path = Concat(folder, kUninstallerName);
    const PackageEntry& entry = archive.Entry(0);
    win::FileHandle locked;
    errorCode = WriteUninstaller(path, archive.Data(entry), entry.size, locked);
    if (errorCode == 0) errorCode = RunUninstaller(path, locked);
    locked.Reset();
    DeleteUninstaller(path);
    RemoveEmptyFolder(folder.c_str());
    return errorCode == 0;
}
