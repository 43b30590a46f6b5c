// Start-up, single instance, the invisible main window and shut-down.
#include "mainwindow.h"

#include <stdio.h>

#include "../../res/resource.h"
#include "../base/textutil.h"
#include "../base/winutil_win32.h"
#include "../interp/aliasfile.h"
#include "../interp/interpreter_win32.h"
#include "../interp/startoptions.h"
#include "../state/settings_win32.h"
#include "../tooltips/tooltips.h"
#include "commandbar.h"
#include "trayicon.h"

HINSTANCE instanceHandle;
HWND mainWindow;
ATOM hotkeyAtom;
HACCEL accelerators;

const char MAIN_WINDOW_CLASS[] = "Pexor";
const char HOTKEY_ATOM_NAME[] = "PexorHotkey";
const char MUTEX_NAME[] = "Pexor";

static const char INIT_CAPTION[] = "Initialisierungsfehler";

// Sent to the top-level windows when the shell's taskbar has started anew
// (Explorer restarted): the icons it showed are gone.
static UINT taskbarCreatedMessage;

enum {
    // Reserved with the window class; nothing reads or writes them.
    MAIN_WINDOW_EXTRA_BYTES = 30,
    TEMP_PATH_LENGTH = 259,  // GetTempPathA's buffer: the longest path, MAX_PATH less the NUL
    HAND_OFF_PATH_CAPACITY = TEMP_PATH_LENGTH + 1 + 16,  // the temp directory plus the name
    // What is read of the file: 268 characters. More than the longest line
    // accepted, so that a line too long is refused whole instead of being cut
    // to one that would pass.
    HAND_OFF_LINE_CAPACITY = 269,
    // How long a second start waits for the running instance to answer.
    HAND_OFF_TIMEOUT_MS = 5000,
    // How long it waits for the hand-off file of another second start to be
    // read, and how often it looks.
    HAND_OFF_WAIT_MS = 2000,
    HAND_OFF_RETRY_MS = 50
};

static LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

static void startupFailure(const char* text, int beep) {
    MessageBoxA(0, text, INIT_CAPTION, MB_ICONINFORMATION);
    if (beep) MessageBeep(0);
}

int registerMainWindowClass(HINSTANCE instance) {
    WNDCLASSA windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.lpfnWndProc = mainWindowProc;
    windowClass.cbWndExtra = MAIN_WINDOW_EXTRA_BYTES;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_PEXOR));
    windowClass.hCursor = LoadCursorA(0, (LPCSTR)IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)GetStockObject(LTGRAY_BRUSH);
    windowClass.lpszClassName = MAIN_WINDOW_CLASS;
    return RegisterClassA(&windowClass) != 0;
}

HWND createMainWindow(HINSTANCE instance) {
    return CreateWindowExA(0, MAIN_WINDOW_CLASS, MAIN_WINDOW_CLASS, WS_OVERLAPPEDWINDOW, 0, 0, 0,
                           0, 0, 0, instance, 0);
}

// "pexorcd.tmp" in the temp directory; 0 when the path does not fit.
static int handOffFilePath(char* path, size_t capacity) {
    char directory[TEMP_PATH_LENGTH + 1];
    DWORD n = GetTempPathA(TEMP_PATH_LENGTH, directory);
    if (n == 0 || n >= TEMP_PATH_LENGTH) return 0;
    return copyText(path, capacity, directory) && appendText(path, capacity, HAND_OFF_FILE_NAME);
}

// Makes the hand-off file anew, for this start alone while it writes, so that
// the running instance never reads half of it. One that is there belongs to
// another second start (two quick starts from a file manager) that has not
// been served yet, or is being read: it is waited for, briefly, and then
// taken over, as one left by a start that did not get through.
static HANDLE createHandOffFile(const char* path) {
    for (DWORD waited = 0;; waited += HAND_OFF_RETRY_MS) {
        int last = waited >= HAND_OFF_WAIT_MS;
        HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, 0, last ? CREATE_ALWAYS : CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, 0);
        // A missing temp folder does not come by waiting.
        if (file != INVALID_HANDLE_VALUE || last || GetLastError() == ERROR_PATH_NOT_FOUND) return file;
        Sleep(HAND_OFF_RETRY_MS);
    }
}

