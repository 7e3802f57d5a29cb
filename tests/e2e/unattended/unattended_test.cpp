// The unattended forms of the real setup.exe: "/silent" and "/passive" with
// their options, the log, and the exit code that each ending gives.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "driver.h"
#include "e2e_support.h"
#include "shell_items.h"
#include "user_registry.h"
#include "foundation/portable/product.h"

namespace {

using driver::SpecialFolder;

class Unattended : public ::testing::Test {
protected:
    void SetUp() override {
        driver::ResetSetupRegistry();
        setupExe_ = driver::BuiltFile("KVR_SETUP_EXE");
        ASSERT_FALSE(setupExe_.empty()) << "KVR_SETUP_EXE is not set";
        scratch_ = driver::ScratchFolder("kvr-unattended");
        log_ = scratch_ + "\\setup.log";
        defaultProgram_ = SpecialFolder(CSIDL_PROFILE) + "\\Korvane";
        startMenu_ = SpecialFolder(CSIDL_PROGRAMS) + "\\Korvane";
        CleanUp();
    }
    void TearDown() override {
        CleanUp();
        driver::RemoveTree(scratch_);
        SetEnvironmentVariableA("TMP", nullptr);
    }
    void CleanUp() {
        for (const char* folder : {"InstallFolder", "SetupSchdRcFldr"}) {
            const std::string path = driver::GetSetting(folder);
            if (!path.empty()) driver::RemoveTree(path);
        }
        for (const std::string& folder : {defaultProgram_, startMenu_}) driver::RemoveTree(folder);
        DeleteFileA((SpecialFolder(CSIDL_DESKTOPDIRECTORY) + "\\Korvane.lnk").c_str());
        driver::ResetSetupRegistry();
    }

    // Runs the setup with `arguments` and the log, and returns its exit code.
    DWORD Run(const std::string& arguments, DWORD timeoutMs = 60000) {
        driver::Process setup = driver::Process::Start(setupExe_, arguments + " /log \"" + log_ + "\"");
        EXPECT_TRUE(setup.WaitForExit(timeoutMs)) << arguments;
        return setup.ExitCode();
    }
    std::string Log() const { return driver::ReadFileText(log_); }

