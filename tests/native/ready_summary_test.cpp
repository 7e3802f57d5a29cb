#include "wizard/portable/ready_summary.h"

#include <gtest/gtest.h>

namespace {

constexpr char kFolders[] =
    "The Program Location:\r\n    C:\\users\\me\\Korvane\r\n\r\n"
    "Recording & Data Folder Location:\r\n    C:\\users\\me\\My Music\\Korvane Recordings\r\n\r\n";

InstallChoices Chosen(bool startMenu, int desktop, int quickLaunch) {
    InstallChoices choices;
    choices.InstallFolder = "C:\\users\\me\\Korvane";
    choices.DataFolder = "C:\\users\\me\\My Music\\Korvane Recordings";
    if (startMenu) {
        choices.StartMenuFolder = "Programs\\Korvane";
        choices.StartMenuPath = "C:\\users\\me\\Start Menu\\Programs\\Korvane\\";
        choices.CreateStartMenuFolder = 1;
    }
    choices.DesktopIcon = desktop;
    choices.QuickLaunchIcon = quickLaunch;
    return choices;
}

TEST(ReadySummary, ListsTheStoredChoicesInOrder) {
    const std::string folders = kFolders;
    const std::string startMenu = "Create Start Menu folder:\r\n    Programs\\Korvane\r\n\r\n";
    const std::string icons = "Additional tasks:\r\n    Additional icons:\r\n";
    struct Case {
        InstallChoices choices;
        std::string summary;
    } cases[] = {
        {Chosen(false, 0, 0), folders},
        {Chosen(true, 0, 0), folders + startMenu},
        {Chosen(false, 0, 1), folders + icons + "      Create a Quick Launch icon\r\n"},
        {Chosen(true, 1, 0), folders + startMenu + icons + "      Create a desktop icon\r\n"},
        {Chosen(true, 1, 1),
         folders + startMenu + icons + "      Create a desktop icon\r\n      Create a Quick Launch icon\r\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(ReadySummary(c.choices).c_str(), c.summary);
}

TEST(ReadySummary, ShowsTheStartMenuFolderOnlyWhenItIsToBeCreated) {
    InstallChoices choices = Chosen(false, 0, 0);
    choices.StartMenuFolder = "Programs\\Korvane";  // a stale name without the flag is not shown
    EXPECT_STREQ(ReadySummary(choices).c_str(), kFolders);
}

TEST(ReadySummary, PercentSignsInFoldersAreShownAsTyped) {
    InstallChoices choices = Chosen(false, 0, 0);
    choices.InstallFolder = "C:\\100%s\\%d";
    EXPECT_NE(std::string(ReadySummary(choices).c_str()).find("    C:\\100%s\\%d\r\n"), std::string::npos);
}

}  // namespace
