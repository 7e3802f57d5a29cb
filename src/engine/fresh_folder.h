// Folders made new for files that the setup (or the uninstaller) writes and
// then runs or restores: a folder that exists already, left by an earlier run or
// put there by someone else, is never used, and its name cannot be told in advance.
#pragma once

#include <windows.h>

#include <cstdint>

#include "foundation/portable/setup_string.h"
#include "foundation/win_handles.h"

/// A number nobody can tell in advance: from the system's random source where there is one (from Windows XP),
/// else from rand().
uint32_t DrawUnpredictableNumber();

/// Creates a new folder in `parent` (which ends in a separator) named `name(number)` for a drawn number; when
/// a folder or file of that name exists, another number is drawn. 0 with `created` set to the new folder
/// (ending in a separator), else the system's error code.
DWORD CreateFreshFolder(const SetupString& parent, SetupString (*name)(uint32_t), SetupString& created);

/// The step of WriteLockedFile that failed.
enum class LockedFileStep { Create, Write, Lock };

/// Writes `bytes` into the new file `path` (never into an existing one) and opens it again as `locked` with no
/// write or delete sharing, checking through that handle that it holds exactly those bytes: from then on nobody
/// can change or replace the file until `locked` is let go (for a program: once it has started). 0, or the
/// system's error code with `failed` (optional) set to the step that failed.
DWORD WriteLockedFile(const char* path, const uint8_t* bytes, uint32_t size, win::FileHandle& locked,
                      LockedFileStep* failed = nullptr);
