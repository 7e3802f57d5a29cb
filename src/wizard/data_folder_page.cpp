#include "wizard/pages.h"
#include "wizard/placeholder_page.h"

INT_PTR CALLBACK DataFolderPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return PlaceholderPageProc<PSWIZB_BACK | PSWIZB_NEXT>(page, message, wParam, lParam);
}
