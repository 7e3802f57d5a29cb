#include "integration/portable/settings_values.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(RecordingFormat, BoundariesSelectTheHigherRow) {
    struct Case {
        uint32_t mhz;
        RecordingFormat format;
    };
    const Case cases[] = {
        {0, {11025, 8, 1}},        {299, {11025, 8, 1}},      {300, {11025, 8, 2}},  {499, {11025, 8, 2}},
        {500, {22050, 16, 2}},     {899, {22050, 16, 2}},     {900, {24000, 16, 2}}, {1499, {24000, 16, 2}},
        {1500, {44100, 16, 2}},    {0xFFFFFFFFu, {44100, 16, 2}},
    };
    for (const Case& c : cases) {
        const RecordingFormat f = ChooseRecordingFormat(c.mhz);
        EXPECT_EQ(f.sampleRate, c.format.sampleRate) << c.mhz;
        EXPECT_EQ(f.bitsPerSample, c.format.bitsPerSample) << c.mhz;
        EXPECT_EQ(f.channels, c.format.channels) << c.mhz;
    }
}

TEST(CpuSpeed, CyclesOfFiftyMillisecondsGiveMegahertz) {
    EXPECT_EQ(CpuSpeedFromCycles(150'000'000ull + 1234, 1234), 3000u);
    EXPECT_EQ(CpuSpeedFromCycles(49'999, 0), 0u);  // truncated toward zero
    // No counter (the timed call's marker) in either measurement: not measured.
    EXPECT_EQ(CpuSpeedFromCycles(kNoCycleCount, 100), 0u);
    EXPECT_EQ(CpuSpeedFromCycles(150'000'000ull, kNoCycleCount), 0u);
}

TEST(NumericSettings, ElevenRowsInOrderWithTwoForFreshInstallsOnly) {
    const auto rows = NumericSettings(RecordingFormat{22050, 16, 2});
    const struct {
        const char* name;
        uint32_t value;
        bool fresh;
    } expected[] = {
        {"nshbt0", 2, true},          {"SetupWIChnls", 2, false},    {"SetupWISmpSz", 16, false},
        {"SetupWISmpRt", 22050, false}, {"SetupSchdRcChn", 2, false}, {"SetupSchdRcSmSz", 16, false},
        {"SetupSchdRcSmRt", 22050, false}, {"SetupSchdRcSAI", 1, false}, {"SetupRcCdcType", 0, false},
        {"WOVol", 16383, true},       {"SetupSTAS", 0, false},
    };
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_STREQ(rows[i].name, expected[i].name) << i;
        EXPECT_EQ(rows[i].value, expected[i].value) << i;
        EXPECT_EQ(rows[i].freshInstallOnly, expected[i].fresh) << i;
    }
}

}  // namespace
