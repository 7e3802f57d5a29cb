// The rules of the folder checks that need no system: which characters a path
// may hold, where its drive root is, the order of the checks with the message
// each failure earns, and the Start Menu folder name taken from a browser pick.
// Portable: no Windows headers here.
#pragma once

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

/// A borrowed callable that answers whether the folder can be written. Unlike std::function it neither
/// copies nor allocates, so it brings none of the library's exception paths into the setup.
class WritableProbe {
public:
    template <typename Probe>
    WritableProbe(const Probe& probe)  // NOLINT: implicit on purpose, callers pass a lambda
        : probe_(&probe), call_([](const void* p) { return (*static_cast<const Probe*>(p))(); }) {}
    bool operator()() const { return call_(probe_); }

private:
    const void* probe_;
    bool (*call_)(const void*);
};

/// Runs the checks in order (blank, characters, drive, writability) and stops at the first
/// failure; `probeWritable` runs only when every check before it passed.
FolderVerdict JudgeFolderPath(const FolderCheck& check, WritableProbe probeWritable);

/// The name relative to the Start Menu that a browser pick gives: the part of `picked`
/// behind its common prefix with `startMenu` (compared without regard to case), with a
/// trailing separator, followed by "Korvane".
SetupString StartMenuNameOfPick(const char* startMenu, const char* picked);
