// The setup's command line, acted upon: the help box, or the "/temp" folder
// stored in the install choices.
#pragma once

#include "startup/portable/command_line_rules.h"

/// Shows the help box or stores the "/temp" folder in the install choices; 1 when help was shown.
int ParseCommandLine(const char* tail);
