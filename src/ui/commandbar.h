// The command bar: the one window the user works with.
#ifndef PEXOR_COMMANDBAR_H
#define PEXOR_COMMANDBAR_H

#include <windows.h>

extern HWND commandBarWindow;

// Creates the bar as a modeless dialog owned by owner; on failure
// commandBarWindow stays null and the next activation tries again.
void createCommandBar(HWND owner);

INT_PTR CALLBACK commandBarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam);

#endif
