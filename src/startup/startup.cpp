#include "startup/startup.h"

#include <cstdlib>
#include <commctrl.h>

#include "engine/engine_pages.h"
#include "engine/install_journal.h"
#include "foundation/globals.h"
#include "foundation/message_box.h"
#include "foundation/portable/install_choices.h"
#include "foundation/portable/product.h"
#include "foundation/registry.h"
#include "foundation/run_log.h"
#include "foundation/system_library.h"
#include "foundation/system_version.h"
#include "foundation/win_handles.h"
#include "integration/launch.h"
#include "resources/resource.h"
#include "startup/command_line.h"
#include "startup/unattended.h"
#include "wizard/pages.h"
#include "wizard/path_validation.h"
#include "wizard/wizard.h"

namespace {

// The wizard's pages in order; the Welcome page takes its title from 130 and its subtitle from 129.
const PageDescription kPages[] = {
    {IDD_WELCOME, WelcomePageProc, IDS_WELCOME_TITLE, IDS_WELCOME_SUBTITLE},
    {IDD_LICENSE, LicensePageProc, IDS_LICENSE_TITLE, IDS_LICENSE_SUBTITLE},
    {IDD_DESTINATION, DestinationPageProc, IDS_DESTINATION_TITLE, IDS_DESTINATION_SUBTITLE},
    {IDD_STARTMENU, StartMenuPageProc, IDS_STARTMENU_TITLE, IDS_STARTMENU_SUBTITLE},
    {IDD_DATAFOLDER, DataFolderPageProc, IDS_DATAFOLDER_TITLE, IDS_DATAFOLDER_SUBTITLE},
    {IDD_TASKS, TasksPageProc, IDS_TASKS_TITLE, IDS_TASKS_SUBTITLE},
    {IDD_READY, ReadyPageProc, IDS_READY_TITLE, IDS_READY_SUBTITLE},
    {IDD_INSTALLING, InstallingPageProc, IDS_INSTALLING_TITLE, IDS_INSTALLING_SUBTITLE},
    {IDD_FINISHED, FinishedPageProc, IDS_FINISHED_TITLE, IDS_FINISHED_SUBTITLE},
};

void SeedRandomNumbers() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    FILETIME asFileTime;
    if (SystemTimeToFileTime(&now, &asFileTime))
        std::srand(asFileTime.dwLowDateTime);
    else
        std::srand(static_cast<unsigned>(now.wSecond) * (now.wMilliseconds + 1u));
}

// What the wizard needs loaded while it runs; released when this goes out of scope.
struct InterfaceResources {
    win::Library commonControls;  // kept loaded, so that the classes registered stay registered
    win::Library richEdit1;
    win::Library richEdit2;
    win::ComApartment ole;
    win::Icon icons[4];

    HICON LoadOwnIcon(int slot, int id) {
        icons[slot].Reset(static_cast<HICON>(
            LoadImageA(g_setup.instance, MAKEINTRESOURCEA(id), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE)));
        return icons[slot].Get();
    }

    // 0 when neither rich-edit library loads (the icons are then not loaded).
    int Prepare() {
        commonControls.Reset(LoadCommonControls());
        RegisterCommonControlClasses(commonControls.Get());
        // 2.0 first: the 1.0 library imports it by name.
        richEdit2.Reset(LoadSystemLibrary("Riched20.dll"));
        richEdit1.Reset(LoadSystemLibrary("Riched32.dll"));
        ole.Enter(win::ComApartment::Kind::Ole);
        if (!richEdit1 && !richEdit2) return 0;
        g_setup.setupIcon = LoadOwnIcon(0, IDI_SETUP);
        g_setup.destinationIcon = LoadOwnIcon(1, IDI_DESTINATION);
        g_setup.startMenuIcon = LoadOwnIcon(2, IDI_STARTMENU);
        g_setup.dataFolderIcon = LoadOwnIcon(3, IDI_DATAFOLDER);
        return 1;
    }

    ~InterfaceResources() {
        for (win::Icon& icon : icons) icon.Reset();
        g_setup.setupIcon = g_setup.destinationIcon = g_setup.startMenuIcon = g_setup.dataFolderIcon = nullptr;
        ole.Reset();        // the reverse of the order of preparation
        richEdit1.Reset();  // 1.0 before 2.0
        richEdit2.Reset();
        commonControls.Reset();
    }
};

