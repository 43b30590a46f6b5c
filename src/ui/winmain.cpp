// Entry point of pexor.exe.
#include <windows.h>

#include "mainwindow.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    return runPexor(instance, commandLine);
}
