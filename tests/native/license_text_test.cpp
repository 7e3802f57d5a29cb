// The license agreement's stored form and the year put into it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "wizard/portable/license_text.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

TEST(LicenseText, ScrambledTextReadsBackAndHidesThePlainText) {
    const std::string plain = "Copyright (C) 2004-#YR# from Ostrevik.\r\nAll rights reserved.";
    std::vector<uint8_t> stored;
    ASSERT_TRUE(ScrambleText(Bytes(plain), license::kKey, stored));
    ASSERT_EQ(stored.size(), plain.size() + 1);
    EXPECT_EQ(stored.back(), 0);
    EXPECT_EQ(std::string(stored.begin(), stored.end()).find("Ostrevik"), std::string::npos);
    EXPECT_EQ(std::string(stored.begin(), stored.end() - 1).find('\0'), std::string::npos);
    EXPECT_STREQ(UnscrambleText(stored.data(), static_cast<uint32_t>(stored.size()), license::kKey).c_str(),
                 plain.c_str());
}

TEST(LicenseText, TextsThatWouldEndEarlyAreRefused) {
    for (const std::string& plain : {std::string("before\0after", 12), std::string("a") + char(license::kKey)}) {
        std::vector<uint8_t> stored = {1, 2, 3};
        EXPECT_FALSE(ScrambleText(Bytes(plain), license::kKey, stored));
        EXPECT_EQ(stored, (std::vector<uint8_t>{1, 2, 3}));
    }
}

TEST(LicenseText, UnscramblingStopsAtTheFirstZeroOrTheEndOfTheData) {
    const uint8_t key = 0x5A;
    const uint8_t withZero[] = {'O' ^ key, 'K' ^ key, 0, 'X' ^ key};
    EXPECT_STREQ(UnscrambleText(withZero, sizeof withZero, key).c_str(), "OK");
    // A resource without its terminator is read up to its end, not beyond.
    const uint8_t unterminated[] = {'N' ^ key, 'O' ^ key};
    EXPECT_STREQ(UnscrambleText(unterminated, sizeof unterminated, key).c_str(), "NO");
    EXPECT_STREQ(UnscrambleText(nullptr, 0, key).c_str(), "");
}

TEST(LicenseText, EveryPlaceholderInAnyCaseGetsTheYear) {
    const struct {
        const char* text;
        unsigned year;
        const char* expected;
    } cases[] = {
        {"(C) 2004-#YR# Ostrevik", 2026, "(C) 2004-2026 Ostrevik"},
        {"#yr##Yr#", 2031, "20312031"},
        {"#YR", 2026, "#YR"},
        {"##YR##", 2026, "#2026#"},
        {"no placeholder at all", 2026, "no placeholder at all"},
        {"", 2026, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_STREQ(InsertYear(SetupString(c.text), c.year).c_str(), c.expected);
    }
}

}  // namespace
