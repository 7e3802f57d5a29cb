// The application's first settings, written by the installation.
#pragma once

#include <windows.h>

#include <cstdint>

#include "foundation/portable/setup_string.h"
#include "integration/install_step.h"

/// Writes the text and numeric settings; always succeeds. A failed write sets `glitchReport` and leaves a
/// warning in `error` for the driver to show once.
int InstallSettingsStep(const InstallStepContext& step);

/// The processor clock in MHz, from its time-stamp counter over a 50 ms wait; 0 when it cannot be measured.
uint32_t MeasureCpuSpeed();
