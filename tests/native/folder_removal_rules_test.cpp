#include "engine/folder_removal_rules.h"

#include <gtest/gtest.h>

namespace {

TEST(IsRemovableFolderPath, OnlyFoldersBelowARootOfTheirOwn) {
    struct Case {
        const char* path;
        bool removable;
    } cases[] = {
        // Folders below a drive root or a share, with either separator and trailing ones.
        {"C:\\Korvane", true},
        {"c:/Users/Ann/Korvane Data", true},
        {"D:\\Data\\", true},
        {"D:\\Data//", true},
        {"D:\\\\Data", true},
        {"\\\\server\\share\\folder", true},
        {"//server/share/folder/", true},
        {"C:\\x.y\\.hidden \\a b", true},
        // Drive roots and what is left of them without the separator.
        {"C:\\", false},
        {"C:/", false},
        {"C:", false},
        {"z:\\\\", false},
        {"C:\\/", false},
        // Share roots and incomplete shares.
        {"\\\\server\\share", false},
        {"\\\\server\\share\\", false},
        {"//server/share/", false},
        {"\\\\server", false},
        {"\\\\server\\", false},
        {"\\\\", false},
        {"\\\\\\server\\share\\folder", false},
        {"\\\\server\\\\share\\folder", false},
        // Drive-relative: the drive's current folder and folders below it.
        {"D:foo", false},
        {"D:foo\\bar", false},
        // Relative to the current folder, or to the current drive's root.
        {"Korvane", false},
        {"Programs\\Korvane", false},
        {".\\Korvane", false},
        {"\\Korvane", false},
        {"/Korvane", false},
        {".", false},
        {"..", false},
        // Elements that climb or vanish: the folder removed could be a root.
        {"D:\\..", false},
        {"D:\\x\\..", false},
        {"D:\\x\\.\\", false},
        {"D:\\...", false},
        {"D:\\ ", false},
        {"\\\\server\\..\\folder", false},
        // Device paths, streams, blanks, nothing.
        {"\\\\?\\C:\\Korvane", false},
        {"\\\\.\\C:\\Korvane", false},
        {"C:\\Korvane:stream", false},
        {"1:\\Korvane", false},
        {" C:\\Korvane", false},
        {"", false},
        {"\\", false},
        {nullptr, false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsRemovableFolderPath(c.path), c.removable) << (c.path ? c.path : "(null)");
}

TEST(LengthWithoutTrailingSeparators, DropsEverySeparatorThatEndsThePath) {
    struct Case {
        const char* path;
        size_t length;
    } cases[] = {
        {"C:\\Data", 7}, {"C:\\Data\\", 7}, {"C:\\Data\\/\\", 7}, {"C:\\", 2}, {"\\\\", 0}, {"", 0}, {nullptr, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LengthWithoutTrailingSeparators(c.path), c.length) << (c.path ? c.path : "(null)");
}

}  // namespace
