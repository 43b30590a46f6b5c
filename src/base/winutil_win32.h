// Win32 chores that more than one module needs, each written once: the
// program's own path, the value that starts it with Windows, and the notice
// and warning boxes (the notice also with the system's text for an error).
#ifndef PEXOR_WINUTIL_WIN32_H
#define PEXOR_WINUTIL_WIN32_H

#include <windows.h>

// The full path of module (0: the program itself) into path. Returns its
// length, or 0 with an empty path when there is none or it does not fit.
DWORD modulePath(HMODULE module, char* path, size_t capacity);

// The value "Pexor" in the current user's Run key, which makes Windows start
// the program at log-on: set to the program's path, or removed. Failures are
// not reported; the program then simply does (or still does) not start with
// Windows.
void setStartWithWindows();
void clearStartWithWindows();

// text in a box captioned "Pexor - Hinweis" with the information sign: the
// program did something else than asked, and says what.
void showNotice(HWND owner, const char* text);

// The system's text for error as a notice, or fallback when the system has
// none for it.
void showSystemError(HWND owner, DWORD error, const char* fallback);

// A warning sound and text in a box captioned "Pexor - Fehler" with the
// exclamation mark: something did not work, and the program goes on.
void showWarning(HWND owner, const char* text);

#endif
