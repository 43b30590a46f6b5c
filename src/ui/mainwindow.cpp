// The invisible main window.
#include "mainwindow.h"

HINSTANCE instanceHandle;
HWND mainWindow;
