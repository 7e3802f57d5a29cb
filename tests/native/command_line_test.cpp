#include "startup/portable/command_line_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(CommandLine, HelpAndTempFolderTable) {
    struct Case {
        const char* tail;
        bool help;
        bool hasTemp;
        const char* temp;
    } cases[] = {
        {nullptr, false, false, ""},
        {"", false, false, ""},
        {"/?", true, false, ""},
        {"/?x", true, false, ""},
        {"/HELP", true, false, ""},
        {"-Help", true, false, ""},
        {"/helpme", true, false, ""},
        {"-?", true, false, ""},
        {"/", false, false, ""},
        {"/hel", false, false, ""},
        {"help", false, false, ""},
        {"/temp C:\\Temp\\Setup\\", false, true, "C:\\Temp\\Setup"},
        {"/temp", false, true, ""},
        {"/TEMP   ", false, true, ""},
        {"/tempC:\\X", false, true, "C:\\X"},
        {"/temp \"C:\\My Temp\"", false, true, "\"C:\\My Temp\""},
        {"/temp C:\\T /help", false, true, "C:\\T /help"},
        {"  \r\n/temp C:\\T", false, true, "C:\\T"},
        {"/temp C:\\T\\\\", false, true, "C:\\T\\"},
    };
    for (const Case& c : cases) {
        const CommandLineRequest request = InterpretCommandLine(c.tail);
        const char* shown = c.tail ? c.tail : "(null)";
        EXPECT_EQ(request.showHelp, c.help) << shown;
        EXPECT_EQ(request.hasTempFolder, c.hasTemp) << shown;
        EXPECT_STREQ(request.tempFolder.c_str(), c.temp) << shown;
    }
}

TEST(CommandLine, UnattendedFormsAndTheirOptions) {
    struct Case {
        const char* tail;
        SetupMode mode;
        const char* dir;
        const char* data;
        bool noStartMenu;
        bool desktop;
        const char* log;
        bool hasTemp;
        const char* temp;
    } cases[] = {
        {"/silent", SetupMode::Silent, "", "", false, false, "", false, ""},
        {"/PASSIVE", SetupMode::Passive, "", "", false, false, "", false, ""},
        {"  /silent /dir C:\\Korvane\\ /desktop", SetupMode::Silent, "C:\\Korvane", "", false, true, "", false, ""},
        {"/passive /dir \"C:\\Program Files\\Korvane\" /data \"D:\\My Music\" /nostartmenu",
         SetupMode::Passive, "C:\\Program Files\\Korvane", "D:\\My Music", true, false, "", false, ""},
        {"/silent /log \"C:\\Logs\\setup log.txt\" /temp C:\\T \\x /dir y", SetupMode::Silent, "", "", false, false,
         "C:\\Logs\\setup log.txt", true, "C:\\T \\x /dir y"},
        {"/silent /unknown words /desktop", SetupMode::Silent, "", "", false, true, "", false, ""},
        {"/silent /dir", SetupMode::Silent, "", "", false, false, "", false, ""},
        // Only at the start, and only as whole words: other texts keep their meaning.
        {"/silently", SetupMode::Wizard, "", "", false, false, "", false, ""},
        {"/temp C:\\T /silent", SetupMode::Wizard, "", "", false, false, "", true, "C:\\T /silent"},
        {"x /silent", SetupMode::Wizard, "", "", false, false, "", false, ""},
        {"/log C:\\setup.log", SetupMode::Wizard, "", "", false, false, "C:\\setup.log", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tail);
        const CommandLineRequest request = InterpretCommandLine(c.tail);
        EXPECT_EQ(request.mode, c.mode);
        EXPECT_STREQ(request.installFolder.c_str(), c.dir);
        EXPECT_STREQ(request.dataFolder.c_str(), c.data);
        EXPECT_EQ(request.noStartMenuFolder, c.noStartMenu);
        EXPECT_EQ(request.desktopIcon, c.desktop);
        EXPECT_STREQ(request.logFile.c_str(), c.log);
        EXPECT_EQ(request.hasTempFolder, c.hasTemp);
        EXPECT_STREQ(request.tempFolder.c_str(), c.temp);
        EXPECT_FALSE(request.showHelp);
    }
}

TEST(CommandLine, HelpTextKeepsItsLinesAndAddsTheUnattendedForms) {
    const std::string text = CommandLineHelpText().c_str();
    const std::string written =
        "Korvane Installation Routine:\n(Command line parameters)\n=======================\n\n/help - Show "
        "help window;\n/temp [PATH] - Specify temporary folder.\n";
    EXPECT_EQ(text.substr(0, written.size()), written);
    for (const char* form : {"/silent [OPTIONS]", "/passive [OPTIONS]", "accepts the license agreement", "/dir PATH",
                             "/data PATH", "/nostartmenu", "/desktop", "/log PATH"})
        EXPECT_NE(text.find(form), std::string::npos) << form;
}

}  // namespace
