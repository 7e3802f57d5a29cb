// Dialog procedures of the engine's wizard pages: the Welcome page, which
// removes an earlier version, and the Installing page, which runs the steps.
#pragma once

#include <windows.h>

INT_PTR CALLBACK WelcomePageProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK InstallingPageProc(HWND, UINT, WPARAM, LPARAM);
