// The startup path of the real setup.exe: help, refusals, the single-instance
// check, the newer-version question and the library search.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

#include "driver.h"
#include "e2e_support.h"
#include "foundation/portable/product.h"
#include "resources/resource.h"
#include "user_registry.h"

namespace {

using driver::IconKind;

constexpr char kSetupCaption[] = "Korvane 1.2.3 - Setup";
constexpr char kHelpText[] =
    "Korvane Installation Routine:\n(Command line parameters)\n=======================\n\n/help - Show help "
    "window;\n/temp [PATH] - Specify temporary folder.\n"
    "/silent [OPTIONS] - Install without any window (giving it accepts the license agreement);\n"
    "/passive [OPTIONS] - Install showing only its progress, asking nothing (accepts the license agreement);\n"
    "/log PATH - Write the setup's messages to a log file.\n\n"
    "OPTIONS: /dir PATH - program folder; /data PATH - recording & data files folder; /nostartmenu - no Start "
    "Menu folder; /desktop - desktop shortcut; /log PATH - log file; /temp [PATH] - temporary folder (last, it "
    "takes the rest of the line).";
constexpr char kUnsupportedText[] =
    "ERROR: This version of operating system is not supported...\n\n(The program can be installed on Windows "
    "2000/XP/Vista/7 and later OS.)";
constexpr char kNewerText[] =
    "Newer version of the program was detected installed on this system...\n(This setup installs version 1.2.3 "
    "only.)\n\nDo you want to run the installed program?";
constexpr char kCannotRunText[] =
    "Cannot run installed program.\nConnect to the Internet and click OK. The installation will open the web site "
    "for you to download the latest version of the program.";
using e2e::CancelWizard;
using e2e::kCancelText;

bool StandInShown() { return FindWindowA(product::kMainWindowClass, nullptr) != nullptr; }

class SetupStartup : public ::testing::Test {
protected:
    void SetUp() override {
        driver::ResetSetupRegistry();
        setupExe_ = driver::BuiltFile("KVR_SETUP_EXE");
        ASSERT_FALSE(setupExe_.empty()) << "KVR_SETUP_EXE is not set";
    }
    void TearDown() override {
        driver::ResetSetupRegistry();
        driver::CloseApplication();
    }

    driver::Process StartSetup(const std::string& arguments = "") {
        return driver::Process::Start(setupExe_, arguments);
    }

