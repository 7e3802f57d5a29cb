#include "integration/launch.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>

#include "foundation/message_box.h"
#include "foundation/portable/product.h"
#include "foundation/win_handles.h"
#include "driver.h"
#include "foundation/message_box.h"
#include "foundation/portable/product.h"
#include "foundation/win_handles.h"

namespace {

bool StandInShown() { return FindWindowA(product::kMainWindowClass, nullptr) != nullptr; }

TEST(CloseRunningCopies, NoCopyRunningAnswersWithoutWaiting) {
    ASSERT_FALSE(StandInShown());
    // Nothing to wait for: even an endless timeout returns at once.
    EXPECT_EQ(CloseRunningCopies(INFINITE), 1);
}

TEST(CloseRunningCopies, ClosesARunningStandIn) {
    driver::Process process = driver::Process::Start(driver::BuiltFile("KVR_STANDIN"), "");
    ASSERT_TRUE(process.Started());
    ASSERT_TRUE(driver::WaitUntil(StandInShown, 10000));
    EXPECT_EQ(CloseRunningCopies(0), 0);  // a window exists and no time is given to close it
    EXPECT_EQ(CloseRunningCopies(5000), 1);
    EXPECT_EQ(FindWindowA(product::kMainWindowClass, nullptr), nullptr);
    EXPECT_TRUE(process.WaitForExit(5000));
}

// A copy of the application, on a thread of its own, that closes only when it is asked the third time.
class ReluctantCopy {
public:
    ReluctantCopy() : thread_(CreateThread(nullptr, 0, Run, this, 0, nullptr)) {
        driver::WaitUntil([this] { return shown_.load(); });
    }
    ReluctantCopy(const ReluctantCopy&) = delete;
    ReluctantCopy& operator=(const ReluctantCopy&) = delete;
    ~ReluctantCopy() {
        if (HWND window = FindWindowA(product::kMainWindowClass, nullptr)) PostMessageA(window, WM_CLOSE, 0, 0);
        WaitForSingleObject(thread_.Get(), 5000);
    }
    int Requests() const { return requests_; }

private:
    static DWORD WINAPI Run(void* parameter) {
        auto* self = static_cast<ReluctantCopy*>(parameter);
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = product::kMainWindowClass;
        RegisterClassA(&windowClass);
        HWND window = CreateWindowA(product::kMainWindowClass, "reluctant", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                    nullptr, windowClass.hInstance, self);
        self->shown_ = true;
        MSG message;
        while (window != nullptr && GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
        UnregisterClassA(product::kMainWindowClass, windowClass.hInstance);
        return 0;
    }
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE)
            SetWindowLongPtrA(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
        auto* self = reinterpret_cast<ReluctantCopy*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (message == RegisterWindowMessageA(product::kCloseMessage) && ++self->requests_ == 3) DestroyWindow(window);
        if (message == WM_CLOSE) DestroyWindow(window);
        if (message == WM_DESTROY) PostQuitMessage(0);
        return DefWindowProcA(window, message, wParam, lParam);
    }

    win::KernelHandle thread_;
    std::atomic<bool> shown_{false};
    std::atomic<int> requests_{0};
};

TEST(CloseRunningCopies, KeepsAskingACopyThatTakesLongerToClose) {
    const ReluctantCopy copy;
    ASSERT_TRUE(StandInShown());
    EXPECT_EQ(CloseRunningCopies(driver::kDefaultTimeoutMs), 1);
    EXPECT_EQ(copy.Requests(), 3);
    EXPECT_FALSE(StandInShown());
}

TEST(CloseRunningCopies, GivesUpAfterTheTimeoutWhenTheWindowStays) {
    // A window of the application's class that ignores the request.
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = product::kMainWindowClass;
    ASSERT_NE(RegisterClassA(&windowClass), 0);
    HWND stubborn = CreateWindowA(product::kMainWindowClass, "stubborn", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                  windowClass.hInstance, nullptr);
    ASSERT_NE(stubborn, nullptr);
    EXPECT_EQ(CloseRunningCopies(300), 0);
    EXPECT_TRUE(IsWindow(stubborn));
    DestroyWindow(stubborn);
    UnregisterClassA(product::kMainWindowClass, windowClass.hInstance);
}

TEST(CenterWindow, MovesAWindowOverItsReference) {
    HWND reference = CreateWindowA("STATIC", "ref", WS_POPUP, 100, 100, 400, 300, nullptr, nullptr, nullptr, nullptr);
    HWND window = CreateWindowA("STATIC", "win", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(reference && window);
    EXPECT_TRUE(CenterWindow(window, reference));
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_EQ(r.left, 200);
    EXPECT_EQ(r.top, 200);
    EXPECT_EQ(r.right - r.left, 200);
    EXPECT_FALSE(CenterWindow(reinterpret_cast<HWND>(static_cast<ULONG_PTR>(0x1234)), reference));
    DestroyWindow(window);
    DestroyWindow(reference);
}

}  // namespace
