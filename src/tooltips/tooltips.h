// One tooltip control per dialog, fed by a WH_GETMESSAGE hook on the GUI
// thread that relays mouse messages to the tooltip of the dialog that contains
// the message's window. The tools do not subclass the controls.
#ifndef PEXOR_TOOLTIPS_H
#define PEXOR_TOOLTIPS_H

#include <windows.h>
#include <commctrl.h>

// A dialog and its tooltip control, in a doubly linked list.
struct TooltipBinding {
    HWND owner;
    HWND tooltip;
    TooltipBinding* prev;
    TooltipBinding* next;
};

// Saves the instance, empties the list, registers the tooltip class and
// installs the hook for the calling thread. 1 when the hook is installed.
int initTooltips(HINSTANCE instance);
void shutdownTooltips();

// A tooltip control covering every descendant of dialog; null on failure
// (then nothing is left behind).
HWND createDialogTooltip(HWND dialog, UINT delayMilliseconds);
void destroyDialogTooltip(HWND dialog);
void activateDialogTooltip(HWND window, BOOL on);
HWND findDialogTooltip(HWND window);

// The id of the dialog's direct child that a TTN_NEEDTEXT asks about.
UINT tooltipControlId(const NMTTDISPINFOA* info);

LRESULT CALLBACK tooltipMessageHook(int code, WPARAM wParam, LPARAM lParam);

#endif
