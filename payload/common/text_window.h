// The one window of kvr.exe and kvrsched.exe: read-only text in a resizable
// frame that closes on the setup's close request.
#pragma once

#include <windows.h>

#include <string>

namespace payload {

/// Registers `class_name`, shows a window with `title` and `text` and runs its
/// message loop until the window is closed (by the user or by the close request).
/// Returns the process exit code: 0, or 1 when the window cannot be created.
int RunTextWindow(HINSTANCE instance, const char* class_name, const std::string& title, const std::string& text,
                  int show, int width, int height);

}  // namespace payload
