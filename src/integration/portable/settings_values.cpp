#include "integration/portable/settings_values.h"

RecordingFormat ChooseRecordingFormat(uint32_t mhz) {
    if (mhz >= 1500) return {44100, 16, 2};
    if (mhz >= 900) return {24000, 16, 2};
    if (mhz >= 500) return {22050, 16, 2};
    if (mhz >= 300) return {11025, 8, 2};
    return {11025, 8, 1};
}

uint32_t CpuSpeedFromCycles(uint64_t busyCycles, uint64_t overheadCycles) {
    if (busyCycles == kNoCycleCount || overheadCycles == kNoCycleCount) return 0;
    const int64_t cycles = static_cast<int64_t>(busyCycles - overheadCycles);
    return static_cast<uint32_t>(cycles / 50 / 1000);
}

std::array<NumericSetting, 11> NumericSettings(const RecordingFormat& format) {
    return {{
        {"nshbt0", 2, true},
        {"SetupWIChnls", format.channels, false},
        {"SetupWISmpSz", format.bitsPerSample, false},
        {"SetupWISmpRt", format.sampleRate, false},
        {"SetupSchdRcChn", format.channels, false},
        {"SetupSchdRcSmSz", format.bitsPerSample, false},
        {"SetupSchdRcSmRt", format.sampleRate, false},
        {"SetupSchdRcSAI", 1, false},
        {"SetupRcCdcType", 0, false},
        {"WOVol", 0x3FFF, true},
        {"SetupSTAS", 0, false},
    }};
}
