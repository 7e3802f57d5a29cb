// uninst_kvr.exe: removes Korvane for the current user.
//
//   uninst_kvr.exe [/S]
//       Run from the program folder (Add/Remove Programs, the Start Menu). Asks
//       for confirmation unless /S is given (the setup's request to close
//       running programs ends the question unanswered), then hands the work to
//       a copy of itself in a new folder of its own below the temporary folder,
//       because a running program cannot delete its own file, and ends.
//   uninst_kvr.exe /remove FOLDER /waitfor HANDLE [/S]
//       The temporary copy: waits for the process HANDLE (inherited) to end,
//       removes the installation from FOLDER and then its own file and folder.
//
// Only what the setup installed goes: the package's files by name (the program
// folder may be one the user chose and may hold the user's own files), the
// folders that become empty, the shortcuts, the uninstall entry and the values
// the setup wrote. The data folder with the recordings is never touched.
//
// Nothing at all goes unless FOLDER is the program folder the setup recorded
// and holds kvr.exe and the original of the running uninstaller: a record that
// names another folder could name one full of the user's own files. The Start
// Menu links go only from a folder below the Programs folder and outside
// Startup, where their generic names are ours alone.
#include <windows.h>

#include <shlobj.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/payload_common.h"
#include "engine/fresh_folder.h"
#include "foundation/folders.h"
#include "foundation/portable/product.h"
#include "foundation/system_library.h"
#include "integration/contained_folders.h"
#include "integration/launch.h"

namespace {

// Stored names of the package, in package order, as the packer received them.
const char* const kPackageFiles[] = {
#include "package_files.inc"
};

// The setup installs the first package file a second time under this name.
constexpr char kSecondCodecProbe[] = "__cdcb.lx";

// Values that the setup writes to the Settings key.
const char* const kSettingValues[] = {
    "SetupPlbkRcFldr",
    "SetupSchdRcFldr",
    "SetupLogFldr",
    "LRplbk",
    "LRschd",
    "ver",
    "InstallFolder",
    "rf1",
    "rf2",
    "rf3",
    "nshbt0",
    "SetupWIChnls",
    "SetupWISmpSz",
    "SetupWISmpRt",
    "SetupSchdRcChn",
    "SetupSchdRcSmSz",
    "SetupSchdRcSmRt",
    "SetupSchdRcSAI",
    "SetupRcCdcType",
    "WOVol",
    "SetupSTAS",
    "instOSMP",
};

const char* const kStartMenuLinks[] = {"Korvane.lnk", "Manual.lnk", "Quick Hardware Setup.lnk", "Uninstall.lnk"};

constexpr char kVendorKey[] = "Software\\from Ostrevik";
constexpr char kProductKey[] = "Software\\from Ostrevik\\Korvane & Scheduler";
constexpr char kCaption[] = "Korvane Uninstall";

// Running copies get this long to close; a file still in use gets this many more tries.
constexpr DWORD kCloseTimeoutMs = 5000;
constexpr int kDeleteTries = 20;
constexpr DWORD kDeleteRetryMs = 100;

// Exit code of a run that removed nothing because the recorded folders are not ours.
constexpr int kRefusedExitCode = 2;

bool g_silent = false;

void Tell(const std::string& text, UINT icon) {
    if (!g_silent) MessageBoxA(nullptr, text.c_str(), kCaption, MB_OK | icon);
}

std::string SpecialFolder(int csidl) {
    char path[MAX_PATH] = "";
    return SUCCEEDED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)) ? path : "";
}

// The bytes of a file; false when it cannot be read whole.
bool ReadWholeFile(const std::string& path, std::string& bytes) {
    const win::FileHandle file(
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.Get(), &size) || size.HighPart != 0) return false;
    bytes.resize(size.LowPart);
    DWORD read = 0;
    return size.LowPart == 0 ||
           (ReadFile(file.Get(), &bytes[0], size.LowPart, &read, nullptr) && read == size.LowPart);
}

// True when `path` holds the bytes of the running program: the temporary copy is a copy of it.
bool IsOriginalOfThisProgram(const std::string& path) {
    std::string theirs;
    std::string ours;
    return ReadWholeFile(path, theirs) && ReadWholeFile(payload::ModulePath(), ours) && theirs == ours;
}

