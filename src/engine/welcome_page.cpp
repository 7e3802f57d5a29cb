#include "wizard/pages.h"
#include "wizard/placeholder_page.h"

INT_PTR CALLBACK WelcomePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return PlaceholderPageProc<PSWIZB_NEXT>(page, message, wParam, lParam);
}
