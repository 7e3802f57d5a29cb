// The nine-page wizard and the cancel confirmation the pages share.
#pragma once

#include <windows.h>
#include <prsht.h>

/// A page description in its full form (with the header bitmap field: 56 bytes, 104 in 64-bit code);
/// the sheet steps through the array by dwSize.
struct WizardPage {
    PROPSHEETPAGEA page;
    HBITMAP headerBitmap;
};

/// One page of the wizard: its dialog template, procedure and header texts (string ids).
struct PageDescription {
    int dialog;
    DLGPROC procedure;
    int headerTitle;
    int headerSubtitle;
};

/// Runs the wizard of `count` pages modally (Wizard97, then the classic form); returns 0 when it closes.
int ShowWizard(const PageDescription* pageTable, int count);
void InitWizardPages(WizardPage* pages, PROPSHEETHEADERA* sheet, int count, DWORD pageFlags, DWORD sheetFlags);
int CALLBACK WizardSheetCallback(HWND window, UINT message, LPARAM parameter);
/// Asks whether to leave; 1 when confirmed (empty target folders removed), 0 to stay (page result set to 1).
int ConfirmCancel(HWND page);
int RemoveEmptyTargetFolders();
/// Enables the wizard's Back/Next buttons (PSWIZB_* bits).
void SetWizardButtons(DWORD buttons);
