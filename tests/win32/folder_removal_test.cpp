// Every folder removal of the setup, run on folders that must survive it: a
// drive's current folder named through "D:" and links to folders.
#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "driver.h"
#include "engine/file_install.h"
#include "engine/folders.h"
#include "engine/install_state.h"
#include "engine/prepare.h"
#include "integration/shortcuts.h"
#include "wizard/install_choices.h"
#include "wizard/path_validation.h"
#include "wizard/wizard.h"

namespace {

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsLink(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// Blocks that Wine's path conversions allocate.
struct HeapBlockFree {
    void operator()(void* block) const { HeapFree(GetProcessHeap(), 0, block); }
};

using UnixNameOf = char*(CDECL*)(LPCWSTR);
using DosNameOf = WCHAR*(CDECL*)(LPCSTR);

template <typename Function>
Function WineFunction(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), name)));
}

bool UnderWine() { return WineFunction<UnixNameOf>("wine_get_unix_file_name") != nullptr; }

std::string UnixPath(const std::string& path) {
    WCHAR wide[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH) == 0) return std::string();
    const std::unique_ptr<char, HeapBlockFree> name(WineFunction<UnixNameOf>("wine_get_unix_file_name")(wide));
    return name ? std::string(name.get()) : std::string();
}

// Starts a unix program with the arguments; Wine runs it but gives no handle to wait for.
bool StartUnixProgram(const char* program, const std::vector<std::string>& arguments) {
    const std::unique_ptr<WCHAR, HeapBlockFree> dosName(WineFunction<DosNameOf>("wine_get_dos_file_name")(program));
    if (!dosName) return false;
    std::string command = program;
    for (const std::string& argument : arguments) command += " \"" + argument + "\"";
    std::vector<WCHAR> wide(command.size() + 1);
    MultiByteToWideChar(CP_ACP, 0, command.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(dosName.get(), wide.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    const win::KernelHandle thread(process.hThread);
    const win::KernelHandle started(process.hProcess);
    return true;
}

// Wine 8 makes no links of its own (CreateSymbolicLinkA succeeds and makes nothing, FSCTL_SET_REPARSE_POINT
// is not supported), but it shows a unix link to a folder as a reparse point, and removing one removes the
// folder it points at. The links here are unix links.
bool MakeFolderLink(const std::string& link, const std::string& target) {
    return StartUnixProgram("/bin/ln", {"-s", UnixPath(target), UnixPath(link)}) &&
           driver::WaitUntil([&] { return IsLink(link); }, 5000);
}

// Removes the folder with its links (the shell's removal would follow them).
void RemoveScratchFolder(const std::string& folder) {
    if (!IsFolder(folder)) return;
    StartUnixProgram("/bin/rm", {"-rf", UnixPath(folder)});
    driver::WaitUntil([&] { return !IsFolder(folder); }, 5000);
}

class FolderRemoval : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH] = "";
        GetTempPathA(MAX_PATH, temp);
        scratch_ = std::string(temp) + "kvr-folder-removal";
        if (UnderWine()) RemoveScratchFolder(scratch_);
        driver::RemoveTree(scratch_);
        ASSERT_TRUE(CreateDirectoryA(scratch_.c_str(), nullptr));
        driver::ResetSetupRegistry();
        g_choices = InstallChoices();
        ResetInstallState();
    }
    void TearDown() override {
        ResetInstallState();
        g_choices = InstallChoices();
        driver::ResetSetupRegistry();
        if (UnderWine()) RemoveScratchFolder(scratch_);
        driver::RemoveTree(scratch_);
    }

    std::string scratch_;
};

// The removals, each given the folder it must leave alone.
struct Removal {
    const char* name;
    std::function<void(const std::string& folder)> run;
};

void RollBackAFileCreatedIn(const std::string& folder) {
    const std::string file = folder + "\\created.txt";
    driver::WriteFileText(file, "installed");
    g_install.backups = new FileBackupRecord[1];
    g_install.backupCount = 1;
    g_install.backups[0].state = kBackupCreated;
    g_install.backups[0].targetPath = file.c_str();
    RestorePreviousFiles(nullptr);
    EXPECT_FALSE(driver::FileExists(file)) << "the rollback deletes what it created";
}

void CleanUpTheOldStartMenuFolder(const std::string& folder, const std::string& dataFolder) {
    driver::SetSetting("instOSMP", folder.c_str());
    g_choices.DataFolder = dataFolder.c_str();
    SetupString error("");
    int32_t glitch = 0;
    EXPECT_EQ(InstallShortcutsStep(nullptr, error, glitch), 1) << error.c_str();
}

