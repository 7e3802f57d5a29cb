#include "integration/settings.h"

#include <cpuid.h>
#include <x86intrin.h>

#include "foundation/portable/install_choices.h"
#include "foundation/portable/product.h"
#include "foundation/registry.h"
#include "integration/portable/settings_values.h"
#include "integration/uninstall_registration.h"

namespace {

constexpr DWORD kMeasureMs = 50;
// CPUID leaf 1, EDX: the processor has a time-stamp counter.
constexpr unsigned kTimeStampCounterBit = 1u << 4;

// Reading the counter on a processor without one faults, and there is no structured exception handling
// here: the feature bit of CPUID is asked first instead.
bool HasTimeStampCounter() {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    return __get_cpuid(1, &eax, &ebx, &ecx, &edx) != 0 && (edx & kTimeStampCounterBit) != 0;
}

// The performance-counter target for `ms`, and its start; false when there is no such counter.
bool StartWait(DWORD ms, LONGLONG& target, LONGLONG& start) {
    LARGE_INTEGER frequency;
    if (!QueryPerformanceFrequency(&frequency)) return false;
    target = frequency.QuadPart / 1000 * ms;
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    start = now.QuadPart;
    return true;
}

LONGLONG Elapsed(LONGLONG start) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart - start;
}

void BusyWait(DWORD ms) {
    LONGLONG target = 0, start = 0;
    if (!StartWait(ms, target, start)) return;
    while (Elapsed(start) < target) {
    }
}

// The same set-up and loop shape as BusyWait, without the waiting.
void WaitOverhead(DWORD ms) {
    LONGLONG target = 0, start = 0;
    if (!StartWait(ms, target, start)) return;
    while (Elapsed(start) == target) {
    }
}

// The measurement alive, if any: the settings step takes its result.
CpuSpeedInAdvance* g_inAdvance = nullptr;

uint64_t TimedCycles(void (*routine)(DWORD)) {
    if (!HasTimeStampCounter()) return kNoCycleCount;
    const uint64_t before = __rdtsc();
    routine(kMeasureMs);
    return __rdtsc() - before;
}

}  // namespace

uint32_t MeasureCpuSpeed() {
    const uint64_t busy = TimedCycles(BusyWait);
    if (busy == kNoCycleCount) return 0;
    return CpuSpeedFromCycles(busy, TimedCycles(WaitOverhead));
}

CpuSpeedInAdvance::CpuSpeedInAdvance() {
    thread_.Reset(CreateThread(nullptr, 0, Measure, this, 0, nullptr));
    g_inAdvance = this;
}

CpuSpeedInAdvance::~CpuSpeedInAdvance() {
    if (thread_) WaitForSingleObject(thread_.Get(), INFINITE);
    g_inAdvance = nullptr;
}

uint32_t CpuSpeedInAdvance::Mhz() {
    if (!measured_) {
        if (thread_)
            WaitForSingleObject(thread_.Get(), INFINITE);
        else
            mhz_ = MeasureCpuSpeed();
        thread_.Reset();
        measured_ = true;
    }
    return mhz_;
}

DWORD WINAPI CpuSpeedInAdvance::Measure(void* self) {
    static_cast<CpuSpeedInAdvance*>(self)->mhz_ = MeasureCpuSpeed();
    return 0;
}

int InstallSettingsStep(const InstallStepContext& step) {
    step.cancellable = 0;
    step.ShowActivity("Determining CPU speed...", "");
    const uint32_t mhz = g_inAdvance != nullptr ? g_inAdvance->Mhz() : MeasureCpuSpeed();
    const RecordingFormat format = ChooseRecordingFormat(mhz);
    // No codec is probed: the recording codec type is always written as 0.
    step.ShowCaption("Attempting to open default MP3 codec...");
    step.ShowCaption("Installing the System Registry data...");

    SetupString referrer[3];
    TakeInstallerReferrer(referrer[0], referrer[1], referrer[2]);
    const struct {
        const char* name;
        const char* value;
    } texts[] = {
        {"SetupPlbkRcFldr", g_choices.DataFolder.c_str()},
        {"SetupSchdRcFldr", g_choices.DataFolder.c_str()},
        {"SetupLogFldr", g_choices.InstallFolder.c_str()},
        {"LRplbk", ""},
        {"LRschd", ""},
        {"ver", product::kVersion},
        {"InstallFolder", g_choices.InstallFolder.c_str()},
        {"rf1", referrer[0].c_str()},
        {"rf2", referrer[1].c_str()},
        {"rf3", referrer[2].c_str()},
    };
    int allWritten = 1;
    for (const auto& text : texts) allWritten &= WriteSetting(text.name, text.value, HKEY_CURRENT_USER) ? 1 : 0;
    for (const NumericSetting& number : NumericSettings(format)) {
        if (number.freshInstallOnly && g_facts.PreviousInstallFound) continue;
        allWritten &= WriteSettingDword(number.name, number.value, HKEY_CURRENT_USER) ? 1 : 0;
    }
    if (!allWritten) {
        step.glitchReport = 1;
        step.error.Format("ERROR: Writing values to System Registry...\n(Please report it to %s)", product::kSupportEmail);
    }
    return 1;
}
