#include "engine/previous_version.h"

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include "engine/package_archive.h"
#include "engine/previous_version_rules.h"
#include "engine/resource_data.h"
#include "foundation/globals.h"
#include "foundation/message_box.h"
#include "foundation/registry.h"
#include "foundation/win_handles.h"
#include "resources/resource.h"

namespace {

constexpr int kWizardNextButton = 0x3024;
constexpr DWORD kTempPathSize = 2080;
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

// COM for the shell's launch, for as long as the launch takes.
class ComApartment {
public:
    ComApartment()
        : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ~ComApartment() {
        if (initialised_) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialised_;
};

SetupString UninstallerPath() {
    char temp[kTempPathSize] = "";
    const DWORD length = GetTempPathA(kTempPathSize, temp);
    if (length == 0 || length >= kTempPathSize) temp[0] = '\0';
    SetupString path;
    path.Format("%sKorvane Version 1_2_2 Uninstaller.exe", temp);
    return path;
}

int LastErrorOr(int fallback) {
    const DWORD error = GetLastError();
    return error != 0 ? static_cast<int>(error) : fallback;
}

// Writes the uninstaller's bytes into a new file at `path`; 0 or the system error code.
// `created` tells whether a file was made that has to be deleted again.
int WriteUninstaller(const SetupString& path, const uint8_t* bytes, uint32_t size, bool& created) {
    win::FileHandle file(
        CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    created = file.Valid();
    if (!created) return LastErrorOr(ERROR_CANNOT_MAKE);
    DWORD written = 0;
    if (WriteFile(file.Get(), bytes, size, &written, nullptr) && written == size) return 0;
    const int error = LastErrorOr(ERROR_WRITE_FAULT);
    file.Reset();
    SetupString message;
    message.Format("ERROR: Cannot write to the following file:\n\n%s", path.c_str());
    SetupMessageBox(message.c_str(), kBoxError);
    return error;
}

// Starts the uninstaller and waits for it; 0 once it ended or ran out of time, else the error code.
int RunUninstaller(const SetupString& path) {
    ComApartment com;
    SHELLEXECUTEINFOA launch = {};
    launch.cbSize = sizeof launch;
    launch.fMask = kShellExecuteMask;
    launch.lpVerb = "open";
    launch.lpFile = path.c_str();
    launch.nShow = SW_SHOW;
    if (!ShellExecuteExA(&launch)) return LastErrorOr(ERROR_INVALID_FUNCTION);
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
    const SetupString path = UninstallerPath();
    const PackageEntry& entry = archive.Entry(0);
    bool created = false;
    errorCode = WriteUninstaller(path, archive.Data(entry), entry.size, created);
    if (errorCode == 0) errorCode = RunUninstaller(path);
    if (created) DeleteUninstaller(path);
    return errorCode == 0;
}

void ShowShieldOnNext(bool show) {
    SendMessageA(GetDlgItem(g_setup.wizardWindow, kWizardNextButton), BCM_SETSHIELD, 0, show ? TRUE : FALSE);
}