    std::string setupExe_;
};

TEST_F(SetupStartup, HelpOptionsShowTheUsageAndEnd) {
    for (const char* option : {"/?", "/HELP", "-Help", "  -?x"}) {
        SCOPED_TRACE(option);
        driver::Process setup = StartSetup(option);
        ASSERT_TRUE(setup.Started());
        driver::MessageBoxInfo box = setup.WaitForMessageBox();
        ASSERT_NE(box.window, nullptr);
        EXPECT_EQ(box.caption, "Korvane 1.2.3 - Setup");
        EXPECT_EQ(box.text, kHelpText);
        EXPECT_EQ(box.icon, IconKind::Information);
        EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
        driver::ClickButton(box.window, IDOK);
        ASSERT_TRUE(setup.WaitForExit());
        EXPECT_EQ(setup.ExitCode(), 0u);
    }
}

TEST_F(SetupStartup, OlderSystemsAreRefused) {
    for (const char* version : {"nt40", "win98"}) {
        SCOPED_TRACE(version);
        driver::SetWineAppDefault("setup.exe", "", "Version", version);
        driver::Process setup = StartSetup();
        driver::MessageBoxInfo box = setup.WaitForMessageBox();
        ASSERT_NE(box.window, nullptr);
        EXPECT_EQ(box.text, kUnsupportedText);
        EXPECT_EQ(box.icon, IconKind::Error);
        driver::ClickButton(box.window, IDOK);
        ASSERT_TRUE(setup.WaitForExit());
        EXPECT_EQ(setup.ExitCode(), 0u);
    }
}

TEST_F(SetupStartup, Windows2000IsAccepted) {
    driver::SetWineAppDefault("setup.exe", "", "Version", "win2k");
    driver::Process setup = StartSetup();
    HWND wizard = setup.WaitForWizard();
    ASSERT_NE(wizard, nullptr);
    CancelWizard(setup, wizard);
}

// With the version 6 manifest, Windows XP makes no progress bar from a page's template (the Installing page)
// unless InitCommonControlsEx has registered its class first. Wine needs no such call, and its Common Controls
// register nothing on it, but its trace of them shows the setup's calls and their order.
TEST_F(SetupStartup, TheProgressBarClassIsRegisteredBeforeTheWizardIsMade) {
    char loader[MAX_PATH] = "";
    char setupUnixPath[MAX_PATH] = "";
    if (!driver::UnderWine() || GetEnvironmentVariableA("WINELOADER", loader, MAX_PATH) == 0 ||
        GetEnvironmentVariableA("KVR_SETUP_EXE", setupUnixPath, MAX_PATH) == 0)
        GTEST_SKIP() << "reads Wine's trace of the Common Controls";
    // Wine writes the trace to the program's unix standard error: a unix shell starts the setup with that in a file.
    const std::string trace = "/tmp/kvr-setup-trace-" + std::to_string(GetCurrentProcessId()) + ".txt";
    std::string command = std::string("Z:\\bin\\sh -c \"exec \\\"$0\\\" \\\"$1\\\" 2>\\\"$2\\\"\" \"") + loader +
                          "\" \"" + setupUnixPath + "\" \"" + trace + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    SetEnvironmentVariableA("WINEDEBUG", "trace+commctrl,trace+propsheet");
    const BOOL started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                        &info);
    SetEnvironmentVariableA("WINEDEBUG", nullptr);
    ASSERT_TRUE(started) << command;
    const win::KernelHandle shell(info.hProcess);
    const win::KernelHandle shellThread(info.hThread);
    HWND wizard = nullptr;
    ASSERT_TRUE(driver::WaitUntil([&] { return (wizard = FindWindowA("#32770", kSetupCaption)) != nullptr; }));
    DWORD setupId = 0;
    GetWindowThreadProcessId(wizard, &setupId);
    {
        // Nothing of an installation is under way yet: ending it here leaves nothing behind.
        const win::KernelHandle setup(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, setupId));
        ASSERT_TRUE(setup.Valid());
        TerminateProcess(setup.Get(), 0);
        WaitForSingleObject(setup.Get(), 5000);
    }
    std::string traceFile = "Z:" + trace;
    std::replace(traceFile.begin(), traceFile.end(), '/', '\\');
    const std::string text = driver::ReadFileText(traceFile);
    DeleteFileA(traceFile.c_str());

    const std::string initCall = ":InitCommonControlsEx ";
    const size_t init = text.find(initCall);
    const size_t sheet = text.find(":PropertySheetA ");
    ASSERT_NE(sheet, std::string::npos) << "no trace of the wizard:\n" << text.substr(0, 2000);
    ASSERT_NE(init, std::string::npos) << "the Common Controls were never initialised";
    EXPECT_LT(init, sheet) << "initialised only after the wizard was made";
    const unsigned long classes = std::strtoul(text.c_str() + init + initCall.size(), nullptr, 16);
    EXPECT_EQ(classes & ICC_PROGRESS_CLASS, static_cast<unsigned long>(ICC_PROGRESS_CLASS)) << std::hex << classes;
}

TEST_F(SetupStartup, SecondCopyIsRefusedWhileTheFirstRuns) {
    driver::Process first = StartSetup();
    HWND wizard = first.WaitForWizard();
    ASSERT_NE(wizard, nullptr);

    // Help is answered before the single-instance check.
    driver::Process helper = StartSetup("/?");
    driver::MessageBoxInfo help = helper.WaitForMessageBox();
    EXPECT_EQ(help.text, kHelpText);
    driver::ClickButton(help.window, IDOK);
    ASSERT_TRUE(helper.WaitForExit());

    driver::Process second = StartSetup();
    driver::MessageBoxInfo box = second.WaitForMessageBox();
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.text, "Another instance of this Setup is already running.");
    EXPECT_EQ(box.icon, IconKind::Error);
    driver::ClickButton(box.window, IDOK);
    ASSERT_TRUE(second.WaitForExit());
    EXPECT_EQ(second.WaitForWizard(0), nullptr);

    CancelWizard(first, wizard);
}

