// What the installation driver hands each step: the steps run one per timer
// tick and report back through this, without knowing the driver.
#pragma once

#include <windows.h>

#include <cstdint>

#include "foundation/portable/setup_string.h"

/// Shows the current activity on the Installing page (may be null): caption ("&&" shows one "&") and detail.
void ShowInstallActivity(HWND page, const char* caption, const char* detail);
/// Changes the caption alone.
void ShowInstallCaption(HWND page, const char* caption);

/// A step returns 1 on success or 0 with its message in `error`. A step that succeeds but leaves a message
/// asks the driver to show it as a warning: only the driver shows message boxes, so the steps also run
/// without a wizard.
struct InstallStepContext {
    HWND page;              ///< the Installing page; null when the steps run without a wizard
    SetupString& error;     ///< the step's message
    int32_t& glitchReport;  ///< set to ask for the vendor's feedback page
    int32_t& cancellable;   ///< set to 0 once Cancel must be refused: from the shortcut step on

    void ShowActivity(const char* caption, const char* detail) const { ShowInstallActivity(page, caption, detail); }
    void ShowCaption(const char* caption) const { ShowInstallCaption(page, caption); }
};
