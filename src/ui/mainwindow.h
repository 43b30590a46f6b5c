// The process: single instance, hand-off to a running instance, the invisible
// main window with the global hotkey and the accelerators, the message loop
// and the order of start-up and shut-down.
#ifndef PEXOR_MAINWINDOW_H
#define PEXOR_MAINWINDOW_H

#include <windows.h>

extern HINSTANCE instanceHandle;
extern HWND mainWindow;
extern ATOM hotkeyAtom;
extern HACCEL accelerators;

extern const char MAIN_WINDOW_CLASS[];  // "Pexor", also the main window's title
extern const char HOTKEY_ATOM_NAME[];   // "PexorHotkey"
extern const char MUTEX_NAME[];         // "Pexor"

// The whole life of the program; returns 0 on every path.
int runPexor(HINSTANCE instance, const char* commandLine);

int registerMainWindowClass(HINSTANCE instance);
HWND createMainWindow(HINSTANCE instance);

// Accelerators for the main window first, then dialog keys for the command bar.
void runMessageLoop();

#endif
