// Registry, module path and system message chores.
#include "winutil_win32.h"

#include "textutil.h"

static const char RUN_KEY[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
static const char RUN_VALUE[] = "Pexor";

// FormatMessageA's texts are a line or two; a longer one gives the fallback.
enum { SYSTEM_TEXT_CAPACITY = 300 };

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
