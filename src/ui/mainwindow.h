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
LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Accelerators for the main window first, then dialog keys for the command bar.
void runMessageLoop();

// "pexorcd.tmp" in the temp directory; 0 when the path does not fit.
int handOffFilePath(char* path, size_t capacity);
// Writes "cd " + directory, without a line end; 0 when that failed or the
// running instance would refuse the line.
int writeHandOffFile(const char* directory);
// Reads, deletes and runs a waiting hand-off file (only a "cd" line).
void runHandOffFile();

#endif
