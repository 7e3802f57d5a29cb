// Links to the installed application and to the vendor's web site.
#pragma once

/// Asks every running copy to close and waits; 1 when none is left, 0 on timeout, -1 when the message cannot be registered.
int CloseRunningCopies(unsigned timeoutMs);
/// How long the setup waits for running copies to close.
constexpr unsigned kCloseCopiesTimeoutMs = 5000;
/// Starts `fileName` (null: the main executable) from the recorded install folder; 1 when Windows accepted.
int LaunchInstalledProgram(const char* fileName);
/// Opens a vendor page (`vendorPage` set), or a full address or local file, in the default browser.
void OpenWebPage(const char* text, bool vendorPage);
