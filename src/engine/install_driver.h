// The timer-paced installation: one step per tick of timer 391 on the
// Installing page, progress, and the failure path back to the Ready page.
#pragma once

#include <windows.h>

#include <cstdint>

#include "foundation/portable/setup_string.h"

constexpr UINT_PTR kInstallTimerId = 391;
constexpr UINT kInstallTimerIntervalMs = 10;

// Every step takes the Installing page (may be null), the tick's error text and its glitch-report flag (set
// to ask for the vendor's feedback page), and returns 1 on success or 0 with its message in the error text.
// A step that succeeds but leaves a message asks the driver to show it as a warning: only the driver shows
// message boxes, so the steps also run without a wizard.

/// Shows the current activity on the Installing page: caption ("&&" shows one "&") and detail.
void ShowInstallActivity(HWND page, const char* caption, const char* detail);
/// Changes the caption alone.
void ShowInstallCaption(HWND page, const char* caption);

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
int FinishInstallation(HWND page, SetupString& error, int32_t& glitchReport);
