// Win32 chores that more than one module needs, each written once: the
// program's own path, a file put in another's place, the value that starts it
// with Windows, the notice, warning and question boxes (the notice also with
// the system's text for an error), and the functions of shell32 and comdlg32,
// looked up when first needed.
#ifndef PEXOR_WINUTIL_WIN32_H
#define PEXOR_WINUTIL_WIN32_H

#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>

// The full path of module (0: the program itself) into path. Returns its
// length, or 0 with an empty path when there is none or it does not fit.
DWORD modulePath(HMODULE module, char* path, size_t capacity);

// The value "Pexor" in the current user's Run key, which makes Windows start
// the program at log-on: set to the program's path, or removed. Failures are
// not reported; the program then simply does (or still does) not start with
// Windows.
void setStartWithWindows();
void clearStartWithWindows();

// Puts the finished file newPath in the place of oldPath (which may be
// missing) in one step where the system can (MoveFileExA), else by delete and
// move; 1 when done. Like Windows, and unlike Wine, refuses to replace a
// read-only file.
int replaceFileWith(const char* newPath, const char* oldPath);

// text in a box captioned "Pexor - Hinweis" with the information sign: the
// program did something else than asked, and says what.
void showNotice(HWND owner, const char* text);

// The system's text for error as a notice, or fallback when the system has
// none for it.
void showSystemError(HWND owner, DWORD error, const char* fallback);

// A warning sound and text in a box captioned "Pexor - Fehler" with the
// exclamation mark: something did not work, and the program goes on.
void showWarning(HWND owner, const char* text);

// The question sound and text in a box captioned "Pexor - Frage" with the
// question mark and the buttons Ja and Nein. Returns whether the answer is Ja.
int askQuestion(HWND owner, const char* text);

// Libraries that the resident program needs only now and then are loaded when
// first used, not at start-up: comdlg32 alone (it pulls in the COM libraries)
// would cost memory all day for one browse button. Once loaded, a library
// stays loaded.
//
// The function name of the system library library. Null when either is
// missing (an older Windows): the user has then heard the warning sound and
// read "Die Datei <library> konnte nicht geladen werden." or "Die Datei
// <library> enthält die Funktion <name> nicht." in a box owned by owner, and
// the caller skips what needed it.
typedef void (*AnyFunction)(void);
AnyFunction systemFunction(HWND owner, const char* library, const char* name);

typedef HINSTANCE(WINAPI* ShellExecuteFunction)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
typedef HINSTANCE(WINAPI* FindExecutableFunction)(LPCSTR, LPCSTR, LPSTR);
typedef UINT(WINAPI* DragQueryFileFunction)(HDROP, UINT, LPSTR, UINT);
typedef void(WINAPI* DragFinishFunction)(HDROP);
typedef BOOL(WINAPI* ShellNotifyIconFunction)(DWORD, PNOTIFYICONDATAA);
typedef BOOL(WINAPI* GetOpenFileNameFunction)(LPOPENFILENAMEA);
typedef DWORD(WINAPI* CommDlgExtendedErrorFunction)(void);

// The functions looked up when first needed: each one by systemFunction on
// its first use and then kept; null (after the box) while it cannot be found.
// lateBound<ShellExecuteFunction>(owner, SHELL_EXECUTE) gives it with its type.
enum SystemFunction {
    SHELL_EXECUTE, FIND_EXECUTABLE, DRAG_QUERY_FILE, DRAG_FINISH, SHELL_NOTIFY_ICON,
    GET_OPEN_FILE_NAME, COMM_DLG_EXTENDED_ERROR, SYSTEM_FUNCTION_COUNT
};
AnyFunction foundFunction(HWND owner, SystemFunction which);
template <typename Function>
Function lateBound(HWND owner, SystemFunction which) {
    return (Function)foundFunction(owner, which);
}

// Loads shell32 ahead of the first line run, while the user is still typing
// or choosing it, so that Enter does not wait for the library. Quiet: a
// missing library is reported when a function of it is looked up.
void prepareShell();

// What foundFunction has found (null: not looked up yet); a test puts a
// stand-in for the shell here.
extern AnyFunction systemFunctionsFound[SYSTEM_FUNCTION_COUNT];

#endif