// Writes "cd " + directory, without a line end; 0 when that failed or the
// running instance would refuse the line.
static int writeHandOffFile(const char* directory) {
    char line[OWN_LINE_CAPACITY];
    char path[HAND_OFF_PATH_CAPACITY];
    if (!makeHandOffLine(directory, line, sizeof line) || !handOffFilePath(path, sizeof path))
        return 0;
    HANDLE file = createHandOffFile(path);
    if (file == INVALID_HANDLE_VALUE) return 0;
    DWORD length = (DWORD)lstrlenA(line), written = 0;
    int whole = WriteFile(file, line, length, &written, 0) && written == length;
    if (!CloseHandle(file)) whole = 0;
    if (!whole) DeleteFileA(path);
    return whole;
}

// Reads, deletes and runs a waiting hand-off file (only a "cd" line).
static void runHandOffFile() {
    char path[HAND_OFF_PATH_CAPACITY];
    if (!handOffFilePath(path, sizeof path)) return;
    FILE* file = fopen(path, "r");
    if (file == 0) return;
    char line[HAND_OFF_LINE_CAPACITY];
    if (fgets(line, sizeof line, file) == 0) line[0] = '\0';
    fclose(file);
    remove(path);
    if (acceptHandOffLine(line)) executeChangeDirectory(commandBarWindow, line + 3);
}

// The start directory asked for is not where Pexor goes: say which and why.
static void startDirectoryNotice(const char* text, const char* directory) {
    char message[MESSAGE_CAPACITY + PATH_CAPACITY];
    copyText(message, sizeof message, text);
    appendText(message, sizeof message, directory);
    showNotice(0, message);
}

// Windows 98 and 2000 let a process bring its window to the front only when
// the foreground process allows it; Windows 95 has no such function.
static void allowToFront(HWND window) {
    typedef BOOL(WINAPI * AllowSetForegroundWindowProc)(DWORD);
    AllowSetForegroundWindowProc allow = (AllowSetForegroundWindowProc)(void*)GetProcAddress(
        GetModuleHandleA("user32.dll"), "AllowSetForegroundWindow");
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (allow != 0 && process != 0) allow(process);
}

// Another instance runs: give it our start directory, or just wake it. One
// that does not answer (stopped, hung) is given up after a few seconds.
static void handOver(const char* startDirectory) {
    HWND running = FindWindowA(MAIN_WINDOW_CLASS, MAIN_WINDOW_CLASS);
    if (running == 0) {
        startupFailure("Pexor ist bereits aktiv...", 1);
        return;
    }
    // A file that could not be written must not be announced.
    LPARAM handOff = 0;
    if (startDirectory[0] != '\0') {
        if (writeHandOffFile(startDirectory))
            handOff = 1;
        else
            startDirectoryNotice(
                "Das Startverzeichnis kann nicht an das laufende Pexor übergeben werden:\n",
                startDirectory);
    }
    allowToFront(running);
    DWORD_PTR answer = 0;
    if (SendMessageTimeoutA(running, WM_COMMAND, CMD_ACTIVATE, handOff, SMTO_ABORTIFHUNG,
                            HAND_OFF_TIMEOUT_MS, &answer) != 0)
        return;
    // Should it still wake up, it finds nothing to run.
    if (handOff == 1) {
        char path[HAND_OFF_PATH_CAPACITY];
        if (handOffFilePath(path, sizeof path)) remove(path);
    }
    startupFailure("Das laufende Pexor antwortet nicht...", 1);
}

static void activateCommand(LPARAM lParam) {
    if (commandBarWindow == 0) {
        // A second start may announce its directory before the first command
        // 110 of this instance has come: the bar is made first, then it goes there.
        createCommandBar(mainWindow);
        if (commandBarWindow != 0 && lParam == 1) runHandOffFile();
        return;
    }
    if (lParam == 1) runHandOffFile();
    ShowWindow(commandBarWindow, SW_SHOWNORMAL);
    SetForegroundWindow(commandBarWindow);
    SetFocus(GetDlgItem(commandBarWindow, IDC_COMMAND_COMBO));
}

static void onClose(HWND window) {
    if (commandBarWindow != 0) SendMessageA(commandBarWindow, WM_COMMAND, CMD_CLOSE_BAR, 0);
    DestroyWindow(window);
    UnregisterClassA(MAIN_WINDOW_CLASS, instanceHandle);
}

