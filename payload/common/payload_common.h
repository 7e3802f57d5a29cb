// Small Win32 helpers shared by the programs of the package: kvr.exe, its
// helpers, uninst_kvr.exe and the stand-in of the 1.2.2 uninstaller.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "foundation/win_handles.h"

namespace payload {

/// Opens `path` below HKEY_CURRENT_USER; an empty key when it does not exist.
win::RegKey OpenUserKey(const char* path, REGSAM access);

/// Reads a REG_SZ value; false (and `out` empty) when it is missing or of another type.
bool ReadString(HKEY key, const char* name, std::string& out);

/// Reads a REG_DWORD value; false when it is missing or of another type.
bool ReadDword(HKEY key, const char* name, DWORD& out);

/// True when the key holds neither values nor sub-keys.
bool KeyIsEmpty(HKEY key);

/// Deletes the key `path` below HKEY_CURRENT_USER when it holds nothing any more.
bool DeleteUserKeyIfEmpty(const char* path);

/// The program's arguments (without the program name), in the ANSI code page.
std::vector<std::string> CommandLineArguments();

/// True when `args` holds `flag`, compared without regard to case ("/S" and "/s").
bool HasFlag(const std::vector<std::string>& args, const char* flag);

/// Full path of the running executable.
std::string ModulePath();

/// The folder part of a path, without trailing separator ("" when there is none).
std::string FolderOf(const std::string& path);

/// `folder` + "\" + `name`, without doubling an existing separator.
std::string JoinPath(const std::string& folder, const std::string& name);

/// True when a file or folder exists at `path`.
bool PathExists(const std::string& path);

/// Deletes a file even when it is hidden, system or read-only. True when nothing
/// is left at `path` afterwards.
bool DeleteFileForce(const std::string& path);

/// The registered message that asks running copies of the application to close.
UINT CloseMessage();

/// Destroys every window of the calling thread and ends its message loop when
/// `message` is the close request. Returns true when it was.
bool HandleCloseRequest(UINT message);

}  // namespace payload
