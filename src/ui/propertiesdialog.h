// The properties dialog: the one place where the user changes the settings.
// Everything takes effect when OK is pressed.
#ifndef PEXOR_PROPERTIESDIALOG_H
#define PEXOR_PROPERTIESDIALOG_H

#include <windows.h>

// Runs the dialog modally, without owner. 1 after OK (settings written and
// applied), 0 after Cancel or the close box, -1 when it could not be created.
int runPropertiesDialog(void);

INT_PTR CALLBACK propertiesDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Shows the open-file dialog for an existing file. path (pathCapacity bytes)
// is where it starts and is cut in place at its last backslash or colon.
// Returns the chosen full path in a buffer that the next call overwrites, or
// null when the user cancelled or the dialog failed (failure beeps).
const char* browseForFile(HWND owner, char* path, size_t pathCapacity, const char* title,
                          const char* defaultExtension, const char* defaultDirectory);

#endif
