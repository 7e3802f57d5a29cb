// What the end-to-end suites share: the texts they wait for, walking and
// cancelling the wizard, and a recording stand-in for the default web browser.
#pragma once

#include <windows.h>
#include <prsht.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <string>

#include "driver.h"
#include "wizard_walk.h"

namespace e2e {

constexpr char kCancelText[] =
    "Setup is not complete. If you exit now, the program will not be installed.\n\nYou may run Setup again at "
    "another time to complete the installation.\n\nExit Setup?";

/// Walks the wizard of `setup` to page `target` (driver::WalkWizard); null, and a failure that says where
/// the walk stopped, when it does not get there.
inline HWND WalkTo(const driver::Process& setup, int target, const driver::WizardAnswers& answers = {}) {
    const driver::WizardWalk walk = driver::WalkWizard(setup, target, answers);
    if (walk.wizard == nullptr) ADD_FAILURE() << walk.failure;
    return walk.wizard;
}

/// Presses Cancel, answers the confirmation with Yes and waits for the setup to end.
inline void CancelWizard(driver::Process& setup, HWND wizard) {
    driver::PressWizardButton(wizard, PSBTN_CANCEL);
    const driver::MessageBoxInfo confirm = setup.WaitForMessageBox();
    ASSERT_EQ(confirm.text, kCancelText);
    driver::ClickButton(confirm.window, IDYES);
    ASSERT_TRUE(setup.WaitForExit());
}

/// Answers an open box and waits until it is gone, then until the wizard has handled what followed the
/// answer: a page that would move or close has done so by then.
inline void AnswerBox(const driver::Process& setup, HWND wizard, const driver::MessageBoxInfo& box, int button) {
    driver::ClickButton(box.window, button);
    ASSERT_TRUE(driver::WaitUntil([&] { return setup.CurrentMessageBox().window == nullptr; }));
    driver::WaitForPostedMessages(wizard);
}

/// Registers the recording browser (KVR_FAKE_BROWSER) as the default for http for its lifetime;
/// it appends "call N" and one "arg ..." line per argument to Log().
class FakeBrowser {
public:
    FakeBrowser() {
        char saved[1024] = "";
        DWORD size = sizeof saved;
        if (SHGetValueA(HKEY_CLASSES_ROOT, kKey, nullptr, nullptr, saved, &size) == ERROR_SUCCESS) saved_ = saved;
        // Unquoted, so that the program path is what stands before the first blank after its last backslash.
        const std::string command = driver::BuiltFile("KVR_FAKE_BROWSER") + " %1";
        Set(command);
        folder_ = driver::ScratchFolder("kvr-browser");
        log_ = folder_ + "\\calls.txt";
        SetEnvironmentVariableA("KVR_BROWSER_LOG", log_.c_str());
    }
    ~FakeBrowser() {
        if (!saved_.empty()) Set(saved_);
        SetEnvironmentVariableA("KVR_BROWSER_LOG", nullptr);
        driver::RemoveTree(folder_);
    }
    FakeBrowser(const FakeBrowser&) = delete;
    FakeBrowser& operator=(const FakeBrowser&) = delete;

    const std::string& Log() const { return log_; }
    std::string Calls() const { return driver::ReadFileText(log_); }

private:
    static constexpr char kKey[] = "http\\shell\\open\\command";
    static void Set(const std::string& command) {
        SHSetValueA(HKEY_CLASSES_ROOT, kKey, nullptr, REG_SZ, command.c_str(), static_cast<DWORD>(command.size() + 1));
    }

    std::string saved_;
    std::string folder_;
    std::string log_;
};

}  // namespace e2e
