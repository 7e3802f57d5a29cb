#include "foundation/portable/setup_string.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "failing_malloc.h"

namespace {

TEST(SetupStringStorage, EmptyStringHoldsOnlyTheTerminator) {
    SetupString s;
    EXPECT_EQ(s.StoredLength(), 1u);
    EXPECT_EQ(s.Capacity(), 260u);
    EXPECT_STREQ(s.c_str(), "");
}

TEST(SetupStringStorage, GrowthFollowsDoublingThenWholePages) {
    struct Case {
        size_t appended;
        uint32_t capacity;
    } cases[] = {
        {259, 260},    // the terminator still fits
        {260, 520},    // the terminator no longer fits: doubling suffices
        {261, 520},
        {3000, 8192},  // one page is too little for 4 x 3000: a spare page is added
    };
    for (const Case& c : cases) {
        SetupString s;
        s.Append(std::string(c.appended, 'x').c_str());
        EXPECT_EQ(s.Capacity(), c.capacity) << c.appended;
        EXPECT_EQ(s.Length(), c.appended);
        EXPECT_EQ(s.c_str()[c.appended], '\0');
    }
}

TEST(SetupStringStorage, CapacitiesRunThroughDoublingSteps) {
    SetupString s;
    std::vector<uint32_t> seen{s.Capacity()};
    for (int i = 0; i < 5000; ++i) {
        s.AppendChar('a');
        if (seen.back() != s.Capacity()) seen.push_back(s.Capacity());
    }
    std::vector<uint32_t> expected{260, 520, 1040, 2080, 4096, 8192};
    EXPECT_EQ(seen, expected);
}

TEST(SetupStringStorage, ClearAndErasingGiveMemoryBack) {
    SetupString s(std::string(3000, 'x').c_str());
    s.Erase(0, 2990);  // slack above one page is given back
    EXPECT_EQ(s.Capacity(), s.StoredLength() + 4096);
    EXPECT_EQ(std::string(s.c_str()), std::string(10, 'x'));
    s.Clear();
    EXPECT_EQ(s.Capacity(), 260u);
    EXPECT_EQ(s.StoredLength(), 1u);
}

TEST(SetupStringStorage, CopyKeepsCapacityAndAppendOfStringGrowsByItsCapacity) {
    SetupString big(std::string(3000, 'y').c_str());
    SetupString copy(big);
    EXPECT_EQ(copy.Capacity(), big.Capacity());
    SetupString small("ab");
    small.Append(SetupString("cd"));
    EXPECT_EQ(small.Capacity(), 520u);
    EXPECT_STREQ(small.c_str(), "abcd");
    small.Append(small);
    EXPECT_STREQ(small.c_str(), "abcdabcd");
}

TEST(SetupStringStorage, PositionFailuresRaiseCodeThreeAndReleaseTheBuffer) {
    SetupString s("abc");
    EXPECT_EQ(s.CharAt(3), '\0');  // the terminator may be read
    try {
        s.CharAt(4);
        FAIL() << "no exception";
    } catch (int code) {
        EXPECT_EQ(code, 3);
    }
    EXPECT_EQ(s.Buffer(), nullptr);
    EXPECT_EQ(s.Capacity(), 0u);
    EXPECT_EQ(s.Find('a'), -1);  // no buffer: nothing found
    SetupString t("abc");
    EXPECT_THROW(t.EraseAt(9), int);
}

TEST(SetupStringStorage, AFailedFormattingBlockRaisesTheOutOfMemoryCodeAndReleasesTheBuffer) {
    // 777 characters are formatted in a block of 778 bytes, a size that no string buffer has.
    for (const bool append : {false, true}) {
        SCOPED_TRACE(append ? "AppendFormat" : "Format");
        SetupString s("before");
        testsupport::FailingMalloc failing(778);
        try {
            if (append)
                s.AppendFormat("%777s", "");
            else
                s.Format("%777s", "");
            ADD_FAILURE() << "no exception";
        } catch (int code) {
            EXPECT_EQ(code, kOutOfMemory);
        }
        EXPECT_EQ(failing.Failures(), 1);
        EXPECT_EQ(s.Buffer(), nullptr);
        EXPECT_STREQ(s.c_str(), "");
    }
}

TEST(SetupStringEditing, FormatAppendAndCut) {
    SetupString s;
    s.Format("%s-%d-%04X", "v", 12, 0xBEEF);
    EXPECT_STREQ(s.c_str(), "v-12-BEEF");
    s.AppendFormat("/%02X%c", 5, '!');
    EXPECT_STREQ(s.c_str(), "v-12-BEEF/05!");
    EXPECT_EQ(s.StoredLength(), 14u);
    EXPECT_STREQ(s.Left(0).c_str(), "");
    EXPECT_STREQ(s.Left(99).c_str(), s.c_str());
    EXPECT_STREQ(s.Right(3).c_str(), "05!");
    EXPECT_STREQ(s.Mid(2, 2).c_str(), "12");
    EXPECT_STREQ(s.Mid(10, 50).c_str(), "05!");
    EXPECT_EQ(s.Find('-'), 1);
    EXPECT_EQ(s.Find('-', 2), 4);
    EXPECT_EQ(s.ReverseFind('-'), 4);
    EXPECT_EQ(s.ReverseFind('-', 9), 1);
    EXPECT_EQ(s.Count('-'), 2);
    s.DropLast();
    EXPECT_STREQ(s.c_str(), "v-12-BEEF/05");
}

TEST(SetupStringEditing, SetLengthCutsPadsAndClears) {
    SetupString s("hello");
    EXPECT_EQ(s.SetLength(3), 3);
    EXPECT_STREQ(s.c_str(), "hel");
    s.SetLength(6);
    EXPECT_STREQ(s.c_str(), "hel   ");
    EXPECT_EQ(s.StoredLength(), 7u);
    EXPECT_EQ(s.SetLength(0), 0);
    EXPECT_STREQ(s.c_str(), "");
}

TEST(SetupStringEditing, TrimIsBlankAndKeepAlphanumeric) {
    SetupString s(" \t\r\n a b \n");
    s.Trim(kBlanks);
    EXPECT_STREQ(s.c_str(), "a b");
    s.Trim(nullptr);
    EXPECT_STREQ(s.c_str(), "a b");
    struct Case {
        const char* text;
        int mask;
        int blank;
    } cases[] = {
        {" \t\r\n", 7, 1}, {" ", 0, 0}, {"", 0, 1}, {" \t", 1, 0}, {"\r\n ", 5, 1}, {" x ", 7, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(SetupString(c.text).IsBlank(c.mask), c.blank) << '"' << c.text << '"';
    SetupString mixed("a-1 .b_2");
    mixed.KeepAlphanumeric();
    EXPECT_STREQ(mixed.c_str(), "a1b2");
}

TEST(SetupStringTokens, NextTokenSkipsDelimiterRunsAndExhausts) {
    SetupString s(",,a,,b");
    uint32_t cursor = 0;
    EXPECT_STREQ(s.NextToken(",", cursor).c_str(), "a");
    EXPECT_STREQ(s.NextToken(",", cursor).c_str(), "b");
    EXPECT_STREQ(s.NextToken(",", cursor).c_str(), "");
    EXPECT_EQ(cursor, 0xFFFFFFFFu);
    EXPECT_STREQ(s.NextToken(",", cursor).c_str(), "");
    uint32_t untouched = 2;
    EXPECT_STREQ(s.NextToken(nullptr, untouched).c_str(), ",,a,,b");
    EXPECT_EQ(untouched, 2u);
}

TEST(SetupStringTokens, CompareVersionTable) {
    struct Case {
        const char* a;
        const char* b;
        int result;
    } cases[] = {
        {"1.2.3", "1.2.3", 0},
        {"1.2.3", "1.10", 1},
        {"1.2.3", "1.2", -1},
        {"1.2", "1.2.0", 1},
        {"1.2.3", "", -1},
        {"", "0", 1},
        {"1.2.3", nullptr, -1},
        {"1.2.3", "1.2.4", 1},
        {"1.2.3", "1.2.3.0", 1},
        {"2b", "2", 0},
        {"beta", "0", 0},
        {"1,2-3", "1 2/3", 0},
        // Components beyond the integer range saturate instead of overflowing.
        {"1.99999999999999999999", "1.4294967297", 0},
        {"1.2", "1.99999999999999999999", 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SetupString(c.a).CompareVersion(c.b), c.result) << c.a << " vs " << (c.b ? c.b : "(null)");
    }
}

TEST(SetupStringTokens, ReplaceAllHonoursCase) {
    SetupString s("(c) #YR# #yr#");
    EXPECT_STREQ(s.ReplaceAll("#YR#", "2011", true).c_str(), "(c) 2011 2011");
    EXPECT_STREQ(s.ReplaceAll("#YR#", "2011", false).c_str(), "(c) 2011 #yr#");
    EXPECT_STREQ(SetupString("#YR##YR#").ReplaceAll("#YR#", "#YR#x", true).c_str(), "#YR#x#YR#x");
    EXPECT_STREQ(s.ReplaceAll("", "z", true).c_str(), s.c_str());
}

TEST(PathFunctions, TrailingSeparators) {
    struct Case {
        const char* text;
        const char* with;
        const char* without;
    } cases[] = {
        {"  C:\\Apps ", "C:\\Apps\\", "C:\\Apps"},
        {"C:/", "C:/", "C:"},
        {"   ", "", ""},
        {"C:\\Apps\\\\", "C:\\Apps\\\\", "C:\\Apps\\"},
        {nullptr, "", ""},
        {"\tD:\\x\r\n", "D:\\x\\", "D:\\x"},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(WithTrailingSeparator(c.text).c_str(), c.with) << (c.text ? c.text : "(null)");
        EXPECT_STREQ(WithoutTrailingSeparator(c.text).c_str(), c.without) << (c.text ? c.text : "(null)");
    }
}

TEST(PathFunctions, KeepVersionCharsAndConcat) {
    SetupString v("version 1.2.3 beta");
    KeepVersionChars(v);
    EXPECT_STREQ(v.c_str(), "1.2.3");
    SetupString e;
    KeepVersionChars(e);
    EXPECT_STREQ(e.c_str(), "");
    SetupString high("1.\xB2.3");
    KeepVersionChars(high);
    EXPECT_STREQ(high.c_str(), "1..3");
    EXPECT_STREQ(Concat(SetupString("a\\"), "b").c_str(), "a\\b");
    EXPECT_STREQ(Concat(SetupString("a"), SetupString("b")).c_str(), "ab");
}

}  // namespace
