#include "integration/launch.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <string>
#include <utility>

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

// Every program of the package with a window of its own closes, and is gone (its file free) by the answer.
TEST(CloseRunningCopies, ClosesEveryRunningProgramOfThePackage) {
    const std::string standIn = driver::BuiltFile("KVR_STANDIN");
    const std::string folder = standIn.substr(0, standIn.rfind('\\') + 1);
    const struct {
        const char* file;
        const char* windowClass;
    } programs[] = {
        {"kvr.exe", product::kMainWindowClass},
        {"kvrsched.exe", "KorvaneSchedulerWnd"},
        {"uninst_kvr.exe", "KorvaneUninstallerWnd"},  // telling that no installation is recorded
    };
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
    EXPECT_EQ(CloseRunningCopies(300), 0);
    EXPECT_TRUE(IsWindow(stubborn));
    DestroyWindow(stubborn);
    UnregisterClassA(product::kMainWindowClass, windowClass.hInstance);
}

// INVALID_HANDLE_VALUE, what CreateFile and FindFirstFile give when they fail, holds nothing however it arrives.
TEST(HandleOwners, AFailedOpenOrSearchLeavesTheOwnerEmptyHoweverItArrives) {
    const std::string missing = driver::ScratchFolder("kvr-handles") + "\\missing\\file";
    const auto open = [&] { return CreateFileA(missing.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr); };
    WIN32_FIND_DATAA found;
    const auto search = [&] { return FindFirstFileA(missing.c_str(), &found); };
    const auto expectEmpty = [](const auto& owner, const char* how) {
        EXPECT_FALSE(owner.Valid()) << how;
        EXPECT_FALSE(owner) << how;
        EXPECT_EQ(owner.Get(), nullptr) << how;
    };

    const win::FileHandle constructed(open());
    expectEmpty(constructed, "file, constructed");
    win::FileHandle file;
    file.Reset(open());
    expectEmpty(file, "file, reset");
    *file.Receive() = open();
    expectEmpty(file, "file, received");
    EXPECT_EQ(file.Detach(), nullptr);

    win::FindHandle find(search());
    expectEmpty(find, "search, constructed");
    find.Reset(search());
    expectEmpty(find, "search, reset");
    *find.Receive() = search();
    expectEmpty(find, "search, received");
    driver::RemoveTree(missing.substr(0, missing.rfind("\\missing")));
}

TEST(HandleOwners, AFileStaysOpenThroughMovesAndIsClosedOnce) {
    const std::string folder = driver::ScratchFolder("kvr-handles");
    const std::string path = folder + "\\held.txt";
    ASSERT_TRUE(driver::WriteFileText(path, "held"));
    const auto openAlone = [&] {
        return win::FileHandle(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    };
    win::FileHandle first = openAlone();
    ASSERT_TRUE(first.Valid());
    win::FileHandle second(std::move(first));
    EXPECT_FALSE(first.Valid());
    win::FileHandle third;
    third = std::move(second);
    EXPECT_FALSE(second.Valid());
    EXPECT_FALSE(openAlone().Valid()) << "the file was let go by a move";
    third.Reset();
    EXPECT_TRUE(openAlone().Valid());

    WIN32_FIND_DATAA found;
    win::FindHandle search(FindFirstFileA((folder + "\\*").c_str(), &found));
    ASSERT_TRUE(search.Valid());
    const HANDLE raw = search.Get();
    search.Reset();
    EXPECT_FALSE(FindNextFileA(raw, &found)) << "the search is still open";
    driver::RemoveTree(folder);
}

// An allocator that counts the blocks it frees.
class CountingAllocator : public IMalloc {
public:
    int freed = 0;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    void* STDMETHODCALLTYPE Alloc(SIZE_T size) override { return HeapAlloc(GetProcessHeap(), 0, size); }
    void* STDMETHODCALLTYPE Realloc(void*, SIZE_T) override { return nullptr; }
    void STDMETHODCALLTYPE Free(void* block) override {
        ++freed;
        HeapFree(GetProcessHeap(), 0, block);
    }
    SIZE_T STDMETHODCALLTYPE GetSize(void*) override { return 0; }
    int STDMETHODCALLTYPE DidAlloc(void*) override { return -1; }
    void STDMETHODCALLTYPE HeapMinimize() override {}
};

TEST(HandleOwners, AShellBlockIsFreedOnceByTheOwnerItWasMovedTo) {
    CountingAllocator allocator;
    {
        win::ShellMemory<ITEMIDLIST> first(&allocator);
        *first.Receive() = static_cast<ITEMIDLIST*>(allocator.Alloc(16));
        win::ShellMemory<ITEMIDLIST> second(std::move(first));
        EXPECT_FALSE(first);
        EXPECT_TRUE(second);
        win::ShellMemory<ITEMIDLIST> third(&allocator);
        *third.Receive() = static_cast<ITEMIDLIST*>(allocator.Alloc(16));
        third = std::move(second);
        EXPECT_EQ(allocator.freed, 1) << "the block that the target held";
        EXPECT_FALSE(second);
    }
    EXPECT_EQ(allocator.freed, 2);
}

// What a thread finds of COM after an apartment owner of each kind has come and gone.
struct ApartmentRun {
    win::ComApartment::Kind kind;
    bool entered = false;
    bool movedAway = false;
    HRESULT afterwards = E_FAIL;        // a first initialisation again: S_OK
    bool enteredInsideMta = true;       // a thread already multithreaded is not changed
    HRESULT mtaAfterwards = E_FAIL;     // still multithreaded: S_FALSE
};

DWORD WINAPI RunApartments(void* parameter) {
    auto* run = static_cast<ApartmentRun*>(parameter);
    {
        win::ComApartment apartment(run->kind);
        run->entered = apartment.Initialised();
        win::ComApartment moved(std::move(apartment));
        run->movedAway = !apartment.Initialised() && moved.Initialised();
    }
    run->afterwards = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (SUCCEEDED(run->afterwards)) CoUninitialize();
    if (SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {
        {
            const win::ComApartment inside(run->kind);
            run->enteredInsideMta = inside.Initialised();
        }
        run->mtaAfterwards = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        if (SUCCEEDED(run->mtaAfterwards)) CoUninitialize();
        CoUninitialize();
    }
    return 0;
}

TEST(HandleOwners, ComApartmentUndoesOnlyWhatItDid) {
    for (const auto kind : {win::ComApartment::Kind::Com, win::ComApartment::Kind::Ole}) {
        SCOPED_TRACE(kind == win::ComApartment::Kind::Com ? "COM" : "OLE");
        ApartmentRun run{kind};
        const win::KernelHandle thread(CreateThread(nullptr, 0, RunApartments, &run, 0, nullptr));
        ASSERT_TRUE(thread.Valid());
        ASSERT_EQ(WaitForSingleObject(thread.Get(), 10000), WAIT_OBJECT_0);
        EXPECT_TRUE(run.entered);
        EXPECT_TRUE(run.movedAway);
        EXPECT_EQ(run.afterwards, S_OK) << "left initialised";
        EXPECT_FALSE(run.enteredInsideMta);
        EXPECT_EQ(run.mtaAfterwards, S_FALSE) << "the thread's own initialisation was undone";
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
