#include "startup/unattended.h"

#include <windows.h>


#include "engine/install_driver.h"
#include "engine/portable/install_state.h"
#include "engine/previous_version.h"
#include "foundation/globals.h"
#include "foundation/message_box.h"
#include "foundation/portable/install_choices.h"
#include "foundation/portable/product.h"
#include "foundation/run_log.h"
#include "foundation/system_library.h"
#include "foundation/win_handles.h"
#include "integration/contained_folders.h"
#include "integration/launch.h"
#include "integration/settings.h"
#include "resources/resource.h"
#include "wizard/folder_page.h"
#include "wizard/pages.h"

namespace {

constexpr char kProgressClass[] = "KorvaneSetupProgress";

void Log(const char* format, const char* text) {
    SetupString line;
    line.Format(format, text);
    LogRunLine(line.c_str());
}

// The Installing page's controls in a small window of their own: all that "/passive" shows. Closing it asks
// for the installation to be cancelled (honoured while Cancel would be in the wizard).
class ProgressWindow {
public:
    explicit ProgressWindow(bool shown) {
        if (!shown) return;
        commonControls_ = win::Library(LoadCommonControls());
        RegisterCommonControlClasses(commonControls_.Get());
        WNDCLASSA frameClass = {};
        frameClass.lpfnWndProc = FrameProc;
        frameClass.hInstance = g_setup.instance;
        frameClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        frameClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        frameClass.lpszClassName = kProgressClass;
        RegisterClassA(&frameClass);
        frame_.Reset(CreateWindowExA(0, kProgressClass, product::kSetupCaption,
                                     WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT, CW_USEDEFAULT, 100, 100,
                                     nullptr, nullptr, g_setup.instance, this));
        if (!frame_) return;
        HWND frame = frame_.Get();
        page_ = CreateDialogParamA(g_setup.instance, MAKEINTRESOURCEA(IDD_INSTALLING), frame, PageProc, 0);
        if (page_ != nullptr) {
            // The page is made for the wizard's frame: no caption and not disabled here.
            SetWindowLongPtrA(page_, GWL_STYLE, GetWindowLongPtrA(page_, GWL_STYLE) & ~(WS_CAPTION | WS_DISABLED));
            SetWindowPos(page_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
            RECT area;
            GetWindowRect(page_, &area);
            RECT outer = {0, 0, area.right - area.left, area.bottom - area.top};
            AdjustWindowRect(&outer, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, FALSE);
            SetWindowPos(frame, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                         SWP_NOMOVE | SWP_NOZORDER);
            ShowWindow(page_, SW_SHOW);
        }
        CenterWindow(frame, nullptr);
        ShowWindow(frame, SW_SHOW);
        UpdateWindow(frame);
    }
    ~ProgressWindow() {
        frame_.Reset();  // the page with it, before its class goes
        UnregisterClassA(kProgressClass, g_setup.instance);
    }
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    HWND Page() const { return page_; }
    bool CancelRequested() const { return cancelRequested_; }

    /// Lets the window paint and answer between two steps.
    void Pump() const {
        MSG message;
        while (frame_ && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }

private:
    static LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            const auto* creation = reinterpret_cast<const CREATESTRUCTA*>(lParam);
            SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
        }
        if (message == WM_CLOSE) {
            if (auto* self = reinterpret_cast<ProgressWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA)))
                self->cancelRequested_ = true;
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
    static INT_PTR CALLBACK PageProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

