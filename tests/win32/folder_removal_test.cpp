// Every folder removal of the setup, run on folders that must survive it: a
// drive's current folder named through "D:" and links to folders.
#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <string>
#include <vector>

#include "driver.h"
#include "user_registry.h"
#include "engine/file_install.h"
#include "engine/portable/install_state.h"
#include "engine/prepare.h"
#include "foundation/folders.h"
#include "foundation/portable/install_choices.h"
#include "integration/shortcuts.h"
#include "wizard/path_validation.h"
#include "wizard/wizard.h"

namespace {

class FolderRemoval : public ::testing::Test {
protected:
    void SetUp() override {
        scratch_ = driver::TempFolder() + "kvr-folder-removal";
        driver::RemoveTreeWithLinks(scratch_);
        ASSERT_TRUE(CreateDirectoryA(scratch_.c_str(), nullptr));
        driver::ResetSetupRegistry();
        g_choices = InstallChoices();
        ResetInstallState();
    }
    void TearDown() override {
        ResetInstallState();
        g_choices = InstallChoices();
        driver::ResetSetupRegistry();
        driver::RemoveTreeWithLinks(scratch_);
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
    EXPECT_EQ(InstallShortcutsStep({nullptr, error, glitch, InstallCancellable}), 1) << error.c_str();
}

std::vector<Removal> Removals(const std::string& scratch) {
    return {
        {"write probe", [](const std::string& folder) { ProbeFolderWritable(folder.c_str()); }},
        {"write probe with a separator",
         [](const std::string& folder) { ProbeFolderWritable((folder + "\\").c_str()); }},
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
    if (!driver::UnderWine()) GTEST_SKIP() << "the links are made through Wine";
    int made = 0;
    for (const Removal& removal : Removals(scratch_)) {
        SCOPED_TRACE(removal.name);
        const std::string target = scratch_ + "\\target " + std::to_string(made);
        const std::string link = scratch_ + "\\link " + std::to_string(made++);
        ASSERT_TRUE(CreateDirectoryA(target.c_str(), nullptr));
        ASSERT_TRUE(driver::MakeFolderLink(link, target));
        removal.run(link);
        EXPECT_TRUE(driver::IsReparsePoint(link));
        EXPECT_TRUE(driver::IsFolder(target));
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
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    DriveCurrentFolder current(folder);
    char resolved[MAX_PATH] = "";
    GetFullPathNameA(drive.c_str(), MAX_PATH, resolved, nullptr);
    ASSERT_EQ(std::string(resolved), folder + "\\") << "the system completes the drive name from its variable";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CreateDirectoryA(folder.c_str(), nullptr);
        ASSERT_TRUE(driver::IsFolder(folder));
        c.run();
        EXPECT_TRUE(driver::IsFolder(folder));
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
        EXPECT_EQ(driver::IsFolder(c.folder), !c.removed);
    }
}

}  // namespace
