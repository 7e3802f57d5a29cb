// The rules of the folder checks that need no system: which characters a path
// may hold, where its drive root is, the order of the checks with the message
// each failure earns, and the Start Menu folder name taken from a browser pick.
// Portable: no Windows headers here.
#pragma once

#include <functional>

#include "foundation/portable/setup_string.h"

/// True when the text holds no * ? " < > | and at most one colon.
bool HasValidPathCharacters(const char* text);

/// The root ("C:\") of a path whose first element ends with a colon, or empty when the
/// path does not begin with a drive name (at most 259 characters are looked at).
SetupString DriveRootOfPath(const char* path);

/// How the user is told about a folder.
enum class FolderBox {
    None,        ///< accepted: nothing to say
    Stop,        ///< stop box with OK: rejected
    ResetOffer,  ///< stop box with Yes/No: Yes resets the folder to the suggested one
};

struct FolderVerdict {
    FolderBox box = FolderBox::None;
    SetupString message;
};

/// What the checks of a typed folder depend on besides the text.
struct FolderCheck {
    const char* text = "";
    const char* pathPhrase = "";    ///< names the path in the invalid-characters message
    const char* folderPhrase = "";  ///< names the folder in the blank-text message
    int driveType = 0;              ///< drive type of the text's root (0 when it has none)
    int ntFamilySystem = 0;
    int machineWriteAccess = 0;     ///< MachineWriteBits
};

/// Runs the checks in order (blank, characters, drive, writability) and stops at the first
/// failure; `probeWritable` runs only when every check before it passed.
FolderVerdict JudgeFolderPath(const FolderCheck& check, const std::function<bool()>& probeWritable);

/// The name relative to the Start Menu that a browser pick gives: the part of `picked`
/// behind its common prefix with `startMenu` (compared without regard to case), with a
/// trailing separator, followed by "Korvane".
SetupString StartMenuNameOfPick(const char* startMenu, const char* picked);