TEST_F(SetupStartup, CancelConfirmationCanBeDeclined) {
    driver::SetSetting("ver", "1.2.3");  // same version: the wizard runs
    driver::Process setup = StartSetup();
    HWND wizard = setup.WaitForWizard();
    ASSERT_NE(wizard, nullptr);
    EXPECT_EQ(driver::CurrentPageId(wizard), IDD_WELCOME);
    driver::PressWizardButton(wizard, PSBTN_CANCEL);
    driver::MessageBoxInfo confirm = setup.WaitForMessageBox();
    EXPECT_EQ(confirm.text, kCancelText);
    EXPECT_EQ(confirm.icon, IconKind::Question);
    // Centred over the wizard frame.
    RECT frame, box;
    GetWindowRect(wizard, &frame);
    GetWindowRect(confirm.window, &box);
    EXPECT_NEAR((box.left + box.right) / 2, (frame.left + frame.right) / 2, 1);
    EXPECT_NEAR((box.top + box.bottom) / 2, (frame.top + frame.bottom) / 2, 1);
    EXPECT_EQ(confirm.buttons, (std::vector<int>{IDYES, IDNO}));
    e2e::AnswerBox(setup, wizard, confirm, IDNO);
    EXPECT_TRUE(setup.Running());
    EXPECT_EQ(driver::CurrentPageId(wizard), IDD_WELCOME);
    CancelWizard(setup, wizard);
}

TEST_F(SetupStartup, NewerInstalledVersionCanBeStartedInstead) {
    const std::string folder = driver::ScratchFolder("kvr-newer");
    const std::string standIn = driver::BuiltFile("KVR_STANDIN");
    ASSERT_TRUE(CopyFileA(standIn.c_str(), (folder + "\\kvr.exe").c_str(), FALSE));
    const std::string library = standIn.substr(0, standIn.rfind('\\') + 1) + "kvrcore.dll";
    ASSERT_TRUE(CopyFileA(library.c_str(), (folder + "\\kvrcore.dll").c_str(), FALSE));
    driver::SetSetting("ver", "1.2.4");
    driver::SetSetting("InstallFolder", (folder + "\\").c_str());
    driver::Process setup = StartSetup();
    driver::MessageBoxInfo question = setup.WaitForMessageBox();
    ASSERT_NE(question.window, nullptr);
    EXPECT_EQ(question.text, kNewerText);
    EXPECT_EQ(question.icon, IconKind::Error);
    EXPECT_EQ(question.buttons, (std::vector<int>{IDYES, IDNO}));
    driver::ClickButton(question.window, IDYES);
    EXPECT_TRUE(driver::WaitUntil(StandInShown));
    ASSERT_TRUE(setup.WaitForExit());
    EXPECT_EQ(setup.WaitForWizard(0), nullptr);
}

TEST_F(SetupStartup, NewerVersionQuestionAnsweredNoEndsTheSetup) {
    for (const char* version : {"1.3", "2", "1.2.3.0", "version 1.2.4 (beta)"}) {
        SCOPED_TRACE(version);
        driver::SetSetting("ver", version);
        driver::Process setup = StartSetup();
        driver::MessageBoxInfo question = setup.WaitForMessageBox();
        EXPECT_EQ(question.text, kNewerText);
        driver::ClickButton(question.window, IDNO);
        ASSERT_TRUE(setup.WaitForExit());
        EXPECT_FALSE(StandInShown());
    }
}

TEST_F(SetupStartup, NewerVersionThatCannotStartOpensTheDownloadPage) {
    e2e::FakeBrowser browser;
    const std::string folder = driver::ScratchFolder("kvr-missing");
    driver::SetSetting("ver", "1.2.4");
    driver::SetSetting("InstallFolder", folder.c_str());
    driver::Process setup = StartSetup();
    driver::MessageBoxInfo question = setup.WaitForMessageBox();
    ASSERT_EQ(question.text, kNewerText);
    driver::ClickButton(question.window, IDYES);
    ASSERT_TRUE(driver::WaitUntil([&] {
        const driver::MessageBoxInfo box = setup.CurrentMessageBox();
        return box.window != nullptr && box.window != question.window;
    }));
    driver::MessageBoxInfo failure = setup.CurrentMessageBox();
    EXPECT_EQ(failure.text, kCannotRunText);
    EXPECT_EQ(failure.icon, IconKind::Error);
    driver::ClickButton(failure.window, IDOK);
    ASSERT_TRUE(setup.WaitForExit());
    ASSERT_TRUE(driver::WaitUntil([&] { return !browser.Calls().empty(); }));
    EXPECT_EQ(browser.Calls(), "call 1\narg https://www.ostrevik-audio.example/php/download.php?what=kvr\n");
}