    std::string setupExe_, scratch_, log_, defaultProgram_, startMenu_;
};

TEST_F(Unattended, SilentInstallsWhatNextOnEveryPageWouldAndReinstallsInThoseFolders) {
    ASSERT_EQ(Run("/silent"), 0u) << Log();
    EXPECT_EQ(driver::GetSetting("InstallFolder"), defaultProgram_);
    EXPECT_EQ(driver::GetSetting("ver"), "1.2.3");
    for (const char* file : {"kvr.exe", "uninst_kvr.exe", "Manual\\index.htm", "__cdcb.lx"})
        EXPECT_TRUE(driver::FileExists(defaultProgram_ + "\\" + file)) << file;
    // Every link of the Start Menu folder points at its own target.
    const struct {
        const char* link;
        const char* target;
    } links[] = {
        {"Korvane.lnk", "kvr.exe"},
        {"Manual.lnk", "Manual\\index.htm"},
        {"Quick Hardware Setup.lnk", "Quick Setup\\index.htm"},
        {"Uninstall.lnk", "uninst_kvr.exe"},
    };
    for (const auto& link : links)
        EXPECT_EQ(driver::LinkTarget(startMenu_ + "\\" + link.link), defaultProgram_ + "\\" + link.target) << link.link;
    EXPECT_FALSE(driver::FileExists(SpecialFolder(CSIDL_DESKTOPDIRECTORY) + "\\Korvane.lnk"));
    EXPECT_EQ(driver::ReadValue(product::kUninstallKey, "QuietUninstallString").text, "\"" + defaultProgram_ + "\\uninst_kvr.exe\" /S");
    EXPECT_NE(Log().find("license agreement accepted on the command line"), std::string::npos) << Log();
    EXPECT_NE(Log().find(" installed\r\n"), std::string::npos) << Log();

    // Again over that installation: its folders are kept, nothing is asked.
    ASSERT_EQ(Run("/silent"), 0u) << Log();
    EXPECT_EQ(driver::GetSetting("InstallFolder"), defaultProgram_);
}

TEST_F(Unattended, PassiveTakesTheGivenFoldersAndTasks) {
    const std::string program = scratch_ + "\\Program Files\\Korvane";
    const std::string data = scratch_ + "\\Recordings";
    ASSERT_EQ(Run("/passive /dir \"" + program + "\" /data \"" + data + "\" /nostartmenu /desktop"), 0u) << Log();
    EXPECT_EQ(driver::GetSetting("InstallFolder"), program);
    EXPECT_EQ(driver::GetSetting("SetupSchdRcFldr"), data);
    EXPECT_TRUE(driver::FileExists(program + "\\kvr.exe"));
    EXPECT_TRUE(driver::IsFolder(data));
    bool recorded = true;
    driver::GetSetting("instOSMP", &recorded);
    EXPECT_FALSE(recorded) << "no Start Menu folder was asked for";
    EXPECT_FALSE(driver::FileExists(startMenu_ + "\\Korvane.lnk"));
    EXPECT_TRUE(driver::FileExists(SpecialFolder(CSIDL_DESKTOPDIRECTORY) + "\\Korvane.lnk"));
}

TEST_F(Unattended, EveryEndingHasItsExitCodeAndItsLine) {
    const std::string blocked = scratch_ + "\\blocked";
    const struct Case {
        const char* name;
        void (*arrange)(const std::string& scratch);
        std::string arguments;
        DWORD code;
        const char* line;  // what the log says
    } cases[] = {
        {"newer version installed", [](const std::string&) { driver::SetSetting("ver", "1.2.4"); }, "/silent", 2,
         "a newer version is installed"},
        {"folder refused", nullptr, "/silent /dir Q:\\Korvane", 4, "folder refused: Q:\\Korvane"},
        {"file step fails",
         [](const std::string& scratch) { CreateDirectoryA((scratch + "\\blocked").c_str(), nullptr);
                                          CreateDirectoryA((scratch + "\\blocked\\kvr.exe").c_str(), nullptr); },
         "/silent /dir \"" + blocked + "\"", 5, "rolled back"},
        {"1.2.2 cannot be removed",
         [](const std::string& scratch) {
             driver::SetSetting("ver", "1.2.2");
             driver::WriteFileText(scratch + "\\file", "in the way");
             SetEnvironmentVariableA("TMP", (scratch + "\\file\\").c_str());
         },
         "/passive", 8, "Unable to remove the previous version"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CleanUp();
        DeleteFileA(log_.c_str());
        if (c.arrange != nullptr) c.arrange(scratch_);
        EXPECT_EQ(Run(c.arguments), c.code) << Log();
        SetEnvironmentVariableA("TMP", nullptr);
        EXPECT_NE(Log().find(c.line), std::string::npos) << Log();
        EXPECT_FALSE(driver::FileExists(defaultProgram_ + "\\kvr.exe"));
    }
    // The failed file step put the folder back as it was: only the folder in the way is there.
    EXPECT_TRUE(driver::IsFolder(blocked + "\\kvr.exe"));
    EXPECT_FALSE(driver::FileExists(blocked + "\\uninst_kvr.exe"));
}

TEST_F(Unattended, AnotherSetupRunningGivesItsCodeAndAWizardRunStillEndsWithZero) {
    driver::Process wizard = driver::Process::Start(setupExe_, "");
    HWND frame = wizard.WaitForWizard();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(Run("/silent"), 3u);
    EXPECT_NE(Log().find("Another instance of this Setup is already running."), std::string::npos) << Log();
    e2e::CancelWizard(wizard, frame);
    EXPECT_EQ(wizard.ExitCode(), 0u);
}

// A window of the application that does not close: the setup waits for it, long enough to close the progress
// window meanwhile.
LRESULT CALLBACK Stubborn(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(Unattended, ClosingThePassiveProgressCancelsAndRollsBack) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = Stubborn;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = product::kMainWindowClass;
    ASSERT_TRUE(RegisterClassA(&windowClass));
    HWND stubborn = CreateWindowA(product::kMainWindowClass, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                  windowClass.hInstance, nullptr);
    ASSERT_NE(stubborn, nullptr);

    driver::Process setup = driver::Process::Start(setupExe_, "/passive /log \"" + log_ + "\"");
    HWND progress = nullptr;
    ASSERT_TRUE(driver::WaitUntil([&] { return (progress = FindWindowA("KorvaneSetupProgress", nullptr)) != nullptr; },
                                  30000));
    char caption[128] = "";
    GetWindowTextA(progress, caption, sizeof caption);
    EXPECT_STREQ(caption, product::kSetupCaption);
    PostMessageA(progress, WM_CLOSE, 0, 0);
    ASSERT_TRUE(setup.WaitForExit(60000));
    EXPECT_EQ(setup.ExitCode(), 6u) << Log();
    EXPECT_NE(Log().find("cancelled"), std::string::npos) << Log();
    EXPECT_FALSE(driver::FileExists(defaultProgram_ + "\\kvr.exe"));
    DestroyWindow(stubborn);
    UnregisterClassA(product::kMainWindowClass, windowClass.hInstance);
}

}  // namespace
