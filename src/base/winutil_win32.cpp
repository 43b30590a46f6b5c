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

int replaceFileWith(const char* newPath, const char* oldPath) {
    DWORD attributes = GetFileAttributesA(oldPath);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return 0;
    if (MoveFileExA(newPath, oldPath, MOVEFILE_REPLACE_EXISTING)) return 1;
    if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return 0;
    // Windows 95 and 98 know no MoveFileExA: the old file goes first.
    DeleteFileA(oldPath);
    return MoveFileA(newPath, oldPath) != 0;
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

int askQuestion(HWND owner, const char* text) {
    MessageBeep(MB_ICONQUESTION);
    return MessageBoxA(owner, text, "Pexor - Frage", MB_YESNO | MB_ICONQUESTION) == IDYES;
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

// Where each of the functions looked up when first needed lives, in the
// order of SystemFunction.
static const struct {
    const char* library;
    const char* name;
} SYSTEM_FUNCTIONS[SYSTEM_FUNCTION_COUNT] = {
    {SHELL_LIBRARY, "ShellExecuteA"},
    {SHELL_LIBRARY, "FindExecutableA"},
    {SHELL_LIBRARY, "DragQueryFileA"},
    {SHELL_LIBRARY, "DragFinish"},
    {SHELL_LIBRARY, "Shell_NotifyIconA"},
    {DIALOG_LIBRARY, "GetOpenFileNameA"},
    {DIALOG_LIBRARY, "CommDlgExtendedError"},
};

AnyFunction systemFunctionsFound[SYSTEM_FUNCTION_COUNT];

AnyFunction foundFunction(HWND owner, SystemFunction which) {
    AnyFunction& kept = systemFunctionsFound[which];
    if (kept == 0) kept = systemFunction(owner, SYSTEM_FUNCTIONS[which].library, SYSTEM_FUNCTIONS[which].name);
    return kept;
}

void prepareShell() {
    static int tried;
    if (tried) return;
    tried = 1;
    LoadLibraryA(SHELL_LIBRARY);
}
