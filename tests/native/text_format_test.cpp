// The setup's own formatter against the C library's, conversion by conversion, and its limits.
#include "foundation/portable/text_format.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdarg>
#include <cstdio>
#include <string>

namespace {

std::string Ours(size_t capacity, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string out(capacity, '\x7f');
    const size_t length = FormatText(capacity > 0 ? &out[0] : nullptr, capacity, format, args);
    va_end(args);
    return std::to_string(length) + ":" + out.c_str();
}

std::string Library(size_t capacity, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string out(capacity, '\x7f');
    const int length = std::vsnprintf(capacity > 0 ? &out[0] : nullptr, capacity, format, args);
    va_end(args);
    return std::to_string(length) + ":" + out.c_str();
}

#define EXPECT_SAME_AS_LIBRARY(...) EXPECT_EQ(Ours(64, __VA_ARGS__), Library(64, __VA_ARGS__))

TEST(TextFormat, IntegersAsTheLibraryFormatsThem) {
    EXPECT_SAME_AS_LIBRARY("%d|%i|%d|%d", 0, -7, INT_MIN, INT_MAX);
    EXPECT_SAME_AS_LIBRARY("%u|%u|%lu", 0u, UINT_MAX, ULONG_MAX);
    EXPECT_SAME_AS_LIBRARY("%lld|%llu|%zu", LLONG_MIN, ULLONG_MAX, static_cast<size_t>(123456));
    EXPECT_SAME_AS_LIBRARY("%x|%X|%08X|%04x", 0xbeefu, 0xbeefu, 0x1Fu, 0xABCDEFu);
    EXPECT_SAME_AS_LIBRARY("%02d|%02u|%03u|%04d|%04u", 5, 7u, 42u, -12, 2026u);
    EXPECT_SAME_AS_LIBRARY("[%5d][%-5d][%05d][%-05d]", -42, -42, -42, 42);
    EXPECT_SAME_AS_LIBRARY("[%.3d][%6.3d][%06.3d][%.0d][%.0u]", 7, -7, 7, 0, 0u);
    EXPECT_SAME_AS_LIBRARY("[%*d][%-*d][%.*d][%*d]", 6, 1, 6, 2, 4, 3, -6, 4);
    EXPECT_SAME_AS_LIBRARY("%hd|%hu|%hhd|%hhu", 70000, 70000, 300, 300);
}

TEST(TextFormat, TextsCharactersAndPercent) {
    EXPECT_SAME_AS_LIBRARY("%s and %s", "one", "");
    EXPECT_SAME_AS_LIBRARY("[%8s][%-8s][%.2s][%8.2s][%.*s]", "abc", "abc", "abc", "abc", 1, "abc");
    EXPECT_SAME_AS_LIBRARY("[%c][%3c][%-3c]", 'x', 'y', 'z');
    EXPECT_SAME_AS_LIBRARY("100%% of %s", "it");
    EXPECT_SAME_AS_LIBRARY("ERROR: (%d) Cannot back up the following file:\n\n%s", 5, "C:\\Korvane\\kvr.exe");
}

TEST(TextFormat, ShortBufferIsCutAndTerminatedAndTheWholeLengthReturned) {
    for (size_t capacity : {0u, 1u, 2u, 5u, 9u, 10u, 11u}) {
        SCOPED_TRACE(capacity);
        EXPECT_EQ(Ours(capacity, "%s-%04u", "abcd", 12u), Library(capacity, "%s-%04u", "abcd", 12u));
    }
}

TEST(TextFormat, UnknownConversionsAreCopiedAndReadNoArgument) {
    EXPECT_EQ(Ours(64, "%f then %s", "text"), "12:%f then text");
    EXPECT_EQ(Ours(64, "%q%d", 5), "3:%q5");
    EXPECT_EQ(Ours(64, "trailing %"), "10:trailing %");
    EXPECT_EQ(Ours(64, "trailing %5"), "11:trailing %5");
}

}  // namespace
