// The command bar: the one window the user works with.
#ifndef PEXOR_COMMANDBAR_H
#define PEXOR_COMMANDBAR_H

#include <windows.h>

extern HWND commandBarWindow;
extern HMENU barMenu;
// While it is 1 the auto-hide timer leaves the bar alone.
extern int propertiesDialogOpen;
// The open About and properties dialogs, null while closed.
extern HWND aboutDialogWindow;
extern HWND propertiesDialogWindow;

// Creates the bar as a modeless dialog owned by owner; on failure
// commandBarWindow stays null and the next activation tries again.
void createCommandBar(HWND owner);

#endif
