#include "startup/portable/command_line_rules.h"

#include <gtest/gtest.h>

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

TEST(CommandLine, HelpTextNamesTheProductAndBothOptions) {
    EXPECT_STREQ(CommandLineHelpText().c_str(),
                 "Korvane Installation Routine:\n(Command line parameters)\n=======================\n\n/help - Show "
                 "help window;\n/temp [PATH] - Specify temporary folder.");
}

}  // namespace
