// Dialog procedures of the question pages and the Finished page; the Welcome and
// Installing pages belong to the engine (engine/engine_pages.h).
#pragma once

#include <windows.h>

INT_PTR CALLBACK LicensePageProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK DestinationPageProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK StartMenuPageProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK DataFolderPageProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK TasksPageProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK ReadyPageProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK FinishedPageProc(HWND, UINT, WPARAM, LPARAM);
