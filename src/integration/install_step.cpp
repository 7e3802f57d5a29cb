#include "integration/install_step.h"

#include "resources/resource.h"

void ShowInstallActivity(HWND page, const char* caption, const char* detail) {
    SetDlgItemTextA(page, IDC_INSTALL_CAPTION, caption);
    SetDlgItemTextA(page, IDC_INSTALL_DETAIL, detail);
}

void ShowInstallCaption(HWND page, const char* caption) { SetDlgItemTextA(page, IDC_INSTALL_CAPTION, caption); }
