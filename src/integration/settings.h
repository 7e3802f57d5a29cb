// The application's first settings, written by the installation.
#pragma once

#include <windows.h>

#include <cstdint>

#include "foundation/portable/setup_string.h"
#include "foundation/win_handles.h"
#include "integration/install_step.h"

/// Writes the text and numeric settings; always succeeds. A failed write sets `glitchReport` and leaves a
/// warning in `error` for the driver to show once.
int InstallSettingsStep(const InstallStepContext& step);

/// The processor clock in MHz, from its time-stamp counter over a 50 ms wait; 0 when it cannot be measured.
uint32_t MeasureCpuSpeed();

/// MeasureCpuSpeed on a thread of its own, started with this object, so that a run with no timer between its
/// steps need not stand still for the wait: while it lives, the settings step takes its result. The counter
/// and the wait both follow the clock, whichever thread runs meanwhile, so the number is the same. The
/// thread is waited for before the object goes.
class CpuSpeedInAdvance {
public:
    CpuSpeedInAdvance();
    ~CpuSpeedInAdvance();
    CpuSpeedInAdvance(const CpuSpeedInAdvance&) = delete;
    CpuSpeedInAdvance& operator=(const CpuSpeedInAdvance&) = delete;

    /// The measurement, once the thread has ended; made here when the thread could not be started.
    uint32_t Mhz();

private:
    static DWORD WINAPI Measure(void* self);

    win::KernelHandle thread_;
    bool measured_ = false;
    uint32_t mhz_ = 0;
};
