// The timer-paced installation: one step per tick of timer 391 on the
// Installing page, progress, and the failure path back to the Ready page.
#pragma once

#include <windows.h>

#include <cstdint>

#include "foundation/portable/setup_string.h"
#include "integration/install_step.h"

constexpr UINT_PTR kInstallTimerId = 391;
constexpr UINT kInstallTimerIntervalMs = 10;

/// Handler of one tick: runs the due step and reports, rolls back and returns to the Ready page on failure.
void InstallDriver(HWND page);
/// Runs the due step without showing anything but the page's controls: moves the progress bar and, on
/// success, advances the step index. Returns the step's result.
int RunDueInstallStep(HWND page, SetupString& error, int32_t& glitchReport);
/// Rolls the program folder back and removes the backups and the temporary folder. Returns the message
/// naming the previous files that could not be put back and the folder that keeps their copies (empty
/// when all were put back).
SetupString AbandonInstallation(HWND page);

/// The last step: registers the uninstaller and cleans up; the driver then moves the wizard to the Finished
/// page, once any message of this step has been answered.
int FinishInstallation(const InstallStepContext& step);
