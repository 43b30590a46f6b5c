// The Win32 side of the command interpreter.
#include "interpreter_win32.h"

#include <direct.h>
#include <shellapi.h>
#include <stdio.h>

#include "../ui/mainwindow.h"
#include "textutil.h"

static const char TEMP_URL_FILE[] = "c:\\tmpurl.html";

int isDirectory(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

int findBrowser(char* path, size_t capacity) {
    FILE* file = fopen(TEMP_URL_FILE, "w");
    if (file == 0) return 0;
    fclose(file);
    // FindExecutableA writes up to MAX_PATH bytes.
    char found[MAX_PATH];
    found[0] = '\0';
    INT_PTR result = (INT_PTR)FindExecutableA("tmpurl.html", "c:\\", found);
    remove(TEMP_URL_FILE);
    return result > 32 && copyText(path, capacity, found);
}

static int queryIsDirectory(void*, const char* path) { return isDirectory(path); }
static int queryBrowser(void*, char* path, size_t capacity) { return findBrowser(path, capacity); }

static int changeDirectory(HWND owner, char* directory) {
    if (!SetCurrentDirectoryA(directory)) {
        DWORD error = GetLastError();
        if (!FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, 0, error, 0,
                            directory, PARAMETER_CAPACITY, 0))
            copyText(directory, PARAMETER_CAPACITY, "Das Verzeichnis kann nicht gewechselt werden.");
        MessageBoxA(owner, directory, "Pexor - Hinweis", MB_ICONINFORMATION);
        return EXEC_DONE;
    }
    char current[PATH_CAPACITY];
    DWORD n = GetCurrentDirectoryA(sizeof current, current);
    if (n == 0 || n >= sizeof current) return EXEC_DONE;
    rememberDirectory(&driveDirectoryTable, current);
    // Once more through the C library, so that the drive's own record ("=C:")
    // is inherited by what starts later. Wine's runtime does not set that
    // variable in _chdir, Windows' does; setting it here keeps both alike.
    _chdir(current);
    char variable[4];
    if (driveVariableName(current, variable)) SetEnvironmentVariableA(variable, current);
    return EXEC_DONE;
}

int executeCommandLine(HWND owner, char* line) {
    InterpreterEnv env = {&settings, macroTable, &driveDirectoryTable, 0, queryIsDirectory,
                          queryBrowser};
    Request request;
    interpretLine(line, LINE_CAPACITY, &env, &request);
    switch (request.kind) {
        case REQUEST_NOTHING:
            return EXEC_DONE;
        case REQUEST_TOO_LONG:
            return EXEC_LINE_TOO_LONG;
        case REQUEST_CLOSE:
            PostMessageA(mainWindow, WM_CLOSE, 0, 0);
            return EXEC_DONE;
        case REQUEST_CHANGE_DIRECTORY:
            return changeDirectory(owner, request.parameters);
        case REQUEST_EXECUTE:
            break;
    }
    const char* parameters = request.parameters[0] != '\0' ? request.parameters : 0;
    INT_PTR result = (INT_PTR)ShellExecuteA(owner, request.verb, request.program, parameters, 0,
                                            SW_SHOWNORMAL);
    return result > 32 ? EXEC_DONE : (int)result;
}

void showExecError(HWND owner, int result) {
    MessageBeep(MB_ICONHAND);
    MessageBoxA(owner, execErrorText(result), "Pexor - Fehler", MB_ICONHAND);
}
