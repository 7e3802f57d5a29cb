#include "integration/portable/install_records.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <string>

#include "integration/portable/referrer_scramble.h"

namespace {

TEST(UninstallEntry, SixValuesWithTheUninstallerPathQuoted) {
    const auto values = UninstallEntryValues("C:\\Users\\Ann Lee\\Korvane");
    const char* names[] = {"DisplayName", "UninstallString", "Contact", "Publisher", "DisplayVersion", "HelpLink"};
    for (size_t i = 0; i < values.size(); ++i) EXPECT_STREQ(values[i].name, names[i]) << i;
    EXPECT_STREQ(values[0].value.c_str(), "Korvane");
    EXPECT_STREQ(values[1].value.c_str(), "\"C:\\Users\\Ann Lee\\Korvane\\uninst_kvr.exe\"");
    EXPECT_STREQ(values[2].value.c_str(), "support@ostrevik-audio.example");
    EXPECT_STREQ(values[3].value.c_str(), "www.ostrevik-audio.example");
    EXPECT_STREQ(values[4].value.c_str(), "1.2.3");
    EXPECT_STREQ(values[5].value.c_str(), "https://www.ostrevik-audio.example/kvr");
    // A folder already ending in a separator gets no second one.
    EXPECT_STREQ(UninstallEntryValues("D:\\K\\")[1].value.c_str(), "\"D:\\K\\uninst_kvr.exe\"");
}

TEST(AppsEntry, TenValuesAfterTheSixInTheirOrder) {
    const auto values = AppsEntryValues("C:\\Users\\Ann Lee\\Korvane\\", 2049, 2026, 3, 7);
    const struct {
        const char* name;
        bool isNumber;
        const char* text;
        uint32_t number;
    } expected[] = {
        {"DisplayIcon", false, "\"C:\\Users\\Ann Lee\\Korvane\\kvr.exe\",0", 0},
        {"InstallLocation", false, "C:\\Users\\Ann Lee\\Korvane", 0},
        {"EstimatedSize", true, "", 3},  // 2049 bytes: two kilobytes and one byte more
        {"InstallDate", false, "20260307", 0},
        {"VersionMajor", true, "", 1},
        {"VersionMinor", true, "", 2},
        {"NoModify", true, "", 1},
        {"NoRepair", true, "", 1},
        {"URLInfoAbout", false, "https://www.ostrevik-audio.example/kvr", 0},
        {"QuietUninstallString", false, "\"C:\\Users\\Ann Lee\\Korvane\\uninst_kvr.exe\" /S", 0},
    };
    ASSERT_EQ(values.size(), std::size(expected));
    for (size_t i = 0; i < values.size(); ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_STREQ(values[i].name, expected[i].name);
        EXPECT_EQ(values[i].isNumber, expected[i].isNumber);
        if (expected[i].isNumber) {
            EXPECT_EQ(values[i].number, expected[i].number);
        } else {
            EXPECT_STREQ(values[i].text.c_str(), expected[i].text);
        }
    }
    // Sizes round up to whole kilobytes; nothing installed is nothing.
    const struct {
        uint64_t bytes;
        uint32_t kilobytes;
    } sizes[] = {{0, 0}, {1, 1}, {1024, 1}, {1025, 2}, {2436646, 2380}, {uint64_t{1} << 50, UINT32_MAX}};
    for (const auto& size : sizes)
        EXPECT_EQ(AppsEntryValues("C:\\K", size.bytes, 2026, 12, 31)[2].number, size.kilobytes) << size.bytes;
}

TEST(ReferrerFields, SplitAtTheFirstTwoSeparators) {
    const std::string ff(1, '\xFF');
    struct Case {
        std::string text;
        const char* first;
        const char* second;
        std::string third;
    };
    const Case cases[] = {
        {"", "", "", ""},
        {"alpha", "alpha", "", ""},
        {"alpha" + ff + "beta", "alpha", "beta", ""},
        {"a" + ff + "b" + ff + "c", "a", "b", "c"},
        {"a" + ff + "b" + ff + "c" + ff + "d", "a", "b", "c" + ff + "d"},
        {ff + ff, "", "", ""},
    };
    for (const Case& c : cases) {
        SetupString one("x"), two("x"), three("x");
        SplitReferrerFields(c.text.c_str(), one, two, three);
        EXPECT_STREQ(one.c_str(), c.first) << c.text;
        EXPECT_STREQ(two.c_str(), c.second) << c.text;
        EXPECT_EQ(std::string(three.c_str()), c.third) << c.text;
    }
}

TEST(ReferrerFields, ScrambledFieldReadsBack) {
    const SetupString scrambled = ScrambleReferrerField("partner-42");
    EXPECT_EQ(scrambled.Length(), 10u);
    EXPECT_STRNE(scrambled.c_str(), "partner-42");
    EXPECT_EQ(DescrambleReferrerText(scrambled.c_str()), "partner-42");
    EXPECT_STREQ(ScrambleReferrerField("").c_str(), "");
}

}  // namespace
