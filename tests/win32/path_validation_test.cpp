#include "wizard/path_validation.h"

#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <string>

#include "driver.h"

namespace {

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
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
    CloseHandle(CreateFileA(kept.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    EXPECT_TRUE(ProbeFolderWritable(folder.c_str()));
    EXPECT_TRUE(driver::FileExists(kept));
    driver::RemoveTree(base);
}

TEST(ProbeFolderWritable, AFileWhereAFolderShouldBeMakesItUnwritable) {
    const std::string base = driver::ScratchFolder("kvr-probe-blocked");
    const std::string blocker = base + "\\blocker";
    CloseHandle(CreateFileA(blocker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    EXPECT_FALSE(ProbeFolderWritable((blocker + "\\Korvane").c_str()));
    EXPECT_FALSE(IsFolder(blocker));
    driver::RemoveTree(base);
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
