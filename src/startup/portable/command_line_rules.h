// What the setup's command line asks for: a help request, or "/temp" naming the
// folder for backup copies. Only the start of the trimmed text is examined.
#pragma once

#include "foundation/portable/setup_string.h"

struct CommandLineRequest {
    bool showHelp = false;
    bool hasTempFolder = false;
    /// Everything after "/temp", trimmed, one trailing separator removed.
    SetupString tempFolder;
};

/// Reads the command-line tail (null counts as empty). Portable.
CommandLineRequest InterpretCommandLine(const char* tail);
/// The usage text shown for a help request.
SetupString CommandLineHelpText();
