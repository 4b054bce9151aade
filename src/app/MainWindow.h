#pragma once

#include <windows.h>

// Dialog procedure of the main window (dialog 166).
INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Creates the pages inside the main window, sizes and titles it, shows it
// and clears command busy.
void CreatePages(HWND mainWindow);

// Hides or shows the main window after the minimised flag.
void ShowMainWindow();

// Dialog procedure of the pages (dialogs 157 and 183).
INT_PTR CALLBACK PageDialogProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Dialog procedure of the about box (dialog 103).
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