bool IsFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// Why nothing may be removed from `program_folder`, or "" when the removal may go ahead.
std::string RefusalOf(const std::string& program_folder) {
    std::string recorded;
    {
        win::RegKey settings = payload::OpenUserKey(product::kSettingsKey, KEY_QUERY_VALUE);
        if (settings) payload::ReadString(settings.Get(), "InstallFolder", recorded);
    }
    if (recorded.empty()) return "No program folder of Korvane is recorded for this user.\n\nNothing was removed.";
    if (!IsSameFullPath(recorded.c_str(), program_folder.c_str()) ||
        !IsOriginalOfThisProgram(payload::JoinPath(program_folder, product::kUninstaller)))
        return "The recorded program folder does not hold this uninstaller:\n\n" + recorded +
               "\n\nNothing was removed.";
    if (!IsFile(payload::JoinPath(program_folder, product::kMainExecutable)))
        return "The recorded program folder does not hold the program:\n\n" + recorded +
               "\n\nNothing was removed.";
    return std::string();
}

// Says why the removal from `program_folder` is refused, when it is; true then.
bool Refused(const std::string& program_folder) {
    const std::string reason = RefusalOf(program_folder);
    if (!reason.empty()) Tell(reason, MB_ICONERROR);
    return !reason.empty();
}

// Deletes a file, waiting a little for a program that is still closing.
bool DeleteWithRetry(const std::string& path) {
    for (int attempt = 0; attempt < kDeleteTries; ++attempt) {
        if (payload::DeleteFileForce(path)) return true;
        Sleep(kDeleteRetryMs);
    }
    return false;
}

// The package's sub-folders, deepest first ("Quick Setup\pics" before "Quick Setup").
std::vector<std::string> PackageFolders() {
    std::vector<std::string> folders;
    for (const char* name : kPackageFiles) {
        for (std::string folder = payload::FolderOf(name); !folder.empty(); folder = payload::FolderOf(folder))
            if (std::find(folders.begin(), folders.end(), folder) == folders.end()) folders.push_back(folder);
    }
    std::stable_sort(folders.begin(), folders.end(), [](const std::string& a, const std::string& b) {
        return std::count(a.begin(), a.end(), '\\') > std::count(b.begin(), b.end(), '\\');
    });
    return folders;
}

// Removes the package's files and the folders they leave empty; returns the files left behind.
std::vector<std::string> RemoveProgramFiles(const std::string& program_folder) {
    std::vector<std::string> left;
    std::vector<std::string> names(std::begin(kPackageFiles), std::end(kPackageFiles));
    names.push_back(kSecondCodecProbe);
    for (const std::string& name : names) {
        const std::string path = payload::JoinPath(program_folder, name);
        if (!DeleteWithRetry(path)) left.push_back(path);
    }
    for (const std::string& folder : PackageFolders())
        RemoveEmptyFolder(payload::JoinPath(program_folder, folder).c_str());
    RemoveEmptyFolder(program_folder.c_str());  // only when nothing else is in it
    return left;
}

void RemoveShortcuts(const std::string& start_menu_folder) {
    if (!start_menu_folder.empty()) {
        for (const char* link : kStartMenuLinks) DeleteWithRetry(payload::JoinPath(start_menu_folder, link));
        RemoveEmptyFolder(start_menu_folder.c_str());
    }
    const std::string desktop = SpecialFolder(CSIDL_DESKTOPDIRECTORY);
    if (!desktop.empty()) DeleteWithRetry(payload::JoinPath(desktop, "Korvane.lnk"));
    const std::string app_data = SpecialFolder(CSIDL_APPDATA);
    if (!app_data.empty())
        DeleteWithRetry(payload::JoinPath(app_data, "Microsoft\\Internet Explorer\\Quick Launch\\Korvane.lnk"));
}

void RemoveSettings() {
    {
        win::RegKey settings = payload::OpenUserKey(product::kSettingsKey, KEY_SET_VALUE);
        if (settings)
            for (const char* value : kSettingValues) RegDeleteValueA(settings.Get(), value);
    }
    payload::DeleteUserKeyIfEmpty(product::kSettingsKey);
    payload::DeleteUserKeyIfEmpty(product::kInstallerKey);  // the setup leaves it behind empty
    payload::DeleteUserKeyIfEmpty(kProductKey);
    payload::DeleteUserKeyIfEmpty(kVendorKey);
}

