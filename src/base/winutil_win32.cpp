// Registry, module path, system message and library chores.
#include "winutil_win32.h"

#include "textutil.h"

static const char RUN_KEY[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
static const char RUN_VALUE[] = "Pexor";

static const char SHELL_LIBRARY[] = "shell32.dll";
static const char DIALOG_LIBRARY[] = "comdlg32.dll";

enum {
    // FormatMessageA's texts are a line or two; a longer one gives the fallback.
    SYSTEM_TEXT_CAPACITY = 300,
    // The missing-function text with a library and a function name of 64
    // characters each; ours are far shorter.
    MISSING_TEXT_CAPACITY = 200
};

DWORD modulePath(HMODULE module, char* path, size_t capacity) {
    DWORD length = GetModuleFileNameA(module, path, (DWORD)capacity);
    // A path cut to the buffer is no path (Windows XP does not even end it with a NUL).
    if (length == 0 || length >= capacity) {
        if (capacity > 0) path[0] = '\0';
        return 0;
    }
    return length;
}

void setStartWithWindows() {
    char path[MAX_PATH];
    DWORD length = modulePath(0, path, sizeof path);
    if (length == 0) return;
    HKEY key;
    if (RegCreateKeyA(HKEY_CURRENT_USER, RUN_KEY, &key) != ERROR_SUCCESS) return;
    // The size counts the terminating NUL, which is stored as well.
    RegSetValueExA(key, RUN_VALUE, 0, REG_SZ, (const BYTE*)path, length + 1);
    RegCloseKey(key);
}

void clearStartWithWindows() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, RUN_KEY, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    RegDeleteValueA(key, RUN_VALUE);
    RegCloseKey(key);
}

void showNotice(HWND owner, const char* text) {
    MessageBoxA(owner, text, "Pexor - Hinweis", MB_ICONINFORMATION);
}

void showSystemError(HWND owner, DWORD error, const char* fallback) {
    char text[SYSTEM_TEXT_CAPACITY];
    if (!FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, 0, error, 0, text,
                        sizeof text, 0))
        copyText(text, sizeof text, fallback);
    showNotice(owner, text);
}

void showWarning(HWND owner, const char* text) {
    MessageBeep(MB_ICONEXCLAMATION);
    MessageBoxA(owner, text, "Pexor - Fehler", MB_ICONEXCLAMATION);
}

AnyFunction systemFunction(HWND owner, const char* library, const char* name) {
    char text[MISSING_TEXT_CAPACITY];
    copyText(text, sizeof text, "Die Datei ");
    appendText(text, sizeof text, library);
    HMODULE module = LoadLibraryA(library);
    if (module == 0) {
        appendText(text, sizeof text, " konnte nicht geladen werden.");
        showWarning(owner, text);
        return 0;
    }
    // GetProcAddress gives a generic function pointer; the detour through a
    // pointer to void(void) tells the compiler the change of type is meant.
    AnyFunction function = (AnyFunction)GetProcAddress(module, name);
    if (function == 0) {
        appendText(text, sizeof text, " enthält die Funktion ");
        appendText(text, sizeof text, name);
        appendText(text, sizeof text, " nicht.");
        showWarning(owner, text);
    }
    return function;
}

ShellNotifyIconFunction shellNotifyIconFound;

void prepareShell() {
    static int tried;
    if (tried) return;
    tried = 1;
    LoadLibraryA(SHELL_LIBRARY);
}

ShellExecuteFunction shellExecuteFunction(HWND owner) {
    static ShellExecuteFunction found;
    if (found == 0) found = (ShellExecuteFunction)systemFunction(owner, SHELL_LIBRARY, "ShellExecuteA");
    return found;
}

FindExecutableFunction findExecutableFunction(HWND owner) {
    static FindExecutableFunction found;
    if (found == 0) found = (FindExecutableFunction)systemFunction(owner, SHELL_LIBRARY, "FindExecutableA");
    return found;
}

DragQueryFileFunction dragQueryFileFunction(HWND owner) {
    static DragQueryFileFunction found;
    if (found == 0) found = (DragQueryFileFunction)systemFunction(owner, SHELL_LIBRARY, "DragQueryFileA");
    return found;
}

DragFinishFunction dragFinishFunction(HWND owner) {
    static DragFinishFunction found;
    if (found == 0) found = (DragFinishFunction)systemFunction(owner, SHELL_LIBRARY, "DragFinish");
    return found;
}

ShellNotifyIconFunction shellNotifyIconFunction(HWND owner) {
    if (shellNotifyIconFound == 0)
        shellNotifyIconFound =
            (ShellNotifyIconFunction)systemFunction(owner, SHELL_LIBRARY, "Shell_NotifyIconA");
    return shellNotifyIconFound;
}

GetOpenFileNameFunction getOpenFileNameFunction(HWND owner) {
    static GetOpenFileNameFunction found;
    if (found == 0) found = (GetOpenFileNameFunction)systemFunction(owner, DIALOG_LIBRARY, "GetOpenFileNameA");
    return found;
}

CommDlgExtendedErrorFunction commDlgExtendedErrorFunction(HWND owner) {
    static CommDlgExtendedErrorFunction found;
    if (found == 0)
        found = (CommDlgExtendedErrorFunction)systemFunction(owner, DIALOG_LIBRARY, "CommDlgExtendedError");
    return found;
}
