// The Win32 side of the command interpreter.
#include "interpreter_win32.h"

#include <direct.h>
#include <stdio.h>

#include "../base/textutil.h"
#include "../base/winutil_win32.h"

int isDirectory(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// FindExecutableA needs an existing file with the extension. The probe is a
// file of a name nobody else has (GetTempFileNameA makes it) with ".html"
// added, created only if it does not exist yet: a file of the user's is never
// touched, and only what was made here is deleted.
int findBrowser(char* path, size_t capacity) {
    char directory[MAX_PATH];
    char reserved[MAX_PATH];
    char probe[MAX_PATH + 8];
    DWORD n = GetTempPathA(sizeof directory, directory);
    if (n == 0 || n >= sizeof directory || GetTempFileNameA(directory, "pxu", 0, reserved) == 0)
        return 0;
    int found = 0;
    if (copyText(probe, sizeof probe, reserved) && appendText(probe, sizeof probe, ".html")) {
        HANDLE file = CreateFileA(probe, GENERIC_WRITE, 0, 0, CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY, 0);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            // FindExecutableA writes up to MAX_PATH bytes.
            char program[MAX_PATH];
            program[0] = '\0';
            FindExecutableFunction findExecutable = lateBound<FindExecutableFunction>(0, FIND_EXECUTABLE);
            INT_PTR result = findExecutable != 0 ? (INT_PTR)findExecutable(probe, 0, program) : 0;
            found = result > 32 && copyText(path, capacity, program);
            DeleteFileA(probe);
        }
    }
    DeleteFileA(reserved);
    return found;
}

static int queryIsDirectory(void*, const char* path) { return isDirectory(path); }
static int queryBrowser(void*, char* path, size_t capacity) { return findBrowser(path, capacity); }

static int changeDirectory(HWND owner, char* directory) {
    if (!SetCurrentDirectoryA(directory)) {
        showSystemError(owner, GetLastError(), "Das Verzeichnis kann nicht gewechselt werden.");
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

static InterpreterEnv processEnv() {
    InterpreterEnv env = {&settings, macroTable, &driveDirectoryTable, 0, queryIsDirectory,
                          queryBrowser};
    return env;
}

static int perform(HWND owner, Request* request) {
    switch (request->kind) {
        case REQUEST_NOTHING:
            return EXEC_DONE;
        case REQUEST_TOO_LONG:
            return EXEC_LINE_TOO_LONG;
        case REQUEST_CLOSE:
            return EXEC_CLOSE;
        case REQUEST_CHANGE_DIRECTORY:
            return changeDirectory(owner, request->parameters);
        case REQUEST_EXECUTE:
            break;
    }
    // Without the shell's function (reported already) nothing can start.
    ShellExecuteFunction shellExecute = lateBound<ShellExecuteFunction>(owner, SHELL_EXECUTE);
    if (shellExecute == 0) return EXEC_DONE;
    const char* parameters = request->parameters[0] != '\0' ? request->parameters : 0;
    INT_PTR result = (INT_PTR)shellExecute(owner, request->verb, request->program, parameters, 0,
                                           SW_SHOWNORMAL);
    return result > 32 ? EXEC_DONE : (int)result;
}

int executeCommandLine(HWND owner, char* line) {
    InterpreterEnv env = processEnv();
    Request request;
    interpretLine(line, LINE_CAPACITY, &env, &request);
    return perform(owner, &request);
}

int executeChangeDirectory(HWND owner, const char* directory) {
    InterpreterEnv env = processEnv();
    Request request;
    interpretChangeDirectory(directory, &env, &request);
    return perform(owner, &request);
}

void showExecError(HWND owner, int result) {
    MessageBeep(MB_ICONHAND);
    MessageBoxA(owner, execErrorText(result), "Pexor - Fehler", MB_ICONHAND);
}
