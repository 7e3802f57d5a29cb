#include "integration/launch.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "foundation/message_box.h"
#include "foundation/product.h"
#include "foundation/win_handles.h"
#include "driver.h"

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

// Every program of the package with a window of its own closes, and is gone (its file free) by the answer.
TEST(CloseRunningCopies, ClosesEveryRunningProgramOfThePackage) {
    const std::string standIn = driver::BuiltFile("KVR_STANDIN");
    const std::string folder = standIn.substr(0, standIn.rfind('\\') + 1);
    const struct {
        const char* file;
        const char* windowClass;
    } programs[] = {{"kvr.exe", product::kMainWindowClass}, {"kvrsched.exe", "KorvaneSchedulerWnd"}};
    for (const auto& program : programs) {
        SCOPED_TRACE(program.file);
        driver::Process process = driver::Process::Start(folder + program.file, "");
        ASSERT_TRUE(process.Started());
        ASSERT_TRUE(driver::WaitUntil([&] { return FindWindowA(program.windowClass, nullptr) != nullptr; }, 10000));
        EXPECT_EQ(CloseRunningCopies(5000), 1);
        EXPECT_FALSE(process.Running());
        EXPECT_EQ(FindWindowA(program.windowClass, nullptr), nullptr);
    }
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

TEST(CenterWindow, PositionsFollowTheReferenceOrTheFallback) {
    struct Case {
        RECT reference;
        LONG width, height;
        LONG x, y;
    } cases[] = {
        {{0, 0, 800, 640}, 400, 300, 200, 170},   // the fixed fallback area
        {{100, 50, 900, 650}, 1000, 200, 0, 250},  // wider than the reference: 100 left of its edge
        {{10, 10, 20, 20}, 3, 3, 13, 13},         // odd differences truncate
    };
    for (const Case& c : cases) {
        const POINT at = CenteredPosition(c.reference, c.width, c.height);
        EXPECT_EQ(at.x, c.x);
        EXPECT_EQ(at.y, c.y);
    }
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
