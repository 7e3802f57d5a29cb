// What the setup's command line asks for: a help request, or "/temp" naming the
// folder for backup copies. Only the start of the trimmed text is examined.
#pragma once

#include "foundation/portable/setup_string.h"

/// How the setup runs: the wizard, or unattended ("/silent": no window at all; "/passive": only the progress).
enum class SetupMode { Wizard, Silent, Passive };

struct CommandLineRequest {
    bool showHelp = false;
    bool hasTempFolder = false;
    /// Everything after "/temp", trimmed, one trailing separator removed.
    SetupString tempFolder;

    SetupMode mode = SetupMode::Wizard;
    /// The options of an unattended run (empty: what the wizard would offer).
    SetupString installFolder;  ///< "/dir PATH"
    SetupString dataFolder;     ///< "/data PATH"
    bool noStartMenuFolder = false;  ///< "/nostartmenu"
    bool desktopIcon = false;        ///< "/desktop"
    /// "/log PATH": after "/silent" or "/passive", or alone at the start of a wizard run.
    SetupString logFile;
};

/// Reads the command-line tail (null counts as empty). Portable.
CommandLineRequest InterpretCommandLine(const char* tail);
/// The usage text shown for a help request.
SetupString CommandLineHelpText();
