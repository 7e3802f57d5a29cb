#include "wizard/portable/folder_rules.h"

#include <gtest/gtest.h>

#include <string>

#include "foundation/portable/install_choices.h"

namespace {

constexpr char kUseBrowse[] = "If you're not sure how to write a path, use Browse button...";
constexpr int kFixed = 3;
constexpr int kBothRights = kMachineRegistryWritable | kProgramFilesWritable;

TEST(HasValidPathCharacters, RefusesWildcardsQuotesRedirectionAndASecondColon) {
    struct Case {
        const char* text;
        bool valid;
    } cases[] = {
        {"C:\\Users\\me\\Korvane", true},
        {"C:/mixed\\separators and spaces", true},
        {"", true},
        {"C:\\a:b", false},
        {"::", false},
        {"C:\\what?", false},
        {"C:\\a|b", false},
        {"C:\\*", false},
        {"C:\\\"quoted\"", false},
        {"C:\\<x>", false},
        {"C:\\x>", false},
        {"relative\\path:", true},  // one colon anywhere is allowed here; the drive test refuses it
    };
    for (const Case& c : cases) EXPECT_EQ(HasValidPathCharacters(c.text), c.valid) << c.text;
}

TEST(DriveRootOfPath, TakesTheFirstElementWhenItEndsWithAColon) {
    struct Case {
        const char* path;
        const char* root;
    } cases[] = {
        {"C:\\Users\\me", "C:\\"},
        {"C:", "C:\\"},
        {"d:/music", "d:\\"},
        {"C:Korvane", ""},                   // a drive name followed directly by a folder name
        {"\\\\server\\share\\Korvane", ""},  // UNC: nothing before the first separator
        {"\\Korvane", ""},
        {"Korvane", ""},
        {"", ""},
        {" C:\\x", " C:\\"},  // what stands before the colon is passed on unchanged
        {"abc:\\x", "abc:\\"},
    };
    for (const Case& c : cases) EXPECT_STREQ(DriveRootOfPath(c.path).c_str(), c.root) << c.path;
}

TEST(DriveRootOfPath, LooksAtTheFirst259CharactersOnly) {
    const std::string longName(258, 'x');
    EXPECT_STREQ(DriveRootOfPath((longName + ":").c_str()).c_str(), (longName + ":\\").c_str());
    EXPECT_STREQ(DriveRootOfPath((longName + "y:").c_str()).c_str(), "");  // the colon is cut away
}

// A folder check with the Destination page's phrases and a probe that records its calls.
class JudgeFolder : public ::testing::Test {
protected:
    FolderVerdict Judge(const char* text, int driveType, bool writable, int ntFamily = 1, int rights = kBothRights) {
        FolderCheck check;
        check.text = text;
        check.pathPhrase = "path for installation";
        check.folderPhrase = "folder where you'd like to install the program";
        check.driveType = driveType;
        check.ntFamilySystem = ntFamily;
        check.machineWriteAccess = rights;
        return JudgeFolderPath(check, [&] {
            ++probes_;
            return writable;
        });
    }
    int probes_ = 0;
};

TEST_F(JudgeFolder, EachFormFailureHasItsMessageAndNeverProbes) {
    struct Case {
        const char* text;
        int driveType;
        std::string message;
    } cases[] = {
        {"", kFixed, "Please specify folder where you'd like to install the program..."},
        {" \t\r\n ", kFixed, "Please specify folder where you'd like to install the program..."},
        {"C:\\a:b", kFixed, std::string("ERROR: Specified path for installation is not valid.\n\n") + kUseBrowse},
        {"C:\\a?", kFixed, std::string("ERROR: Specified path for installation is not valid.\n\n") + kUseBrowse},
        {"\\\\server\\share", 0,
         std::string("ERROR: Specified path is not recognized...\n(A path should start with a drive letter followed "
                     "by the colon and slash.)\n\n") +
             kUseBrowse},
        {"A:\\x", 2,
         "ERROR: You have selected a non-fixed drive.\n\nPlease select a folder on a fixed disk on your local "
         "computer..."},
        {"E:\\x", 5,
         "ERROR: You have selected a non-fixed drive.\n\nPlease select a folder on a fixed disk on your local "
         "computer..."},
        {"Q:\\x", 1, std::string("ERROR: Specified invalid root path.\n") + kUseBrowse},
        {"N:\\x", 4, std::string("ERROR: Specified network drive that cannot be used.\n") + kUseBrowse},
        {"R:\\x", 6, std::string("ERROR: Specified RAM disc drive that cannot be used.\n") + kUseBrowse},
        {"X:\\x", 7, std::string("ERROR: Unspecified. Can't proceed.\n") + kUseBrowse},
        {"X:\\x", -1, std::string("ERROR: Unspecified. Can't proceed.\n") + kUseBrowse},
    };
    for (const Case& c : cases) {
        const FolderVerdict verdict = Judge(c.text, c.driveType, true);
        EXPECT_EQ(verdict.box, FolderBox::Stop) << c.text;
        EXPECT_EQ(verdict.message.c_str(), c.message) << c.text;
    }
    EXPECT_EQ(probes_, 0);
}

TEST_F(JudgeFolder, CharactersAreCheckedBeforeTheDrive) {
    // A text that also holds a bad character and has no drive: the character message wins over the drive's.
    EXPECT_EQ(std::string(Judge("a|b", 0, true).message.c_str()).rfind("ERROR: Specified path for installation", 0),
              0u);
}

TEST_F(JudgeFolder, AWritableFolderOnAFixedDriveIsAccepted) {
    const FolderVerdict verdict = Judge("C:\\Users\\me\\Korvane", kFixed, true);
    EXPECT_EQ(verdict.box, FolderBox::None);
    EXPECT_STREQ(verdict.message.c_str(), "");
    EXPECT_EQ(probes_, 1);
}

TEST_F(JudgeFolder, AnUnwritableFolderIsRefusedOrOfferedAResetByTheUsersRights) {
    constexpr char kCannotWrite[] = "ERROR: Can't write to the specified folder.\nPlease specify another location...";
    constexpr char kReset[] =
        "ERROR: Current user account does not have permissions to write into specified folder.\nWould you like to "
        "reset the folder to a suggested writable one?";
    struct Case {
        int ntFamily;
        int rights;
        FolderBox box;
        const char* message;
    } cases[] = {
        {1, kBothRights, FolderBox::Stop, kCannotWrite},
        {0, 0, FolderBox::Stop, kCannotWrite},
        {0, kMachineRegistryWritable, FolderBox::Stop, kCannotWrite},
        {1, 0, FolderBox::ResetOffer, kReset},
        {1, kMachineRegistryWritable, FolderBox::ResetOffer, kReset},
        {1, kProgramFilesWritable, FolderBox::ResetOffer, kReset},
    };
    for (const Case& c : cases) {
        const FolderVerdict verdict = Judge("C:\\blocked\\Korvane", kFixed, false, c.ntFamily, c.rights);
        EXPECT_EQ(verdict.box, c.box) << c.ntFamily << "/" << c.rights;
        EXPECT_STREQ(verdict.message.c_str(), c.message) << c.ntFamily << "/" << c.rights;
    }
}

TEST_F(JudgeFolder, TheDataFolderPhrasesNameItsPathAndFolder) {
    FolderCheck check;
    check.pathPhrase = "recording & data files folder path";
    check.folderPhrase = "recording & data files folder";
    check.driveType = kFixed;
    check.text = "";
    EXPECT_STREQ(JudgeFolderPath(check, [] { return true; }).message.c_str(),
                 "Please specify recording & data files folder...");
    check.text = "C:\\x\"";
    EXPECT_EQ(std::string(JudgeFolderPath(check, [] { return true; }).message.c_str()),
              std::string("ERROR: Specified recording & data files folder path is not valid.\n\n") + kUseBrowse);
}

TEST(StartMenuNameOfPick, GivesThePickRelativeToTheStartMenuWithTheProgramFolder) {
    constexpr char kStartMenu[] = "C:\\users\\me\\Start Menu";
    struct Case {
        const char* picked;
        const char* name;
    } cases[] = {
        {"C:\\users\\me\\Start Menu", "Korvane"},
        {"C:\\users\\me\\Start Menu\\", "Korvane"},
        {"C:\\users\\me\\Start Menu\\Programs", "Programs\\Korvane"},
        {"c:\\USERS\\me\\start menu\\Programs\\Audio", "Programs\\Audio\\Korvane"},
    };
    for (const Case& c : cases) EXPECT_STREQ(StartMenuNameOfPick(kStartMenu, c.picked).c_str(), c.name) << c.picked;
    EXPECT_STREQ(StartMenuNameOfPick("C:\\users\\me\\Start Menu\\", "C:\\users\\me\\Start Menu\\Games").c_str(),
                 "Games\\Korvane");
}

}  // namespace
