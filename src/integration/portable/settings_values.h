// The application's first settings: the recording format chosen from the
// processor's speed and the table of numeric values. Portable.
#pragma once

#include <array>
#include <cstdint>

struct RecordingFormat {
    uint32_t sampleRate;     ///< Hz
    uint32_t bitsPerSample;
    uint32_t channels;
};

/// The default recording format for a processor of `mhz` (0: not measured).
RecordingFormat ChooseRecordingFormat(uint32_t mhz);

/// What a timed call yields when the processor cannot count cycles.
constexpr uint64_t kNoCycleCount = ~0ull;
/// MHz from the cycles of a 50 ms busy wait and of the same set-up without the wait; 0 when either is unknown.
uint32_t CpuSpeedFromCycles(uint64_t busyCycles, uint64_t overheadCycles);

struct NumericSetting {
    const char* name;
    uint32_t value;
    bool freshInstallOnly;  ///< left alone when an earlier installation's settings exist
};

/// The eleven numeric settings in the order they are written.
std::array<NumericSetting, 11> NumericSettings(const RecordingFormat& format);
