// The first two wizard pages of the real setup.exe: the Welcome page, which
// removes version 1.2.2 by running its uninstaller, and the License page.
#include <windows.h>
#include <prsht.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

#include "driver.h"
#include "e2e_support.h"
#include "resources/resource.h"
#include "user_registry.h"

namespace {

using driver::IconKind;
using driver::TempFolder;
using e2e::CancelWizard;
using e2e::kCancelText;
constexpr char kUninstallerName[] = "Korvane Version 1_2_2 Uninstaller.exe";
// What the 1.2.2 stand-in reports of its start: the program's path and the compatibility layer asked for.
constexpr char kReportVariable[] = "KVR_STANDIN_REPORT";
// What a 1.2.2 installation holds in its program folder.
const char* const kOldFiles[] = {"kvr.exe", "kvrsched.exe", "kvr122.dat", "uninst_kvr.exe"};

std::string Notice(const std::string& version) {
    return "INFORMATION: A previous version " + version +
           " of the Korvane has been detected. It has to be removed before this installation can continue...";
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

class WelcomeAndLicense : public ::testing::Test {
protected:
    void SetUp() override {
        driver::ResetSetupRegistry();
        setupExe_ = driver::BuiltFile("KVR_SETUP_EXE");
        ASSERT_FALSE(setupExe_.empty()) << "KVR_SETUP_EXE is not set";
        uninstallerPath_ = TempFolder() + kUninstallerName;
        driver::RemoveTree(uninstallerPath_);
    }
    void TearDown() override {
        SetEnvironmentVariableA(kReportVariable, nullptr);
        SetEnvironmentVariableA("KVR_BROWSER_LOG", nullptr);
        SetEnvironmentVariableA("TMP", nullptr);
        driver::RemoveTree(uninstallerPath_);
        driver::ResetSetupRegistry();
    }

    // Starts the setup and waits for its Welcome page.
    HWND StartWizard(driver::Process& setup) {
        setup = driver::Process::Start(setupExe_, "");
        return e2e::WalkTo(setup, IDD_WELCOME);
    }

    static bool NextEnabled(HWND wizard) { return driver::IsWizardButtonEnabled(wizard, driver::kNext); }
    static bool WaitForNext(HWND wizard, bool enabled) {
        return driver::WaitUntil([&] { return NextEnabled(wizard) == enabled; }, 5000);
    }

    static void GoToLicense(HWND wizard) { ASSERT_TRUE(driver::Advance(wizard, IDD_LICENSE)); }

    std::string setupExe_;
    std::string uninstallerPath_;
};

TEST_F(WelcomeAndLicense, NextFollowsTheLicenseChoiceAndTheChoiceSurvivesBack) {
    driver::Process setup;
    HWND wizard = StartWizard(setup);
    ASSERT_NE(wizard, nullptr);

    // The wizard appears centred in the work area.
    RECT frame, area;
    GetWindowRect(wizard, &frame);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    EXPECT_NEAR((frame.left + frame.right) / 2, (area.left + area.right) / 2, 1);
    EXPECT_NEAR((frame.top + frame.bottom) / 2, (area.top + area.bottom) / 2, 1);

    EXPECT_TRUE(WaitForNext(wizard, true));
    EXPECT_FALSE(driver::IsWizardButtonEnabled(wizard, driver::kBack));
    GoToLicense(wizard);
    HWND page = driver::CurrentPage(wizard);
    EXPECT_TRUE(WaitForNext(wizard, false));
    EXPECT_TRUE(driver::IsWizardButtonEnabled(wizard, driver::kBack));
    EXPECT_EQ(driver::ControlText(page, IDC_LICENSE_ACCEPT), "I &accept the agreement");
    EXPECT_EQ(driver::CheckState(page, IDC_LICENSE_ACCEPT), BST_UNCHECKED);
    EXPECT_EQ(driver::CheckState(page, IDC_LICENSE_DECLINE), BST_UNCHECKED);

    driver::ClickControl(page, IDC_LICENSE_ACCEPT);
    EXPECT_TRUE(WaitForNext(wizard, true));
    driver::ClickControl(page, IDC_LICENSE_DECLINE);
    EXPECT_TRUE(WaitForNext(wizard, false));
    EXPECT_EQ(driver::CheckState(page, IDC_LICENSE_ACCEPT), BST_UNCHECKED);
    driver::ClickControl(page, IDC_LICENSE_ACCEPT);
    EXPECT_TRUE(WaitForNext(wizard, true));

    driver::PressWizardButton(wizard, PSBTN_BACK);
    ASSERT_TRUE(driver::WaitForPage(wizard, IDD_WELCOME));
    EXPECT_TRUE(WaitForNext(wizard, true));
    GoToLicense(wizard);
    EXPECT_EQ(driver::CheckState(page, IDC_LICENSE_ACCEPT), BST_CHECKED);
    EXPECT_TRUE(WaitForNext(wizard, true));
    // Still enabled once every posted button change has arrived.
    ASSERT_TRUE(driver::WaitForPostedMessages(wizard));
    EXPECT_TRUE(NextEnabled(wizard));

    driver::PressWizardButton(wizard, PSBTN_NEXT);
    EXPECT_TRUE(driver::WaitForPage(wizard, IDD_DESTINATION));
    CancelWizard(setup, wizard);
}

TEST_F(WelcomeAndLicense, LicenseShowsTheAgreementWithThisYear) {
    EXPECT_EQ(driver::ResourceString(setupExe_, IDS_WELCOME_TITLE), "Initializing");
    EXPECT_EQ(driver::ResourceString(setupExe_, IDS_LICENSE_TITLE), "License Agreement");
    // The agreement is stored scrambled: its words are nowhere in the program file.
    const std::string program = driver::ReadFileText(setupExe_);
    ASSERT_GT(program.size(), 100000u);
    EXPECT_EQ(program.find("LICENSE AGREEMENT"), std::string::npos);
    EXPECT_EQ(program.find("from Ostrevik. All rights"), std::string::npos);

    driver::Process setup;
    HWND wizard = StartWizard(setup);
    ASSERT_NE(wizard, nullptr);
    GoToLicense(wizard);
    HWND page = driver::CurrentPage(wizard);
    const std::string text = driver::LongControlText(page, IDC_LICENSE_TEXT);
    SYSTEMTIME now;
    GetLocalTime(&now);
    EXPECT_NE(text.find("KORVANE END-USER LICENSE AGREEMENT"), std::string::npos) << text.substr(0, 200);
    EXPECT_NE(text.find("Copyright (C) 2004-" + std::to_string(now.wYear) + " from Ostrevik"), std::string::npos);
    EXPECT_EQ(Lower(text).find("#yr#"), std::string::npos);
    EXPECT_GT(text.size(), 5000u);
    // The last line arrived too: nothing was cut off.
    EXPECT_NE(text.find("Copyright (C) 2004-" + std::to_string(now.wYear) + " from Ostrevik.",
                        text.size() - 80),
              std::string::npos);
    CancelWizard(setup, wizard);
}

TEST_F(WelcomeAndLicense, AgreementCanBeScrolledButNotSelectedWithTheMouse) {
    driver::Process setup;
    HWND wizard = StartWizard(setup);
    ASSERT_NE(wizard, nullptr);
    GoToLicense(wizard);
    HWND page = driver::CurrentPage(wizard);
    const LRESULT selection = driver::SendControlMessage(page, IDC_LICENSE_TEXT, EM_GETSEL);

    // A click and a double click in the middle of the text place no caret and select nothing.
    const LPARAM inside = MAKELPARAM(150, 60);
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        driver::SendControlMessage(page, IDC_LICENSE_TEXT, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, inside);
    EXPECT_EQ(driver::SendControlMessage(page, IDC_LICENSE_TEXT, EM_GETSEL), selection);

    // Page Down reaches the view and scrolls it; a letter key does nothing.
    EXPECT_EQ(driver::SendControlMessage(page, IDC_LICENSE_TEXT, EM_GETFIRSTVISIBLELINE), 0);
    driver::SendControlMessage(page, IDC_LICENSE_TEXT, WM_KEYDOWN, VK_NEXT, 0);
    EXPECT_GT(driver::SendControlMessage(page, IDC_LICENSE_TEXT, EM_GETFIRSTVISIBLELINE), 0);
    CancelWizard(setup, wizard);
}

// The window with the keyboard focus in the setup's interface thread.
HWND FocusOf(HWND wizard) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(wizard, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

// Keys pressed and released again as the user presses them (a combination in the order given, released in
// reverse): they go to the window with the focus in the foreground thread, through the wizard's message loop.
void PressKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        inputs.push_back(input);
    }
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = *key;
        input.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// Tab and Shift+Tab move on from the agreement, and Esc reaches Cancel: the view keeps only the keys that scroll.
TEST_F(WelcomeAndLicense, TabShiftTabAndEscapeLeaveTheAgreement) {
    driver::Process setup;
    HWND wizard = StartWizard(setup);
    ASSERT_NE(wizard, nullptr);
    GoToLicense(wizard);
    HWND page = driver::CurrentPage(wizard);
    HWND view = GetDlgItem(page, IDC_LICENSE_TEXT);
    SetForegroundWindow(wizard);
    ASSERT_TRUE(driver::WaitUntil([&] { return GetForegroundWindow() == wizard; }, 5000));
    const auto focusText = [&] {
        PostMessageA(page, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(view), TRUE);
        return driver::WaitUntil([&] { return FocusOf(wizard) == view; }, 5000);
    };

    const struct {
        const char* keys;
        std::initializer_list<WORD> pressed;
        HWND focus;
    } moves[] = {
        {"Tab", {VK_TAB}, GetDlgItem(page, IDC_LICENSE_ACCEPT)},
        // The text is the page's first stop: before it, in the wizard's order, comes the wizard's last button.
        {"Shift+Tab", {VK_SHIFT, VK_TAB}, GetDlgItem(wizard, driver::kCancel)},
    };
    for (const auto& move : moves) {
        SCOPED_TRACE(move.keys);
        ASSERT_TRUE(focusText());
        PressKeys(move.pressed);
        EXPECT_TRUE(driver::WaitUntil([&] { return FocusOf(wizard) == move.focus; }, 5000))
            << "focus on the control " << GetDlgCtrlID(FocusOf(wizard));
    }

    ASSERT_TRUE(focusText());
    PressKeys({VK_ESCAPE});
    const driver::MessageBoxInfo confirm = setup.WaitForMessageBox(5000);
    ASSERT_NE(confirm.window, nullptr) << "Esc did not reach Cancel";
    EXPECT_EQ(confirm.text, kCancelText);
    driver::ClickButton(confirm.window, IDNO);
    ASSERT_TRUE(driver::WaitUntil([&] { return setup.CurrentMessageBox().window == nullptr; }));
    CancelWizard(setup, wizard);
}

TEST_F(WelcomeAndLicense, NoticeOnlyForVersionsUpTo122) {
    const struct {
        const char* ver;  // null: no value
        bool notice;
    } cases[] = {
        {nullptr, false},
        {"1.2.3", false},
        {"1.2.2.0", false},
        {"release 1.2", true},
        {"1.1", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ver ? c.ver : "(none)");
        driver::ResetSetupRegistry();
        if (c.ver != nullptr) driver::SetSetting("ver", c.ver);
        driver::Process setup;
        HWND wizard = StartWizard(setup);
        ASSERT_NE(wizard, nullptr);
        HWND page = driver::CurrentPage(wizard);
        EXPECT_EQ(driver::ControlText(page, IDC_WELCOME_NOTICE), c.notice ? Notice(c.ver) : "");
        EXPECT_TRUE(WaitForNext(wizard, true));
        if (!c.notice) {
            // Nothing to remove: Next goes straight on and leaves the value alone.
            GoToLicense(wizard);
            bool found = false;
            EXPECT_EQ(driver::GetSetting("ver", &found), c.ver ? c.ver : "");
            EXPECT_EQ(found, c.ver != nullptr);
        }
        CancelWizard(setup, wizard);
    }
}

TEST_F(WelcomeAndLicense, NextRunsTheOldUninstallerFromAFolderOfItsOwnAndMovesOn) {
    const std::string folder = driver::ScratchFolder("kvr-122");
    for (const char* name : kOldFiles) ASSERT_TRUE(driver::WriteFileText(folder + "\\" + name, ""));
    driver::SetSetting("ver", "1.2.2");
    driver::SetSetting("InstallFolder", folder.c_str());
    driver::SetSetting("RecordFormat", "mp3");  // the user's own setting stays
    // A program planted under the name the uninstaller would have had in the temporary folder: it leaves a
    // log when it runs.
    const std::string scratch = driver::ScratchFolder("kvr-122-report");
    ASSERT_TRUE(CopyFileA(driver::BuiltFile("KVR_FAKE_BROWSER").c_str(), uninstallerPath_.c_str(), FALSE));
    const std::string planted = driver::ReadFileText(uninstallerPath_);
    SetEnvironmentVariableA("KVR_BROWSER_LOG", (scratch + "\\planted-ran.txt").c_str());
    const std::string report = scratch + "\\report.txt";
    SetEnvironmentVariableA(kReportVariable, report.c_str());

    driver::Process setup;
    HWND wizard = StartWizard(setup);
    ASSERT_NE(wizard, nullptr);
    HWND page = driver::CurrentPage(wizard);
    EXPECT_EQ(driver::ControlText(page, IDC_WELCOME_NOTICE), Notice("1.2.2"));
    EXPECT_TRUE(WaitForNext(wizard, true));

    driver::PressWizardButton(wizard, PSBTN_NEXT);
    ASSERT_TRUE(driver::WaitForPage(wizard, IDD_LICENSE, 40000));
    EXPECT_EQ(setup.CurrentMessageBox().window, nullptr);
    bool found = true;
    driver::GetSetting("ver", &found);
    EXPECT_FALSE(found) << "the uninstaller did not run";
    driver::GetSetting("InstallFolder", &found);
    EXPECT_FALSE(found);
    EXPECT_EQ(driver::GetSetting("RecordFormat"), "mp3");
    EXPECT_FALSE(driver::FileExists(folder)) << "the 1.2.2 program folder is still there";

    // It ran from a new folder of its own below the temporary folder, gone again, without elevation.
    const std::string text = driver::ReadFileText(report);
    const std::string expectedStart = "program " + TempFolder();
    ASSERT_EQ(text.compare(0, expectedStart.size(), expectedStart), 0) << text;
    const size_t end = text.find("\r\n");
    const std::string program = text.substr(std::string("program ").size(), end - std::string("program ").size());
    const std::string ownFolder = program.substr(0, program.rfind('\\'));
    EXPECT_GT(ownFolder.size(), TempFolder().size()) << program;
    EXPECT_EQ(program.substr(ownFolder.size() + 1), kUninstallerName);
    EXPECT_FALSE(driver::FileExists(ownFolder)) << "the uninstaller's folder was left behind";
    EXPECT_NE(text.find("compat RunAsInvoker\r\n"), std::string::npos) << text;
    // The planted program was neither run nor overwritten.
    EXPECT_FALSE(driver::FileExists(scratch + "\\planted-ran.txt"));
    EXPECT_EQ(driver::ReadFileText(uninstallerPath_), planted);

    // Back on the Welcome page nothing is left to remove.
    driver::PressWizardButton(wizard, PSBTN_BACK);
    ASSERT_TRUE(driver::WaitForPage(wizard, IDD_WELCOME));
    EXPECT_TRUE(driver::WaitUntil([&] { return driver::ControlText(page, IDC_WELCOME_NOTICE).empty(); }, 3000));
    GoToLicense(wizard);
    CancelWizard(setup, wizard);
    driver::RemoveTree(folder);
    driver::RemoveTree(scratch);
}

TEST_F(WelcomeAndLicense, FailedRemovalAsksAndCanKeepTheWizardOnTheWelcomePage) {
    // A temporary folder that lies below a file: no folder can be created in it.
    const std::string scratch = driver::ScratchFolder("kvr-122-blocked");
    ASSERT_TRUE(driver::WriteFileText(scratch + "\\file", "in the way"));
    const std::string blocked = scratch + "\\file\\";
    SetEnvironmentVariableA("TMP", blocked.c_str());
    // The question names the system's error code of the failed creation.
    ASSERT_FALSE(CreateDirectoryA((blocked + "kvrsetup").c_str(), nullptr));
    const DWORD expectedCode = GetLastError();
    ASSERT_NE(expectedCode, 0u);
    driver::SetSetting("ver", "1.2.2");
    driver::Process setup;
    HWND wizard = StartWizard(setup);
    SetEnvironmentVariableA("TMP", nullptr);
    ASSERT_NE(wizard, nullptr);
    HWND page = driver::CurrentPage(wizard);

    const char* const answers[] = {"No", "Yes"};
    for (const char* answer : answers) {
        SCOPED_TRACE(answer);
        driver::PressWizardButton(wizard, PSBTN_NEXT);
        driver::MessageBoxInfo question = setup.WaitForMessageBox(30000);
        ASSERT_NE(question.window, nullptr);
        EXPECT_EQ(question.text, "ERROR: (" + std::to_string(expectedCode) +
                                     ") Unable to remove the previous version of the Korvane. It is recommended "
                                     "that you remove it manually before proceeding...\n\nDo you want to conitnue "
                                     "anyway?");
        EXPECT_EQ(question.icon, IconKind::Error);
        EXPECT_EQ(question.buttons, (std::vector<int>{IDYES, IDNO}));
        EXPECT_EQ(GetWindowLongA(GetDlgItem(question.window, IDNO), GWL_STYLE) & BS_DEFPUSHBUTTON,
                  BS_DEFPUSHBUTTON);
        e2e::AnswerBox(setup, wizard, question, answer[0] == 'N' ? IDNO : IDYES);
        if (answer[0] == 'N') {
            EXPECT_TRUE(driver::WaitUntil([&] {
                return driver::ControlText(page, IDC_WELCOME_NOTICE) == "ERROR: Unable to remove the previous version...";
            }));
            ASSERT_TRUE(driver::WaitForPostedMessages(wizard));
            EXPECT_EQ(driver::CurrentPageId(wizard), IDD_WELCOME);
        }
    }
    // Going on anyway leaves 1.2.2 installed.
    EXPECT_TRUE(driver::WaitForPage(wizard, IDD_LICENSE));
    EXPECT_EQ(driver::GetSetting("ver"), "1.2.2");
    CancelWizard(setup, wizard);
    driver::RemoveTree(scratch);
}

// A copy of the setup whose archive 139 holds `bytes` instead. (Wine cannot delete a
// resource with UpdateResource, so the copy cannot be made without one.)
std::string SetupWithUninstallerResource(const std::string& setupExe, const std::string& bytes) {
    const std::string copy = driver::ScratchFolder("kvr-broken139") + "\\setup.exe";
    if (!CopyFileA(setupExe.c_str(), copy.c_str(), FALSE)) return std::string();
    HANDLE update = BeginUpdateResourceA(copy.c_str(), FALSE);
    if (update == nullptr) return std::string();
    const BOOL replaced =
        UpdateResourceA(update, RT_RCDATA, MAKEINTRESOURCEA(IDR_OLD_UNINSTALLER), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                        const_cast<char*>(bytes.data()), static_cast<DWORD>(bytes.size()));
    if (!EndUpdateResourceA(update, !replaced) || !replaced) return std::string();
    // The copy must really carry the change, or the test could not fail.
    HMODULE module = LoadLibraryExA(copy.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module == nullptr) return std::string();
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(IDR_OLD_UNINSTALLER), RT_RCDATA);
    const DWORD stored = found != nullptr ? SizeofResource(module, found) : 0;
    FreeLibrary(module);
    return stored == bytes.size() ? copy : std::string();
}

TEST_F(WelcomeAndLicense, BrokenUninstallerArchiveIsReported) {
    const std::string copy = SetupWithUninstallerResource(setupExe_, "not an archive at all");
    ASSERT_FALSE(copy.empty());
    driver::SetSetting("ver", "1.2.2");
    driver::Process setup = driver::Process::Start(copy, "");
    HWND wizard = setup.WaitForWizard();
    ASSERT_NE(wizard, nullptr);
    ASSERT_TRUE(driver::WaitForPage(wizard, IDD_WELCOME));
    driver::PressWizardButton(wizard, PSBTN_NEXT);

    driver::MessageBoxInfo report = setup.WaitForMessageBox();
    ASSERT_NE(report.window, nullptr);
    EXPECT_EQ(report.text,
              "FATAL ERROR: Installation package archive is broken, cannot retrieve uninstaller for v.1.2.2\n(Please "
              "report it to our technical support.)");
    EXPECT_EQ(report.icon, IconKind::Error);
    driver::ClickButton(report.window, IDOK);
    ASSERT_TRUE(driver::WaitUntil([&] {
        const driver::MessageBoxInfo next = setup.CurrentMessageBox();
        return next.window != nullptr && next.window != report.window;
    }));
    driver::MessageBoxInfo question = setup.CurrentMessageBox();
    EXPECT_EQ(question.text.rfind("ERROR: (13) Unable to remove", 0), 0u) << question.text;
    driver::ClickButton(question.window, IDYES);
    EXPECT_TRUE(driver::WaitForPage(wizard, IDD_LICENSE));
    EXPECT_FALSE(driver::FileExists(uninstallerPath_));
    EXPECT_EQ(driver::GetSetting("ver"), "1.2.2");
    CancelWizard(setup, wizard);
    driver::RemoveTree(copy.substr(0, copy.rfind('\\')));
}

TEST_F(WelcomeAndLicense, CancelAsksOnBothPages) {
    for (int pageId : {IDD_WELCOME, IDD_LICENSE}) {
        SCOPED_TRACE(pageId);
        driver::Process setup;
        HWND wizard = StartWizard(setup);
        ASSERT_NE(wizard, nullptr);
        if (pageId == IDD_LICENSE) GoToLicense(wizard);

        driver::PressWizardButton(wizard, PSBTN_CANCEL);
        driver::MessageBoxInfo confirm = setup.WaitForMessageBox();
        EXPECT_EQ(confirm.text, kCancelText);
        EXPECT_EQ(confirm.icon, IconKind::Question);
        e2e::AnswerBox(setup, wizard, confirm, IDNO);
        EXPECT_TRUE(setup.Running());
        EXPECT_EQ(driver::CurrentPageId(wizard), pageId);

        CancelWizard(setup, wizard);
        EXPECT_EQ(setup.ExitCode(), 0u);
    }
}

}  // namespace
