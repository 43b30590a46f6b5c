// Entry point of pexor.exe.
#include <windows.h>

#include "../interp/startoptions.h"
#include "mainwindow.h"

#ifndef WC_NO_BEST_FIT_CHARS
#define WC_NO_BEST_FIT_CHARS 0x400  // Windows 2000 and later
#endif

// The command line in the code page without best fit. The one Windows hands
// an ANSI program has been through a best-fit conversion, which turns a
// character the code page lacks into a look-alike (full-width "ｓｕｂ" into
// "sub"), so that "-p" would name another folder. The NT family keeps the
// command line in Unicode: converted without best fit, such a character
// becomes "?", which no path holds. Null where that cannot be had (Windows
// 95 and 98, NT 4); the caller then uses the ANSI one.
static char* exactCommandLine() {
    if (GetVersion() & 0x80000000u) return 0;  // not the NT family
    const wchar_t* wide = GetCommandLineW();
    int size = wide != 0 ? WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, 0, 0, "?", 0) : 0;
    char* line = size > 0 ? (char*)LocalAlloc(LMEM_FIXED, (SIZE_T)size) : 0;
    if (line != 0 && WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, line, size, "?", 0) == 0) {
        LocalFree(line);
        line = 0;
    }
    return line;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    // Kept for the program's whole life, as Windows keeps its own.
    const char* exact = exactCommandLine();
    return runPexor(instance, exact != 0 ? skipProgramName(exact) : commandLine);
}
