// Folders and files made new for what the setup runs or restores: nothing that
// exists already is used, and a locked file cannot be changed until it is let go.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "driver.h"
#include "engine/fresh_folder.h"

namespace {

// Names the first draw after a folder that exists already, every later draw after its number of the call.
int g_draws = 0;
SetupString TakenThenFree(uint32_t) {
    SetupString name;
    if (g_draws++ == 0) {
        name = "taken";
    } else {
        name.Format("free-%d", g_draws);
    }
    return name;
}

TEST(FreshFolder, AFolderThatExistsIsNeverUsed) {
    const std::string scratch = driver::ScratchFolder("kvr-fresh");
    ASSERT_TRUE(CreateDirectoryA((scratch + "\\taken").c_str(), nullptr));
    ASSERT_TRUE(driver::WriteFileText(scratch + "\\taken\\planted.exe", "planted"));
    g_draws = 0;
    SetupString created;
    ASSERT_EQ(CreateFreshFolder(WithTrailingSeparator(scratch.c_str()), TakenThenFree, created), 0u);
    EXPECT_EQ(std::string(created.c_str()), scratch + "\\free-2\\");
    EXPECT_TRUE(driver::IsFolder(scratch + "\\free-2"));
    EXPECT_EQ(driver::ReadFileText(scratch + "\\taken\\planted.exe"), "planted");

    // A parent that cannot hold folders gives the system's error, not a folder elsewhere.
    ASSERT_TRUE(driver::WriteFileText(scratch + "\\file", "x"));
    EXPECT_NE(CreateFreshFolder(WithTrailingSeparator((scratch + "\\file").c_str()), TakenThenFree, created), 0u);
    driver::RemoveTree(scratch);
}

TEST(FreshFolder, LockedFileCannotBeChangedReplacedOrDeletedUntilLetGo) {
    const std::string scratch = driver::ScratchFolder("kvr-locked");
    const std::string path = scratch + "\\program.exe";
    const std::string bytes = "MZ the program";
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    const auto size = static_cast<uint32_t>(bytes.size());

    win::FileHandle locked;
    ASSERT_EQ(WriteLockedFile(path.c_str(), data, size, locked), 0u);
    ASSERT_TRUE(locked.Valid());
    EXPECT_EQ(driver::ReadFileText(path), bytes) << "others may still read it (and run it)";
    const win::FileHandle writer(
        CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(writer.Valid());
    EXPECT_FALSE(DeleteFileA(path.c_str()));
    EXPECT_FALSE(MoveFileA(path.c_str(), (scratch + "\\moved.exe").c_str()));
    locked.Reset();
    EXPECT_TRUE(DeleteFileA(path.c_str()));

    // An existing file is never written over.
    ASSERT_TRUE(driver::WriteFileText(path, "planted"));
    LockedFileStep failed = LockedFileStep::Lock;
    EXPECT_EQ(WriteLockedFile(path.c_str(), data, size, locked, &failed), static_cast<DWORD>(ERROR_FILE_EXISTS));
    EXPECT_EQ(failed, LockedFileStep::Create);
    EXPECT_FALSE(locked.Valid());
    EXPECT_EQ(driver::ReadFileText(path), "planted");
    driver::RemoveTree(scratch);
}

}  // namespace
