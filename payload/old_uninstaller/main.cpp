// Stand-in for the uninstaller of Korvane 1.2.2, which the setup carries to
// remove that version before it installs this one. It asks nothing and ends
// within a few seconds; the setup runs it from the temporary folder.
//
// What a 1.2.2 installation leaves, and what this program removes:
//   HKCU\Software\from Ostrevik\Korvane & Scheduler\Settings
//       "ver"            REG_SZ  "1.2.2" (or older)      removed
//       "InstallFolder"  REG_SZ  the program folder      removed
//       (every other value is the user's configuration, which 1.2.3 takes over: kept)
//   HKCU\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Korvane
//       "DisplayName" "Korvane", "DisplayVersion" "1.2.2",
//       "UninstallString" the program folder + "\uninst_kvr.exe"     key removed
//   In the program folder: kvr.exe, kvrsched.exe, kvr122.dat, uninst_kvr.exe;
//   the folder itself when nothing else is left in it.
#include <windows.h>

#include <string>

#include "common/payload_common.h"
#include "foundation/folders.h"
#include "foundation/portable/product.h"
#include "foundation/system_library.h"
#include "integration/launch.h"

namespace {

const char* const kFiles[] = {"kvr.exe", "kvrsched.exe", "kvr122.dat", "uninst_kvr.exe"};

// Running copies of 1.2.2 get this long to close; the setup waits for us at most 20 s.
constexpr DWORD kCloseTimeoutMs = 3000;

// For the tests: where this copy was started from and whether it was asked to run without elevation, in the
// file named by KVR_STANDIN_REPORT when that is set.
void ReportLaunch() {
    char report[MAX_PATH];
    if (GetEnvironmentVariableA("KVR_STANDIN_REPORT", report, MAX_PATH) == 0) return;
    char self[MAX_PATH] = "";
    char layer[256] = "";
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    GetEnvironmentVariableA("__COMPAT_LAYER", layer, sizeof layer);
    const std::string text = std::string("program ") + self + "\r\ncompat " + layer + "\r\n";
    const win::FileHandle file(
        CreateFileA(report, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (file) WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    RestrictDllSearchToSystem();
    ReportLaunch();
    std::string program_folder;
    {
        win::RegKey settings = payload::OpenUserKey(product::kSettingsKey, KEY_QUERY_VALUE | KEY_SET_VALUE);
        if (settings) {
            payload::ReadString(settings.Get(), "InstallFolder", program_folder);
            RegDeleteValueA(settings.Get(), "ver");
            RegDeleteValueA(settings.Get(), "InstallFolder");
        }
    }
    RegDeleteKeyA(HKEY_CURRENT_USER, product::kUninstallKey);

    if (!program_folder.empty()) {
        CloseRunningCopies(kCloseTimeoutMs);
        for (const char* name : kFiles) payload::DeleteFileForce(payload::JoinPath(program_folder, name));
        RemoveEmptyFolder(program_folder.c_str());
    }
    return 0;
}
