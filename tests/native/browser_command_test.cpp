#include "integration/portable/browser_command.h"

#include <gtest/gtest.h>

namespace {

TEST(BrowserCommand, ReducesTheRegisteredCommandToTheProgram) {
    struct Case {
        const char* command;
        const char* program;
    } cases[] = {
        // Only the program path quoted: exactly that path.
        {"\"C:\\Program Files\\Web\\browser.exe\" -url \"%1\"", "C:\\Program Files\\Web\\browser.exe\" -url \"%1"},
        {"\"C:\\Program Files\\Web\\browser.exe\" %1", "C:\\Program Files\\Web\\browser.exe"},
        // One quotation mark alone: the command unchanged.
        {"C:\\Web\\browser.exe \"%1", "C:\\Web\\browser.exe \"%1"},
        // No quotes: the text before the first space after the last backslash.
        {"C:\\Program Files\\Web\\browser.exe -nohome", "C:\\Program Files\\Web\\browser.exe"},
        {"C:\\Web\\browser.exe", "C:\\Web\\browser.exe"},
        {"browser.exe %1", "browser.exe %1"},
        {"\\browser.exe %1", "\\browser.exe %1"},  // the backslash is the first character
        {"C:\\Web\\ %1", "C:\\Web\\"},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(BrowserProgramFromCommand(SetupString(c.command)).c_str(), c.program) << c.command;
    }
}

TEST(BrowserCommand, MailtoTestIsCaseInsensitiveOverTheAddressLength) {
    struct Case {
        const char* address;
        bool mailto;
    } cases[] = {
        {"mailto:support@example.org", true},
        {"MAILTO:SUPPORT@EXAMPLE.ORG", true},
        {"mail", true},  // shorter than the prefix: compares its own length
        {"https://example.org", false},
        {"C:\\Korvane\\Manual\\index.htm", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsMailtoAddress(c.address), c.mailto) << c.address;
}

TEST(BrowserCommand, AddressesReachTheBrowserAsOneArgument) {
    EXPECT_STREQ(BrowserArgument("C:\\Users\\Jo Smith\\Korvane\\Manual\\index.htm").c_str(),
                 "\"C:\\Users\\Jo Smith\\Korvane\\Manual\\index.htm\"");
    EXPECT_STREQ(VendorPageAddress("download.php?what=kvr").c_str(),
                 "https://www.ostrevik-audio.example/php/download.php?what=kvr");
}

}  // namespace
