// The unattended installation ("/silent", "/passive"): the choices a user
// pressing Next on every page would get, the steps back to back, and an exit
// code instead of every message box.
#pragma once

#include "startup/portable/command_line_rules.h"

/// Exit codes of an unattended run (a wizard run always ends with 0).
enum SetupExitCode : int {
    kExitInstalled = 0,
    kExitNewerInstalled = 2,     ///< a newer version is installed; nothing was done
    kExitAnotherSetup = 3,       ///< another setup is running
    kExitFolderRefused = 4,      ///< the program or data folder cannot be used
    kExitRolledBack = 5,         ///< the installation failed and was rolled back
    kExitCancelled = 6,          ///< the progress window was closed; rolled back
    kExitUnsupportedSystem = 7,  ///< Windows older than 2000
    kExitOldVersionKept = 8,     ///< version 1.2.2 could not be removed
    kExitNotRegistered = 9,      ///< installed, but the uninstall entry could not be written
};

/// Runs the installation without the wizard, after the startup checks; returns the exit code.
int RunUnattendedInstallation(const CommandLineRequest& request);