void Refuse(const char* text) { SetupMessageBox(text, kBoxError, nullptr); }

// The installed copy is newer: offer to run it instead of installing.
void OfferInstalledVersion() {
    SetupString question;
    question.Format(
        "Newer version of the program was detected installed on this system...\n(This setup installs version %s "
        "only.)\n\nDo you want to run the installed program?",
        product::kVersion);
    if (SetupMessageBox(question.c_str(), kBoxErrorYesNo, nullptr) != IDYES) return;
    if (LaunchInstalledProgram(nullptr) != 0) return;
    SetupMessageBox(
        "Cannot run installed program.\nConnect to the Internet and click OK. The installation will open the web "
        "site for you to download the latest version of the program.",
        kBoxError, nullptr);
    OpenWebPage(product::kDownloadPage, true);
}

}  // namespace

int ProbeCapabilities(int* disagreement) {
    int verdict = -1;  // undetermined
    OSVERSIONINFOA info;
    if (QuerySystemVersion(info)) verdict = info.dwPlatformId == VER_PLATFORM_WIN32_NT ? 1 : 0;
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    const int heapLock = GetModuleHandleA("ntdll.dll") != nullptr && kernel != nullptr &&
                         GetProcAddress(kernel, "HeapLock") != nullptr;
    if (disagreement != nullptr) *disagreement = 0;
    if (verdict < 0) return heapLock;
    if (disagreement != nullptr) *disagreement = verdict != heapLock;
    return verdict;
}

int RunSetup(HINSTANCE instance, const char* commandTail) {
    g_setup.instance = instance;
    g_setup.wizardWindow = nullptr;

    const CommandLineRequest request = InterpretCommandLine(commandTail);
    const bool unattended = request.mode != SetupMode::Wizard;
    if (!request.logFile.Empty() && !OpenRunLog(request.logFile.c_str()) && unattended)
        return kExitFolderRefused;
    if (unattended) AnswerMessagesUnattended();
    // A wizard run ends with 0 whatever happened; an unattended one says how it ended.
    const auto finish = [unattended](int code) { return unattended ? code : 0; };

    OSVERSIONINFOA version;
    if (QuerySystemVersion(version) && IsRefusedSystem(version.dwPlatformId, version.dwMajorVersion)) {
        Refuse("ERROR: This version of operating system is not supported...\n\n(The program can be installed on "
               "Windows 2000/XP/Vista/7 and later OS.)");
        return finish(kExitUnsupportedSystem);
    }
    if (ParseCommandLine(commandTail) != 0) return 0;
    SeedRandomNumbers();

    int disagreement = 0;
    g_facts.NtFamilySystem = (ProbeCapabilities(&disagreement) == 1 && disagreement == 0) ? 1 : 0;
    g_facts.MachineWriteAccess = ProbeMachineWriteAccess();

    // Held until the process ends; a failure to create it is not a refusal.
    win::KernelHandle mutex(CreateMutexA(nullptr, FALSE, product::kSetupMutex));
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        Refuse("Another instance of this Setup is already running.");
        return finish(kExitAnotherSetup);
    }
    // With the mutex held, a journal left in place belongs to a run that died.
    SetupString recovered;
    if (RecoverInterruptedInstallation(recovered) && !recovered.Empty())
        SetupMessageBox(recovered.c_str(), kBoxInformation, nullptr);

    SetupString setupVersion(product::kVersion);
    int32_t status = 0;
    SetupString installedVersion = ReadSetting(HKEY_CURRENT_USER, "ver", "0", &status);
    KeepVersionChars(setupVersion);
    KeepVersionChars(installedVersion);
    if (setupVersion.CompareVersion(installedVersion.c_str()) == 1) {
        if (unattended) {
            LogRunLine("a newer version is installed: nothing done");
            return kExitNewerInstalled;
        }
        OfferInstalledVersion();
        mutex.Detach();  // released by the process ending
        return 0;
    }
    g_facts.PreviousInstallFound = status == 1 ? 1 : 0;
    if (unattended) return RunUnattendedInstallation(request);

    InterfaceResources resources;
    if (resources.Prepare() == 0) SetupMessageBox("Failed to initialize the installer", kBoxError, nullptr);
    ShowWizard(kPages, sizeof kPages / sizeof kPages[0]);
    return 0;
}