// The whole removal. The uninstall entry goes last, so that a removal that was
// cut short can be started again from Add/Remove Programs.
void Uninstall(const std::string& program_folder) {
    CloseRunningCopies(kCloseTimeoutMs);

    std::string start_menu_folder;
    {
        win::RegKey settings = payload::OpenUserKey(product::kSettingsKey, KEY_QUERY_VALUE);
        if (settings) payload::ReadString(settings.Get(), "instOSMP", start_menu_folder);
    }
    if (!IsOwnStartMenuFolder(start_menu_folder.c_str())) start_menu_folder.clear();

    const std::vector<std::string> left = RemoveProgramFiles(program_folder);
    RemoveShortcuts(start_menu_folder);
    RemoveSettings();
    RegDeleteKeyA(HKEY_CURRENT_USER, product::kUninstallKey);

    if (left.empty()) {
        Tell("Korvane has been removed from your computer.\n\nYour recordings are still in the data folder.",
             MB_ICONINFORMATION);
        return;
    }
    std::string text = "Korvane has been removed, but these files could not be deleted:\n";
    for (const std::string& path : left) text += "\n" + path;
    Tell(text + "\n\nPlease delete them yourself.", MB_ICONWARNING);
}

// The folder of the temporary copy: new, below the temporary folder, and recognised by its name when the copy
// removes it.
constexpr char kCopyFolderPrefix[] = "kvruninst-";

SetupString CopyFolderName(uint32_t number) {
    SetupString name;
    name.Format("%s%08X.tmp", kCopyFolderPrefix, static_cast<unsigned>(number));
    return name;
}

// Deletes this temporary copy once it has ended, and the folder made for it: a
// hidden command interpreter waits two seconds and deletes them.
void DeleteOwnFileLater() {
    const std::string self = payload::ModulePath();
    const std::string folder = payload::FolderOf(self);
    const std::string folder_name = folder.substr(folder.find_last_of('\\') + 1);
    const bool own_folder = folder_name.compare(0, sizeof kCopyFolderPrefix - 1, kCopyFolderPrefix) == 0;
    char system_folder[MAX_PATH] = "";
    GetSystemDirectoryA(system_folder, MAX_PATH);
    std::string command = "\"" + payload::JoinPath(system_folder, "cmd.exe") +
                          "\" /c ping -n 3 127.0.0.1 >nul & del /f /q \"" + self + "\"";
    if (own_folder) command += " & rmdir \"" + folder + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW | DETACHED_PROCESS, nullptr,
                       system_folder, &startup, &process)) {
        const win::KernelHandle thread(process.hThread);
        const win::KernelHandle cmd(process.hProcess);
    } else {
        MoveFileExA(self.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
        if (own_folder) MoveFileExA(folder.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    }
}

// The bytes of this program's own file; empty when it cannot be read.
std::string OwnFileBytes() {
    const win::FileHandle file(CreateFileA(payload::ModulePath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    const DWORD size = file ? GetFileSize(file.Get(), nullptr) : INVALID_FILE_SIZE;
    if (size == INVALID_FILE_SIZE) return std::string();
    std::string bytes(size, '\0');
    DWORD read = 0;
    if (!ReadFile(file.Get(), &bytes[0], size, &read, nullptr) || read != size) return std::string();
    return bytes;
}

// Starts the copy `copy_path` on `program_folder`, handing it this process to wait for.
bool StartTemporaryCopy(const std::string& copy_path, const std::string& program_folder, const char* current_folder) {
    HANDLE self = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self, SYNCHRONIZE, TRUE, 0))
        return false;
    const win::KernelHandle inherited(self);
    std::string command = "\"" + copy_path + "\" /remove \"" + program_folder + "\" /waitfor " +
                          std::to_string(reinterpret_cast<UINT_PTR>(self)) + (g_silent ? " /S" : "");
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(copy_path.c_str(), &command[0], nullptr, nullptr, TRUE, 0, nullptr, current_folder, &startup,
                        &process))
        return false;
    const win::KernelHandle thread(process.hThread);
    const win::KernelHandle child(process.hProcess);
    return true;
}

