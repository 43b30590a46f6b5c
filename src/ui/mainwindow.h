// The invisible main window and the process-wide handles it owns.
#ifndef PEXOR_MAINWINDOW_H
#define PEXOR_MAINWINDOW_H

#include <windows.h>

extern HINSTANCE instanceHandle;
extern HWND mainWindow;

#endif
