#include "wizard_walk.h"

#include <prsht.h>

#include "resources/resource.h"

namespace driver {

namespace {

constexpr DWORD kInstallationTimeoutMs = 60000;

std::string AnswerFolder(HWND page, int edit, const std::string& answer) {
    // The page fills in its suggestion as it is shown.
    WaitUntil([&] { return !ControlText(page, edit).empty(); });
    if (!answer.empty()) SetControlText(page, edit, answer);
    return ControlText(page, edit);
}

bool AnswerCheckBox(HWND page, int box, int answer) {
    if (answer >= 0 && CheckState(page, box) != answer) {
        ClickControl(page, box);
        WaitUntil([&] { return CheckState(page, box) == answer; });
    }
    return CheckState(page, box) == BST_CHECKED;
}

void AnswerPage(HWND page, int id, const WizardAnswers& answers, WizardWalk& walk) {
    switch (id) {
    case IDD_DESTINATION:
        walk.program = AnswerFolder(page, IDC_DESTINATION_FOLDER, answers.program);
        break;
    case IDD_STARTMENU:
        walk.startMenu = AnswerFolder(page, IDC_STARTMENU_FOLDER, answers.startMenu);
        break;
    case IDD_DATAFOLDER:
        walk.data = AnswerFolder(page, IDC_DATAFOLDER_FOLDER, answers.data);
        break;
    case IDD_TASKS:
        walk.desktop = AnswerCheckBox(page, IDC_TASKS_DESKTOP, answers.desktop);
        walk.quickLaunch = AnswerCheckBox(page, IDC_TASKS_QUICKLAUNCH, answers.quickLaunch);
        break;
    default:
        break;
    }
}

// A typed Start Menu name that cannot be made is asked about after Next.
void AnswerStartMenuQuestion(const Process& setup, HWND wizard, WizardWalk& walk) {
    MessageBoxInfo box;
    WaitUntil([&] {
        return CurrentPageId(wizard) != IDD_STARTMENU || (box = setup.CurrentMessageBox()).window != nullptr;
    });
    if (box.window == nullptr) return;
    walk.startMenuQuestion = box.text;
    walk.startMenu.clear();
    ClickButton(box.window, IDYES);
}

bool Leave(const Process& setup, HWND wizard, int page, const WizardAnswers& answers, WizardWalk& walk) {
    if (page == IDD_INSTALLING) return true;
    if (!PressNext(wizard)) return false;
    if (page == IDD_STARTMENU && !answers.startMenu.empty()) AnswerStartMenuQuestion(setup, wizard, walk);
    return true;
}

}  // namespace

bool PressNext(HWND wizard) {
    if (CurrentPageId(wizard) == IDD_LICENSE) ClickControl(CurrentPage(wizard), IDC_LICENSE_ACCEPT);
    // The pages post their button changes: Next counts once all of them have arrived.
    WaitForPostedMessages(wizard);
    if (!WaitUntil([&] { return IsWizardButtonEnabled(wizard, kNext); })) return false;
    PressWizardButton(wizard, PSBTN_NEXT);
    return true;
}

bool Advance(HWND wizard, int next) { return PressNext(wizard) && WaitForPage(wizard, next); }

WizardWalk WalkWizard(const Process& setup, int target, const WizardAnswers& answers, const PageVisit& visit) {
    WizardWalk walk;
    HWND wizard = setup.WaitForWizard();
    if (wizard == nullptr) {
        walk.failure = "the wizard did not appear; a box says: " + setup.CurrentMessageBox().text;
        return walk;
    }
    // The pages' ids follow their order.
    for (int page = IDD_WELCOME;; ++page) {
        if (!WaitForPage(wizard, page, page == IDD_FINISHED ? kInstallationTimeoutMs : kDefaultTimeoutMs)) {
            walk.failure = "could not reach page " + std::to_string(page) + " (on page " +
                           std::to_string(CurrentPageId(wizard)) + "); a box says: " + setup.CurrentMessageBox().text;
            return walk;
        }
        if (visit) visit(wizard, page);
        if (page == target) break;
        if (page == IDD_LICENSE && GetDlgItem(CurrentPage(wizard), IDC_LICENSE_ACCEPT) == nullptr) {
            walk.failure = "no acceptance button on the License page";
            return walk;
        }
        AnswerPage(CurrentPage(wizard), page, answers, walk);
        if (!Leave(setup, wizard, page, answers, walk)) {
            walk.failure = "Next stays disabled on page " + std::to_string(page);
            return walk;
        }
    }
    walk.wizard = wizard;
    return walk;
}

}  // namespace driver
