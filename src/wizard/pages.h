// Dialog procedures of the question pages and the Finished page; the Welcome and
// Installing pages belong to the engine (engine/engine_pages.h).
#pragma once

#include <windows.h>

INT_PTR CALLBACK LicensePageProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK DestinationPageProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK StartMenuPageProc(HWND, UINT, WPARAM, LPARAM);

/// The Start Menu folder the page proposes, relative to the Start Menu.
const char* ProposedStartMenuName();
/// Checks a Start Menu folder name as Next does and stores it in the choices: 1 stored, 0 blank (the user has
/// been told), -1 refused or not writable (the page then asks whether to go on without one).
int AcceptStartMenuName(const char* name);
void StoreNoStartMenuFolder();
INT_PTR CALLBACK DataFolderPageProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK TasksPageProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK ReadyPageProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK FinishedPageProc(HWND, UINT, WPARAM, LPARAM);
