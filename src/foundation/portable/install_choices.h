// What the user chose in the wizard, and the facts startup establishes once.
// Pages write a field only when their Next is accepted; the steps only read.
#pragma once

#include <cstdint>

#include "foundation/portable/setup_string.h"

struct InstallChoices {
    SetupString InstallFolder;    ///< program folder, trimmed, no trailing separator
    SetupString StartMenuFolder;  ///< relative to the user's Start Menu, e.g. "Programs\Korvane"; empty for none
    SetupString StartMenuPath;    ///< absolute, ending in a backslash; empty for none
    int32_t CreateStartMenuFolder = 0;
    SetupString DataFolder;  ///< recordings and data files, trimmed, no trailing separator
    int32_t DesktopIcon = 0;
    int32_t QuickLaunchIcon = 0;
    SetupString TempFolder;  ///< "/temp" override, completed by the preparation step when blank
};

/// Bits of StartupFacts::MachineWriteAccess.
enum MachineWriteBits : int32_t {
    kMachineRegistryWritable = 1,
    kProgramFilesWritable = 2,
};

struct StartupFacts {
    int32_t NtFamilySystem = 0;
    int32_t MachineWriteAccess = 0;
    int32_t PreviousInstallFound = 0;
};

extern InstallChoices g_choices;
extern StartupFacts g_facts;