std::vector<Removal> Removals(const std::string& scratch) {
    return {
        {"write probe", [](const std::string& folder) { ProbeFolderWritable(folder.c_str()); }},
        {"write probe with a separator", [](const std::string& folder) { ProbeFolderWritable((folder + "\\").c_str()); }},
        {"cancel: data folder",
         [](const std::string& folder) {
             g_choices.DataFolder = folder.c_str();
             RemoveEmptyTargetFolders();
         }},
        {"cancel: program folder",
         [](const std::string& folder) {
             g_choices.InstallFolder = folder.c_str();
             RemoveEmptyTargetFolders();
         }},
        {"rollback", RollBackAFileCreatedIn},
        {"temporary folder",
         [](const std::string& folder) {
             g_choices.TempFolder = (folder + "\\").c_str();
             DeleteBackupsAndTempFolder(true);
         }},
        {"old Start Menu folder",
         [scratch](const std::string& folder) { CleanUpTheOldStartMenuFolder(folder, scratch + "\\Data"); }},
    };
}

TEST_F(FolderRemoval, EveryRemovalLeavesALinkAndTheFolderItPointsAtAlone) {
    if (!UnderWine()) GTEST_SKIP() << "the links are made through Wine";
    int made = 0;
    for (const Removal& removal : Removals(scratch_)) {
        SCOPED_TRACE(removal.name);
        const std::string target = scratch_ + "\\target " + std::to_string(made);
        const std::string link = scratch_ + "\\link " + std::to_string(made++);
        ASSERT_TRUE(CreateDirectoryA(target.c_str(), nullptr));
        ASSERT_TRUE(MakeFolderLink(link, target));
        removal.run(link);
        EXPECT_TRUE(IsLink(link));
        EXPECT_TRUE(IsFolder(target));
        ResetInstallState();
        g_choices = InstallChoices();
    }
}

constexpr char kOwnCurrentFolder[] = "the process's own current folder is on the scratch folder's drive";

bool CurrentFolderIsOnDriveOf(const std::string& path) {
    char current[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, current);
    return std::toupper(static_cast<unsigned char>(current[0])) == std::toupper(static_cast<unsigned char>(path[0]));
}

// Makes `folder` the current folder of the drive of the scratch folder, for a process whose current
// folder is on another drive: then "C:" names `folder`, not the root.
class DriveCurrentFolder {
public:
    explicit DriveCurrentFolder(const std::string& folder) : variable_{'=', folder[0], ':', '\0'} {
        SetEnvironmentVariableA(variable_, folder.c_str());
    }
    DriveCurrentFolder(const DriveCurrentFolder&) = delete;
    DriveCurrentFolder& operator=(const DriveCurrentFolder&) = delete;
    ~DriveCurrentFolder() { SetEnvironmentVariableA(variable_, nullptr); }

private:
    char variable_[4];
};

TEST_F(FolderRemoval, ADriveNameLeavesTheDrivesEmptyCurrentFolderAlone) {
    if (CurrentFolderIsOnDriveOf(scratch_)) GTEST_SKIP() << kOwnCurrentFolder;
    const std::string drive = scratch_.substr(0, 2);
    const std::string folder = scratch_ + "\\current";
    const struct {
        const char* name;
        std::function<void()> run;
    } cases[] = {
        {"write probe of the root", [&] { ProbeFolderWritable((drive + "\\").c_str()); }},
        {"write probe of the drive name", [&] { ProbeFolderWritable(drive.c_str()); }},
        {"cancel: program folder the drive name",
         [&] {
             g_choices.InstallFolder = drive.c_str();
             RemoveEmptyTargetFolders();
         }},
        {"cancel: data folder the root",
         [&] {
             g_choices.DataFolder = (drive + "\\").c_str();
             RemoveEmptyTargetFolders();
         }},
    };
    DriveCurrentFolder current(folder);
    char resolved[MAX_PATH] = "";
    GetFullPathNameA(drive.c_str(), MAX_PATH, resolved, nullptr);
    ASSERT_EQ(std::string(resolved), folder + "\\") << "the system completes the drive name from its variable";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CreateDirectoryA(folder.c_str(), nullptr);
        ASSERT_TRUE(IsFolder(folder));
        c.run();
        EXPECT_TRUE(IsFolder(folder));
        g_choices = InstallChoices();
    }
}

TEST_F(FolderRemoval, RemoveEmptyFolderTakesOnlyEmptyFoldersNamedInFull) {
    if (CurrentFolderIsOnDriveOf(scratch_)) GTEST_SKIP() << kOwnCurrentFolder;
    const std::string empty = scratch_ + "\\empty";
    const std::string full = scratch_ + "\\full";
    const std::string below = scratch_ + "\\current\\below";
    for (const std::string& folder : {empty, full, scratch_ + "\\current", below})
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    driver::WriteFileText(full + "\\kept.txt", "kept");
    DriveCurrentFolder current(scratch_ + "\\current");
    const struct {
        std::string path;
        bool removed;
        std::string folder;
    } cases[] = {
        {full, false, full},
        {scratch_.substr(0, 2) + "below", false, below},  // below the drive's current folder
        {empty + "\\", true, empty},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(RemoveEmptyFolder(c.path.c_str()), c.removed);
        EXPECT_EQ(IsFolder(c.folder), !c.removed);
    }
}

}  // namespace