// Copies this program into a new folder of its own below the temporary folder and starts the copy on
// `program_folder`; nobody can change or replace the copy between its writing and its start. False when that
// cannot be done; the caller then removes what it can itself.
bool HandOverToTemporaryCopy(const std::string& program_folder) {
    char temp[MAX_PATH + 1] = "";
    if (!GetTempPathA(sizeof temp, temp)) return false;
    const std::string bytes = OwnFileBytes();
    SetupString folder;
    if (bytes.empty() || CreateFreshFolder(WithTrailingSeparator(temp), CopyFolderName, folder) != 0) return false;
    const std::string copy_path = std::string(folder.c_str()) + "uninst_kvr.exe";
    win::FileHandle locked;
    const bool started = WriteLockedFile(copy_path.c_str(), reinterpret_cast<const uint8_t*>(bytes.data()),
                                         static_cast<uint32_t>(bytes.size()), locked) == 0 &&
                         StartTemporaryCopy(copy_path, program_folder, temp);
    locked.Reset();
    if (!started) {
        DeleteFileA(copy_path.c_str());
        RemoveEmptyFolder(folder.c_str());
    }
    return started;
}

LRESULT CALLBACK CloseRequestProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (payload::HandleCloseRequest(message)) return 0;
    return DefWindowProcA(window, message, wparam, lparam);
}

// A hidden window of a class the setup waits for, while the program folder's copy asks or tells something before
// the removal: the setup's request to close running programs ends the box unanswered, and this file is free.
win::Window CloseRequestWindow(HINSTANCE instance) {
    payload::CloseMessage();  // registered before the window exists, so that no request is missed
    WNDCLASSA window_class{};
    window_class.lpfnWndProc = CloseRequestProc;
    window_class.hInstance = instance;
    window_class.lpszClassName = product::kUninstallerWindowClass;
    RegisterClassA(&window_class);
    return win::Window(CreateWindowExA(0, product::kUninstallerWindowClass, kCaption, WS_POPUP, 0, 0, 0, 0, nullptr,
                                       nullptr, instance, nullptr));
}

// Value that follows `name` in the arguments, or "".
std::string ArgumentAfter(const std::vector<std::string>& args, const char* name) {
    for (size_t i = 0; i + 1 < args.size(); ++i)
        if (lstrcmpiA(args[i].c_str(), name) == 0) return args[i + 1];
    return std::string();
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    RestrictDllSearchToSystem();
    const std::vector<std::string> args = payload::CommandLineArguments();
    g_silent = payload::HasFlag(args, "/S");

    const std::string removal_folder = ArgumentAfter(args, "/remove");
    if (!removal_folder.empty()) {
        const std::string parent = ArgumentAfter(args, "/waitfor");
        if (!parent.empty()) {
            // A handle is pointer-sized: read it back as wide as it was written.
            const auto value = static_cast<UINT_PTR>(std::strtoull(parent.c_str(), nullptr, 10));
            const win::KernelHandle original(reinterpret_cast<HANDLE>(value));
            WaitForSingleObject(original.Get(), 10000);
        }
        // Asked again: the folder comes from a command line. A refused run keeps its own file, which need
        // not be a temporary copy.
        if (Refused(removal_folder)) return kRefusedExitCode;
        Uninstall(removal_folder);
        DeleteOwnFileLater();
        return 0;
    }

    const std::string program_folder = payload::FolderOf(payload::ModulePath());
    {
        const win::Window close_request = CloseRequestWindow(instance);
        if (Refused(program_folder)) return kRefusedExitCode;
        if (!g_silent && MessageBoxA(nullptr,
                                     "Do you want to remove Korvane and all of its components from this computer?\n\n"
                                     "Your recordings in the data folder will be kept.",
                                     kCaption, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
            return 0;
    }
    if (!HandOverToTemporaryCopy(program_folder)) {
        // This copy's own file stays behind; the rest goes.
        Uninstall(program_folder);
    }
    return 0;
}
