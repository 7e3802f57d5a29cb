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
#include "engine/folders.h"
#include "foundation/product.h"

namespace {

const char* const kFiles[] = {"kvr.exe", "kvrsched.exe", "kvr122.dat", "uninst_kvr.exe"};

// Running copies of 1.2.2 get this long to close; the setup waits for us at most 20 s.
constexpr DWORD kCloseTimeoutMs = 3000;

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    std::string program_folder;
    {
        payload::RegKey settings = payload::OpenUserKey(product::kSettingsKey, KEY_QUERY_VALUE | KEY_SET_VALUE);
        if (settings) {
            payload::ReadString(settings.get(), "InstallFolder", program_folder);
            RegDeleteValueA(settings.get(), "ver");
            RegDeleteValueA(settings.get(), "InstallFolder");
        }
    }
    RegDeleteKeyA(HKEY_CURRENT_USER, product::kUninstallKey);

    if (!program_folder.empty()) {
        payload::CloseRunningCopies(kCloseTimeoutMs);
        for (const char* name : kFiles) payload::DeleteFileForce(payload::JoinPath(program_folder, name));
        RemoveEmptyFolder(program_folder.c_str());
    }
    return 0;
}