static void onCommand(WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(wParam)) {
        case CMD_CANCEL:
        case CMD_CLEAR_HISTORY:
        case CMD_SEARCH_HISTORY:
        case CMD_SHOW_HISTORY:
            // Accelerators are translated for this window; the bar acts on them.
            if (commandBarWindow == 0) return;
            ShowWindow(commandBarWindow, SW_SHOWNORMAL);
            SendMessageA(commandBarWindow, WM_COMMAND, wParam, 0);
            return;
        case CMD_ACTIVATE:
            activateCommand(lParam);
            return;
    }
}

static LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_CLOSE:
            onClose(window);
            return 0;
        case WM_QUERYENDSESSION:
            SendMessageA(window, WM_CLOSE, 0, 0);
            return 1;
        case WM_COMMAND:
            onCommand(wParam, lParam);
            return 0;
        case WM_HOTKEY:
            if (hotkeyAtom != 0 && wParam == hotkeyAtom)
                PostMessageA(window, WM_COMMAND, CMD_ACTIVATE, 0);
            else
                MessageBeep(0);
            return 0;
    }
    if (message == taskbarCreatedMessage && message != 0) {
        if (trayIconShown == 1 && commandBarWindow != 0)
            showTrayIcon(commandBarWindow);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void runMessageLoop() {
    MSG message;
    // GetMessageA gives -1 on an error; that ends the loop as well.
    while (GetMessageA(&message, 0, 0, 0) > 0) {
        if (TranslateAcceleratorA(mainWindow, accelerators, &message)) continue;
        if (commandBarWindow != 0 && IsDialogMessageA(commandBarWindow, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

static int pathExists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

static void shutDown(HANDLE mutex) {
    if (hotkeyAtom != 0) {
        UnregisterHotKey(mainWindow, hotkeyAtom);
        GlobalDeleteAtom(hotkeyAtom);
        hotkeyAtom = 0;
    }
    CloseHandle(mutex);
    shutdownTooltips();
    freeMacroTable();
    // The bar is gone with its owner; the icon is known by its former handle and id.
    if (trayIconShown == 1) removeTrayIcon(commandBarWindow);
}

static void readStartOptions(const char* commandLine, char* startDirectory) {
    switch (parseStartOptions(commandLine, startDirectory, pathExists)) {
        case START_DIRECTORY_TOO_LONG:
            showNotice(0, "Das Startverzeichnis ist zu lang (mehr als 259 Zeichen) und wird nicht verwendet.");
            break;
        case START_DIRECTORY_UNUSABLE:
            showNotice(0, "Der Name des Startverzeichnisses enthält Zeichen, die Pexor nicht verarbeiten "
                          "kann. Das Verzeichnis wird nicht verwendet.");
            break;
        case START_OPTIONS_USED:
            break;
    }
}

int runPexor(HINSTANCE instance, const char* commandLine) {
    char* startDirectory = settings.BaseDir;
    readStartOptions(commandLine, startDirectory);

    SetLastError(0);
    HANDLE mutex = CreateMutexA(0, TRUE, MUTEX_NAME);
    if (GetLastError() != 0) {
        handOver(startDirectory);
        if (mutex != 0) CloseHandle(mutex);
        return 0;
    }
    if (!registerMainWindowClass(instance)) {
        startupFailure("Die Initialisierung von Pexor schlug fehl...", 1);
        return 0;
    }
    if (!initTooltips(instance)) {
        UnregisterClassA(MAIN_WINDOW_CLASS, instance);
        startupFailure("Die Initialisierung von Pexor schlug fehl [Tooltips]...", 1);
        return 0;
    }
    deriveSettingsPaths(instance);
    instanceHandle = instance;
    commandBarWindow = 0;
    macroTable = 0;
    trayIconShown = 0;
    if (startDirectory[0] == '\0') copyText(startDirectory, PATH_CAPACITY, DEFAULT_START_DIRECTORY);
    readSettings();
    loadMacroTable();

    taskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");
    mainWindow = createMainWindow(instance);
    if (mainWindow == 0) {
        startupFailure("Fehler beim Erzeugen des Hauptfenster von Pexor!", 0);
        return 0;
    }
    hotkeyAtom = GlobalAddAtomA(HOTKEY_ATOM_NAME);
    if (hotkeyAtom != 0 && settings.Hotkey != 0)
        RegisterHotKey(mainWindow, hotkeyAtom, MOD_ALT | MOD_CONTROL, settings.Hotkey);
    accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    PostMessageA(mainWindow, WM_COMMAND, CMD_ACTIVATE, 0);
    runMessageLoop();
    shutDown(mutex);
    return 0;
}
