// The properties dialog: the one place where the user changes the settings.
// Everything takes effect when OK is pressed.
#ifndef PEXOR_PROPERTIESDIALOG_H
#define PEXOR_PROPERTIESDIALOG_H

#include <windows.h>

// Runs the dialog modally, without owner. 1 after OK (settings written and
// applied), 0 after Cancel, the close box, or an end of the program while it
// was open (WM_QUIT ends the dialog too), -1 when it could not be created.
int runPropertiesDialog(void);

#endif
