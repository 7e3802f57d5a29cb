#include "foundation/portable/install_choices.h"
#include "resources/resource.h"
#include "wizard/page_support.h"
#include "wizard/pages.h"
#include "wizard/portable/ready_summary.h"
#include "wizard/wizard.h"

namespace {

// Rebuilt on every visit so that it shows what the earlier pages stored last.
INT_PTR OnSetActive(HWND page) {
    SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
    SetDlgItemTextA(page, IDC_READY_SUMMARY, ReadySummary(g_choices).c_str());
    return AnswerNotification(page, 0);
}

const PageHandlers kHandlers = {nullptr, nullptr, OnSetActive, nullptr};

}  // namespace

INT_PTR CALLBACK ReadyPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return DispatchPageMessage(page, message, wParam, lParam, kHandlers);
}
