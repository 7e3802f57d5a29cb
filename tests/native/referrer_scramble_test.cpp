#include "integration/portable/referrer_scramble.h"

#include <gtest/gtest.h>

#include <string>

#include "foundation/portable/product.h"

namespace {

using namespace product::referrer;

TEST(ReferrerKey, RunsFromStartToBoundThenCyclesFromRestart) {
    const size_t first_run = kBound - kStart;
    EXPECT_EQ(ReferrerKeyAt(0), kStart);
    EXPECT_EQ(ReferrerKeyAt(first_run - 1), kBound - 1);
    EXPECT_EQ(ReferrerKeyAt(first_run), kRestart);  // reaching the bound restarts, not the start value
    const size_t cycle = kBound - kRestart;
    EXPECT_EQ(ReferrerKeyAt(first_run + cycle - 1), kBound - 1);
    EXPECT_EQ(ReferrerKeyAt(first_run + cycle), kRestart);
    for (size_t i = 0; i < 200; ++i) {
        EXPECT_GE(ReferrerKeyAt(i), kRestart) << i;
        EXPECT_LT(ReferrerKeyAt(i), kBound) << i;
    }
}

TEST(ReferrerScramble, XorsEachByteWithTheRollingKey) {
    const std::string text = "ab";
    const std::string scrambled = ScrambleReferrerText(text);
    ASSERT_EQ(scrambled.size(), 2u);
    EXPECT_EQ(static_cast<unsigned char>(scrambled[0]), 'a' ^ kStart);
    EXPECT_EQ(static_cast<unsigned char>(scrambled[1]), 'b' ^ (kStart + 1));
}

TEST(ReferrerScramble, PrintableTextsKeepTheirLengthAndReadBack) {
    const std::string cases[] = {
        "",
        "x",
        "partner-site.example/landing?id=42",
        std::string(100, 'Z'),               // several key cycles
        "Caf\xe9 \xa9 \xfe\x80 high bytes",  // ANSI characters above 127
    };
    for (const std::string& text : cases) {
        const std::string scrambled = ScrambleReferrerText(text);
        EXPECT_EQ(scrambled.size(), text.size()) << text;
        EXPECT_EQ(scrambled.find('\0'), std::string::npos) << text;
        if (text.size() > 2) {
            EXPECT_NE(scrambled, text);
        }
        EXPECT_EQ(DescrambleReferrerText(scrambled), text) << text;
    }
}

TEST(ReferrerScramble, ControlByteThatWouldBecomeZeroIsLeftOutWithoutShiftingTheRest) {
    // At position 1 the key is kStart + 1: that byte would be stored as zero, which a
    // registry string cannot hold.
    const std::string text = std::string("a") + static_cast<char>(kStart + 1) + "bcd";
    const std::string scrambled = ScrambleReferrerText(text);
    EXPECT_EQ(scrambled.size(), text.size() - 1);
    EXPECT_EQ(scrambled.find('\0'), std::string::npos);
    EXPECT_EQ(DescrambleReferrerText(scrambled), "abcd");
}

}  // namespace
