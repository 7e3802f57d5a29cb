#include "foundation/portable/folder_removal_rules.h"

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

// The rule for a Start Menu folder name typed on its page: it is joined to the user's Start Menu.
TEST(StaysInsideFolder, RefusesNamesThatClimbOutOrAreRooted) {
    struct Case {
        const char* name;
        bool inside;
    } cases[] = {
        {"Korvane", true},
        {"Korvane\\Tools", true},
        {"My Apps\\Korvane", true},
        {"Programs\\Korvane", true},
        {"Programs/Korvane/", true},
        {"Programs\\\\Korvane\\", true},  // doubled and trailing separators count as one
        {"Korvane 1.2.3", true},
        {"..Korvane", true},
        {".hidden", true},
        // Elements that the system reads as "..", with either separator and blanks or dots around them.
        {"..", false},
        {"..\\Startup", false},
        {"../Startup", false},
        {"..\\..\\Desktop", false},
        {"Programs\\..\\..\\Desktop", false},
        {".. \\Startup", false},
        {" ..\\Startup", false},
        {"...\\Startup", false},
        {". .\\Startup", false},
        {"Korvane\\..", false},
        {"Korvane\\...", false},
        {"Korvane/../..", false},
        // "." and blank elements, which vanish.
        {".", false},
        {"Korvane\\.\\Tools", false},
        {"Korvane\\ \\Tools", false},
        // Rooted, on a drive, on a share, a device or a stream.
        {"\\Startup", false},
        {"/Startup", false},
        {"\\\\server\\share", false},
        {"//server/share/Korvane", false},
        {"C:x", false},
        {"C:\\x", false},
        {"C:", false},
        {"\\\\?\\C:\\x", false},
        {"Korvane:stream", false},
        {"Programs\\Korvane?", false},
        // Nothing to join.
        {"", false},
        {" ", false},
        {nullptr, false},
    };
    for (const Case& c : cases) EXPECT_EQ(StaysInsideFolder(c.name), c.inside) << (c.name ? c.name : "(null)");
}

TEST(LiesStrictlyBelow, OnlyPlainElementsBelowTheWholeFolderName) {
    constexpr char kPrograms[] = "C:\\Users\\me\\Start Menu\\Programs";
    struct Case {
        const char* path;
        const char* folder;
        bool below;
    } cases[] = {
        {"C:\\Users\\me\\Start Menu\\Programs\\Korvane", kPrograms, true},
        {"c:\\users\\ME\\start menu\\programs\\Korvane\\", kPrograms, true},
        {"C:\\Users\\me\\Start Menu\\Programs\\Korvane\\Tools", "C:\\Users\\me\\Start Menu\\Programs\\", true},
        // The folder itself, what lies above it, and a sibling that begins with its name.
        {"C:\\Users\\me\\Start Menu\\Programs", kPrograms, false},
        {"C:\\Users\\me\\Start Menu\\Programs\\\\", kPrograms, false},
        {"C:\\Users\\me\\Start Menu", kPrograms, false},
        {"C:\\Users\\me\\Start Menu\\Programs Old\\Korvane", kPrograms, false},
        {"C:\\Users\\me\\Start Menu\\ProgramsKorvane", kPrograms, false},
        // Elements that climb, vanish or name a stream.
        {"C:\\Users\\me\\Start Menu\\Programs\\..\\Korvane", kPrograms, false},
        {"C:\\Users\\me\\Start Menu\\Programs\\Korvane\\..", kPrograms, false},
        {"C:\\Users\\me\\Start Menu\\Programs\\.\\Korvane", kPrograms, false},
        {"C:\\Users\\me\\Start Menu\\Programs\\...", kPrograms, false},
        {"C:\\Users\\me\\Start Menu\\Programs\\ ", kPrograms, false},
        {"C:\\Users\\me\\Start Menu\\Programs\\\\Korvane", kPrograms, false},
        {"C:\\Users\\me\\Start Menu\\Programs\\Korvane:x", kPrograms, false},
        // No folder to be below.
        {"C:\\Korvane", "", false},
        {"\\Korvane", "\\", false},
        {"", kPrograms, false},
        {nullptr, kPrograms, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LiesStrictlyBelow(c.path, c.folder), c.below) << (c.path ? c.path : "(null)") << " / " << c.folder;
}

TEST(IsSameFolderPath, IgnoresCaseAndTrailingSeparatorsOnly) {
    struct Case {
        const char* a;
        const char* b;
        bool same;
    } cases[] = {
        {"C:\\Users\\me\\Korvane", "c:\\users\\ME\\korvane\\", true},
        {"C:\\Korvane\\\\", "C:\\Korvane/", true},
        {"C:\\Korvane", "C:\\Korvane2", false},
        {"C:\\Korvane", "C:\\Korvan", false},
        {"C:\\Korvane", "C:\\Korvane\\x", false},
        {"C:/Korvane", "C:\\Korvane", false},  // the system has made both full paths with one separator
        {"", "", false},
        {"\\", "\\\\", false},
        {nullptr, nullptr, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsSameFolderPath(c.a, c.b), c.same) << (c.a ? c.a : "(null)") << " / " << (c.b ? c.b : "(null)");
}

}  // namespace
