// Turning the registered browser command into a program path, and the
// address tests of the page opener. Portable.
#pragma once

#include "foundation/portable/setup_string.h"

/// The browser's program path from a shell "open" command, as the page opener uses it.
SetupString BrowserProgramFromCommand(const SetupString& command);
/// True when the address starts with "mailto:" (case-insensitive; a shorter address compares its own length).
bool IsMailtoAddress(const char* address);
/// The browser's argument: the address in double quotes, so that a path with spaces stays one argument.
SetupString BrowserArgument(const char* address);
/// The vendor site's base address, "/php/" and the page.
SetupString VendorPageAddress(const char* page);
