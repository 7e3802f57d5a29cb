#include "text_window.h"

#include "payload_common.h"

namespace payload {

namespace {

constexpr int kTextId = 100;

LRESULT CALLBACK TextWindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (HandleCloseRequest(message)) return 0;
    switch (message) {
        case WM_CREATE: {
            const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lparam);
            HWND text = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", static_cast<const char*>(create->lpCreateParams),
                                        WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY, 0, 0, 0, 0,
                                        hwnd, reinterpret_cast<HMENU>(kTextId), nullptr, nullptr);
            SendMessageA(text, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
            return 0;
        }
        case WM_SIZE:
            MoveWindow(GetDlgItem(hwnd, kTextId), 8, 8, LOWORD(lparam) - 16, HIWORD(lparam) - 16, TRUE);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

}  // namespace

int RunTextWindow(HINSTANCE instance, const char* class_name, const std::string& title, const std::string& text,
                  int show, int width, int height) {
    CloseMessage();  // registered before the window exists, so that no request is missed

    WNDCLASSA window_class{};
    window_class.lpfnWndProc = TextWindowProc;
    window_class.hInstance = instance;
    window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
    window_class.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window_class.lpszClassName = class_name;
    if (!RegisterClassA(&window_class)) return 1;

    HWND window = CreateWindowExA(0, class_name, title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                  width, height, nullptr, nullptr, instance, const_cast<char*>(text.c_str()));
    if (!window) return 1;
    ShowWindow(window, show);
    UpdateWindow(window);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

}  // namespace payload
