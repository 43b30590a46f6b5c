// The About dialog: version, pictures, freeware notice and two links.
#ifndef PEXOR_ABOUTDIALOG_H
#define PEXOR_ABOUTDIALOG_H

#include <windows.h>

// Runs the dialog modally with no owner; aboutDialogWindow (commandbar.h)
// holds its window while it is open.
void runAboutDialog(void);

INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The version text of the program file at modulePath into buffer
// (VERSION_TEXT_CAPACITY bytes): "Pexor V" and its FileVersion, or "Pexor"
// when it has none.
void buildVersionTextOf(const char* modulePath, char* buffer);

#endif
