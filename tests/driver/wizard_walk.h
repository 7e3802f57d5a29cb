// Walks the wizard of the real setup.exe page by page as a user would: the
// suggested answers or given ones, the license accepted on the way.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "driver.h"

namespace driver {

/// Answers that differ from what the pages suggest; empty texts and -1 keep the suggestion.
struct WizardAnswers {
    std::string program;    ///< typed on the Destination page
    std::string startMenu;  ///< typed on the Start Menu page; when the page asks about it: Yes, no folder then
    std::string data;       ///< typed on the Data Folder page
    int desktop = -1;       ///< BST_CHECKED or BST_UNCHECKED on the Tasks page
    int quickLaunch = -1;
};

/// Where a walk ended, and what the pages it left held then.
struct WizardWalk {
    HWND wizard = nullptr;  ///< null when the walk did not reach its page
    std::string failure;    ///< why not
    std::string program;
    std::string startMenu;  ///< empty when there is to be no Start Menu folder
    std::string data;
    std::string startMenuQuestion;  ///< what the Start Menu page asked, if it asked
    bool desktop = false;
    bool quickLaunch = false;
};

/// Presses Next on the current page once it is enabled, accepting the license on its page; false when
/// Next stays disabled.
bool PressNext(HWND wizard);
/// Presses Next and waits for page `next` (IDD_...).
bool Advance(HWND wizard, int next);

/// Called on every page a walk reaches, its last one too.
using PageVisit = std::function<void(HWND wizard, int page)>;
/// Waits for the wizard of `setup` on its Welcome page and walks it to page `target` (IDD_...): every page
/// before it is given its answer and left with Next; the Installing page moves on by itself.
WizardWalk WalkWizard(const Process& setup, int target, const WizardAnswers& answers = {},
                      const PageVisit& visit = nullptr);

}  // namespace driver