    win::Library commonControls_;
    win::Window frame_;
    HWND page_ = nullptr;
    bool cancelRequested_ = false;
};

// The folder of a folder page: the one given, or what the page offers. False when it is refused (the reason
// is in the log).
bool ChooseFolder(const FolderPage& page, const SetupString& given) {
    bool locked = false;
    const SetupString offered = OfferedFolder(page, locked);
    if (locked && !given.Empty() && !IsSameFullPath(given.c_str(), offered.c_str())) {
        Log("ERROR: an earlier installation keeps its folder %s", offered.c_str());
        return false;
    }
    const SetupString folder = given.Empty() ? offered : given;
    if (AcceptFolder(page, folder.c_str()) != 1) {
        Log("ERROR: folder refused: %s", folder.c_str());
        return false;
    }
    Log("folder: %s", folder.c_str());
    return true;
}

// What the log says when the steps of a kind begin, in the order of InstallStepKind.
const char* const kStepNames[] = {"preparing", "installing the files", "installing the data folder and shortcuts",
                                  "writing the settings", "registering the uninstallation", ""};

// Puts back what the steps did, as the wizard does, and logs the files that could not be put back.
void AbandonAndLog(HWND page) {
    const SetupString unrestored = AbandonInstallation(page);
    if (!unrestored.Empty()) LogRunLine(unrestored.c_str());
}

// The steps one after the other, with no timer in between; a failure rolls back exactly as in the wizard.
int RunInstallSteps(bool withProgress) {
    // Measured while the files are written, instead of in the settings step.
    CpuSpeedInAdvance cpuSpeed;
    const ProgressWindow progress(withProgress);
    HWND page = progress.Page();
    InstallCancellable = 1;
    CloseRunningCopies(kCloseCopiesTimeoutMs);
    ResetInstallState();
    bool warned = false;
    InstallStepKind shown = InstallStepKind::Invalid;
    for (;;) {
        const InstallStepKind kind = ChooseInstallStep(g_install.stepIndex, g_install.entryCount).kind;
        if (kind != shown) LogRunLine(kStepNames[static_cast<int>(kind)]);
        shown = kind;
        const bool last = kind == InstallStepKind::Finish;
        SetupString error("");
        int32_t glitchReport = 0;
        if (!RunDueInstallStep(page, error, glitchReport)) {
            LogRunLine(error.c_str());
            AbandonAndLog(page);
            LogRunLine("rolled back");
            return kExitRolledBack;
        }
        if (!error.Empty()) {
            LogRunLine(error.c_str());
            warned = true;
        }
        if (last) break;
        progress.Pump();
        if (progress.CancelRequested() && InstallCancellable) {
            LogRunLine("cancelled");
            AbandonAndLog(page);
            return kExitCancelled;
        }
    }
    ResetInstallState();
    LogRunLine(warned ? "installed, but not registered for uninstallation" : "installed");
    return warned ? kExitNotRegistered : kExitInstalled;
}

int RunUnattended(const CommandLineRequest& request) {
    LogRunLine(request.mode == SetupMode::Silent ? "installing without a window" : "installing with progress only");
    // The Welcome page's Next: running copies close, and version 1.2.2 goes first, without asking.
    CloseRunningCopies(kCloseCopiesTimeoutMs);
    if (DetectPreviousVersion(nullptr)) {
        int code = 0;
        if (!RemovePreviousVersion(code)) {
            SetupString line;
            line.Format("ERROR: (%d) Unable to remove the previous version of the %s", code, product::kName);
            LogRunLine(line.c_str());
            return kExitOldVersionKept;
        }
        LogRunLine("previous version removed");
    }
    LogRunLine("license agreement accepted on the command line");
    if (!ChooseFolder(DestinationPageDescription(), request.installFolder)) return kExitFolderRefused;
    if (request.noStartMenuFolder) {
        StoreNoStartMenuFolder();
    } else if (AcceptStartMenuName(ProposedStartMenuName()) != 1) {
        LogRunLine("Start Menu shortcut cannot be created: going on without a Start Menu folder");
        StoreNoStartMenuFolder();
    }
    if (!ChooseFolder(DataFolderPageDescription(), request.dataFolder)) return kExitFolderRefused;
    g_choices.DesktopIcon = request.desktopIcon ? 1 : 0;
    g_choices.QuickLaunchIcon = 0;
    return RunInstallSteps(request.mode == SetupMode::Passive);
}

}  // namespace

int RunUnattendedInstallation(const CommandLineRequest& request) {
    // The shortcuts are made through the shell's COM objects, as the wizard makes them after its OLE set-up.
    const win::ComApartment ole(win::ComApartment::Kind::Ole);
    return RunUnattended(request);
}
