// The summary of the user's choices that the Ready page shows. Portable.
#pragma once

#include "foundation/portable/install_choices.h"
#include "foundation/portable/setup_string.h"

/// The folders, the Start Menu folder when one is made, and the extra icons, in CR LF lines.
SetupString ReadySummary(const InstallChoices& choices);