// Libraries that Windows, or the system's own libraries, look up by name; each is planted beside the setup.
constexpr const char* kPlantedLibraries[] = {"comctl32", "shlwapi", "uxtheme",  "riched20",
                                             "riched32", "version", "propsys", "dwmapi"};

// A folder like Downloads: the program under test, and a planted copy of every library above that leaves a
// marker when anything loads it.
class PlantedLibraries : public SetupStartup {
protected:
    void TearDown() override {
        SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\loader.exe");
        SetEnvironmentVariableA("KVR_PLANT_MARKER", nullptr);
        SetupStartup::TearDown();
    }

    // Copies `program` into a fresh folder as `name` beside the planted libraries; returns its path.
    std::string PlantBeside(const std::string& program, const char* name) {
        folder_ = driver::ScratchFolder("kvr-planted");
        const std::string copy = folder_ + "\\" + name;
        EXPECT_TRUE(CopyFileA(program.c_str(), copy.c_str(), FALSE));
        for (const char* library : kPlantedLibraries) {
            const std::string planted = folder_ + "\\" + library + ".dll";
            EXPECT_TRUE(CopyFileA(driver::BuiltFile("KVR_PLANTED_DLL").c_str(), planted.c_str(), FALSE));
            // Without this Wine would prefer its own built-in library and the test could not fail.
            driver::SetWineAppDefault(name, "DllOverrides", library, "native,builtin");
        }
        SetEnvironmentVariableA("KVR_PLANT_MARKER", (folder_ + "\\ran").c_str());
        return copy;
    }

    // The planted libraries whose code ran.
    std::vector<std::string> LibrariesThatRan() const {
        std::vector<std::string> ran;
        for (const char* library : kPlantedLibraries)
            if (driver::FileExists(folder_ + "\\ran-" + library + ".dll")) ran.emplace_back(library);
        return ran;
    }

    std::string folder_;
};

// True when `path` lies in `folder` (compared without regard to case, as Windows does).
bool LiesIn(const std::string& path, const std::string& folder) {
    return path.size() > folder.size() && _strnicmp(path.c_str(), folder.c_str(), folder.size()) == 0 &&
           path[folder.size()] == '\\';
}

TEST_F(PlantedLibraries, NoneRunsInTheSetupAndTheWizardKeepsItsModernControls) {
    // The setup as built, and the same setup acting as on a system that cannot restrict the DLL search.
    for (const char* build : {"KVR_SETUP_EXE", "KVR_OLD_SEARCH_SETUP_EXE"}) {
        SCOPED_TRACE(build);
        driver::ResetSetupRegistry();
        const std::string setupCopy = PlantBeside(driver::BuiltFile(build), "setup.exe");
        driver::Process setup = driver::Process::Start(setupCopy, "");
        HWND wizard = setup.WaitForWizard();
        ASSERT_NE(wizard, nullptr);
        // The License page shows the rich-edit control.
        driver::PressWizardButton(wizard, PSBTN_NEXT);
        ASSERT_TRUE(driver::WaitForPage(wizard, IDD_LICENSE));

        std::string commonControls;
        for (const std::string& module : setup.LoadedModules()) {
            if (_stricmp(module.c_str(), setupCopy.c_str()) != 0) {
                EXPECT_FALSE(LiesIn(module, folder_)) << module;
            }
            const size_t name = module.find_last_of('\\') + 1;
            if (_stricmp(module.c_str() + name, "comctl32.dll") == 0) commonControls = module;
        }
        // Version 6 comes from the side-by-side store the manifest names, not from the system folder.
        EXPECT_NE(StrStrIA(commonControls.c_str(), "\\winsxs\\"), nullptr) << commonControls;
        CancelWizard(setup, wizard);
        EXPECT_EQ(LibrariesThatRan(), std::vector<std::string>{});
    }
}

TEST_F(PlantedLibraries, ANaiveLoaderInTheSameFolderRunsThem) {
    // Shows that the planted copies and Wine's overrides do work, so the test above can fail.
    const std::string loader = PlantBeside(driver::BuiltFile("KVR_PLAIN_LOADER"), "loader.exe");
    std::string names;
    for (const char* library : kPlantedLibraries) names += std::string(library) + ".dll ";
    driver::Process control = driver::Process::Start(loader, names);
    ASSERT_TRUE(control.WaitForExit());
    EXPECT_EQ(LibrariesThatRan(), std::vector<std::string>(std::begin(kPlantedLibraries), std::end(kPlantedLibraries)));
}

}  // namespace
