#include "wizard/pages.h"
#include "wizard/placeholder_page.h"

INT_PTR CALLBACK FinishedPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return PlaceholderPageProc<PSWIZB_FINISH>(page, message, wParam, lParam);
}
