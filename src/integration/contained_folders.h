// Where the setup and its uninstaller may make and remove things, judged on
// the full paths the system makes of the recorded or typed ones. Compiled into
// setup.exe and uninst_kvr.exe alike.
#pragma once

/// True when the system makes `a` and `b` the same full path (case and trailing separators aside).
bool IsSameFullPath(const char* a, const char* b);

/// True when `folder` lies strictly below the user's Start Menu folder, is not its Programs folder and lies
/// outside its Startup folder: only there may the Start Menu links be made and removed. Their generic names
/// ("Uninstall.lnk") would replace or remove links of others in any other place, and in Startup they would
/// run at every logon.
bool IsOwnStartMenuFolder(const char* folder);
