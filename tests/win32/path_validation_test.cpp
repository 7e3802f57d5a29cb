#include "wizard/path_validation.h"

#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <string>

#include "driver.h"
#include "foundation/portable/install_choices.h"
#include "foundation/portable/product.h"
#include "foundation/win_handles.h"
#include "integration/contained_folders.h"
#include "shell_items.h"

namespace {

using driver::IsFolder;
using driver::SpecialFolder;

TEST(IsOwnStartMenuFolder, OnlyStrictlyBelowTheStartMenuNotProgramsAndOutsideStartupOnceMadeFull) {
    const std::string startMenu = SpecialFolder(CSIDL_STARTMENU);
    const std::string programs = SpecialFolder(CSIDL_PROGRAMS);
    const std::string startup = SpecialFolder(CSIDL_STARTUP);
    ASSERT_FALSE(programs.empty());
    ASSERT_EQ(programs.rfind(startMenu + "\\", 0), 0u) << "Programs lies below the Start Menu: " << programs;
    ASSERT_EQ(startup.rfind(programs + "\\", 0), 0u) << "Startup lies below Programs: " << startup;
    std::string shouting = programs;
    CharUpperA(&shouting[0]);
    struct Case {
        std::string folder;
        bool own;
    } cases[] = {
        {programs + "\\Korvane", true},
        {programs + "\\Korvane\\", true},
        {programs + "\\My Apps\\Korvane", true},
        {programs + "/Korvane/Tools/", true},
        {shouting + "\\Korvane", true},
        {programs + "\\Tools\\..\\Korvane", true},  // the full path lies below Programs
        {startMenu + "\\Korvane", true},                // beside Programs, as the page allows
        {programs + "\\..\\Startup", true},             // a folder of that name in the Start Menu, not Startup
        {startMenu, false},
        {startMenu + "\\", false},
        {programs, false},
        {programs + "\\", false},
        {programs + "\\.", false},
        {programs + "\\Korvane\\..", false},
        {programs + "\\..\\..\\Desktop", false},
        {startMenu + "\\..\\Korvane", false},
        {programs + "\\...\\Korvane", false},
        {startup, false},
        {startup + "\\", false},
        {startup + " ", false},
        {startup + "\\Korvane", false},
        {SpecialFolder(CSIDL_DESKTOPDIRECTORY), false},
        {SpecialFolder(CSIDL_PERSONAL) + "\\Korvane", false},
        {"Korvane", false},  // completed from the current folder
        {"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsOwnStartMenuFolder(c.folder.c_str()), c.own) << c.folder;
}

TEST(IsSameFullPath, ComparesTheFullPathsTheSystemMakes) {
    struct Case {
        const char* a;
        const char* b;
        bool same;
    } cases[] = {
        {"C:\\Korvane\\Files", "c:/korvane/FILES/", true},
        {"C:\\Korvane\\.\\Files", "C:\\Korvane\\Files", true},
        {"C:\\Korvane\\Old\\..\\Files", "C:\\Korvane\\Files\\\\", true},
        {"C:\\Korvane\\Files", "C:\\Korvane\\Files2", false},
        {"C:\\Korvane\\Files", "C:\\Korvane", false},
        {"C:\\Korvane\\Files", "D:\\Korvane\\Files", false},
        {"", "", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsSameFullPath(c.a, c.b), c.same) << c.a << " / " << c.b;
}

TEST(GetDriveTypeOfPath, LooksUpTheRootOfADriveNameOnly) {
    char windows[MAX_PATH] = "";
    GetWindowsDirectoryA(windows, MAX_PATH);  // on the system's fixed disk
    struct Case {
        std::string path;
        int type;
    } cases[] = {
        {windows, DRIVE_FIXED},
        {std::string(windows, 2), DRIVE_FIXED},  // "C:" alone
        {std::string(windows, 2) + "Windows", 0},
        {"\\\\server\\share\\folder", 0},
        {"Korvane", 0},
        {"", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(GetDriveTypeOfPath(c.path.c_str()), c.type) << c.path;
}

// The probe makes the missing levels and takes away only the deepest one again.
TEST(ProbeFolderWritable, CreatesMissingLevelsAndRemovesOnlyTheLast) {
    const std::string base = driver::ScratchFolder("kvr-probe");
    const std::string folder = base + "\\one\\two\\three";
    EXPECT_TRUE(ProbeFolderWritable((folder + "\\").c_str()));
    EXPECT_TRUE(IsFolder(base + "\\one\\two"));
    EXPECT_FALSE(IsFolder(folder));
    EXPECT_FALSE(driver::FileExists(folder + "\\__testFile1827382_1"));

    // A folder that holds something stays, and so does what it holds.
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const std::string kept = folder + "\\kept.txt";
    ASSERT_TRUE(driver::WriteFileText(kept, ""));
    EXPECT_TRUE(ProbeFolderWritable(folder.c_str()));
    EXPECT_TRUE(driver::FileExists(kept));
    driver::RemoveTree(base);
}

TEST(ProbeFolderWritable, AFileWhereAFolderShouldBeMakesItUnwritable) {
    const std::string base = driver::ScratchFolder("kvr-probe-blocked");
    const std::string blocker = base + "\\blocker";
    ASSERT_TRUE(driver::WriteFileText(blocker, ""));
    EXPECT_FALSE(ProbeFolderWritable((blocker + "\\Korvane").c_str()));
    EXPECT_FALSE(IsFolder(blocker));
    driver::RemoveTree(base);
}

// The machine-wide probe writes a value where the Settings would go for every user, and takes it away again.
TEST(ProbeMachineWriteAccess, FindsTheRightsAndLeavesNoProbeBehind) {
    const int access = ProbeMachineWriteAccess();
    win::RegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, product::kSettingsKey, 0, KEY_READ, key.Receive()) == ERROR_SUCCESS) {
        EXPECT_NE(RegQueryValueExA(key.Get(), "testValue283712", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    }
    if (driver::UnderWine()) {
        EXPECT_EQ(access, kMachineRegistryWritable | kProgramFilesWritable) << "Wine's user may write everywhere";
    }
}

TEST(SpecialFolderPath, EndsWithOneSeparator) {
    for (int csidl : {CSIDL_PERSONAL, CSIDL_STARTMENU, CSIDL_PROGRAM_FILES}) {
        const std::string path = SpecialFolderPath(csidl).c_str();
        ASSERT_GE(path.size(), 4u) << csidl;
        EXPECT_EQ(path.back(), '\\') << csidl;
        EXPECT_NE(path[path.size() - 2], '\\') << csidl;
        EXPECT_TRUE(IsFolder(path)) << csidl;
    }
}

}  // namespace
