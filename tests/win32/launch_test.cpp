#include "integration/launch.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "driver.h"
#include "foundation/message_box.h"
#include "foundation/portable/product.h"
#include "foundation/win_handles.h"

namespace {

HWND WaitForStandIn(DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    HWND window = nullptr;
    while ((window = FindWindowA(product::kMainWindowClass, nullptr)) == nullptr && GetTickCount() - start < timeoutMs)
        Sleep(20);
    return window;
}

TEST(CloseRunningCopies, NoCopyRunningAnswersAtOnce) {
    ASSERT_EQ(FindWindowA(product::kMainWindowClass, nullptr), nullptr);
    const DWORD start = GetTickCount();
    EXPECT_EQ(CloseRunningCopies(5000), 1);
    EXPECT_LT(GetTickCount() - start, 50u);
}

TEST(CloseRunningCopies, ClosesARunningStandIn) {
    driver::Process process = driver::Process::Start(driver::BuiltFile("KVR_STANDIN"), "");
    ASSERT_TRUE(process.Started());
    ASSERT_NE(WaitForStandIn(10000), nullptr);
    EXPECT_EQ(CloseRunningCopies(0), 0);  // a window exists and no time is given to close it
    EXPECT_EQ(CloseRunningCopies(5000), 1);
    EXPECT_EQ(FindWindowA(product::kMainWindowClass, nullptr), nullptr);
    EXPECT_TRUE(process.WaitForExit(5000));
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
    const DWORD start = GetTickCount();
    EXPECT_EQ(CloseRunningCopies(300), 0);
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 300u);
    EXPECT_LT(elapsed, 1000u);
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
