// Carries out what interpretLine decided: change directory or one
// ShellExecuteA request; a request to close goes back to the caller.
#ifndef PEXOR_INTERPRETER_WIN32_H
#define PEXOR_INTERPRETER_WIN32_H

#include <windows.h>

#include "interpreter.h"

// line: a buffer of LINE_CAPACITY bytes (a drive switch is rewritten in it).
// Returns EXEC_DONE, EXEC_CLOSE (EXIT while Exit is 1), a ShellExecuteA error
// code 0 to 32, or EXEC_LINE_TOO_LONG.
int executeCommandLine(HWND owner, char* line);

// The program's own change of directory ("cd " + directory, without the
// user's macros): the start directory, a directory handed over by a second
// start. EXEC_DONE (a failure has been shown), or EXEC_LINE_TOO_LONG.
int executeChangeDirectory(HWND owner, const char* directory);

// Beep and the German message box for a result other than EXEC_DONE.
void showExecError(HWND owner, int result);

int isDirectory(const char* path);

// The program that opens ".html" files, found through a probe file of a new
// name in the temp directory; 0 when it cannot be made or nothing is associated.
int findBrowser(char* path, size_t capacity);

#endif
