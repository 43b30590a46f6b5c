// The resident process, mostly with real pexor.exe processes: the start
// directory, one instance only with the hand-off of a directory to the
// running one, the check of the hand-off file, the global hotkey, the
// accelerators, and a shut-down that leaves nothing behind.
#include <string.h>
#include <winternl.h>

#include <string>
#include <vector>

#include "../../res/resource.h"
#include "harness.h"
#include "ui/commandbar.h"
#include "ui/mainwindow.h"

using harness::fileExists;
using harness::lowerCase;
using harness::pumpUntil;

namespace {

bool underWine() { return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != 0; }

// The build puts pexor.exe two folders above the test program.
std::string builtProgram() {
    char self[MAX_PATH];
    DWORD n = GetModuleFileNameA(0, self, sizeof self);
    std::string path(self, n);
    for (int up = 0; up < 3; up++) path = path.substr(0, path.find_last_of('\\'));
    return path + "\\pexor.exe";
}

// Where a second instance leaves its start directory for the running one.
std::string handOffFile() {
    char dir[MAX_PATH];
    DWORD n = GetTempPathA(sizeof dir, dir);
    return std::string(dir, n) + "pexorcd.tmp";
}

// The current directory of another process, lower case, read from its process
// parameters, which is where GetCurrentDirectoryA in that process reads it.
std::string currentDirectoryOf(HANDLE process) {
    typedef NTSTATUS(WINAPI * QueryProcess)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    QueryProcess query =
        (QueryProcess)(void*)GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess");
    PROCESS_BASIC_INFORMATION basic;
    if (query == 0 || query(process, ProcessBasicInformation, &basic, sizeof basic, 0) != 0) return "";
    struct {  // the head of RTL_USER_PROCESS_PARAMETERS, up to CurrentDirectory.DosPath
        ULONG sizesAndFlags[4];
        HANDLE console;
        ULONG consoleFlags;
        HANDLE standardHandles[3];
        UNICODE_STRING currentDirectory;
    } parameters;
    PEB peb;
    if (!ReadProcessMemory(process, basic.PebBaseAddress, &peb, sizeof peb, 0) ||
        !ReadProcessMemory(process, peb.ProcessParameters, &parameters, sizeof parameters, 0))
        return "";
    std::wstring path(parameters.currentDirectory.Length / sizeof(WCHAR), L'\0');
    if (path.empty() || !ReadProcessMemory(process, parameters.currentDirectory.Buffer, &path[0],
                                           parameters.currentDirectory.Length, 0))
        return "";
    char text[2 * MAX_PATH];
    int n = WideCharToMultiByte(CP_ACP, 0, path.data(), (int)path.size(), text, sizeof text, 0, 0);
    std::string dir(text, n > 0 ? n : 0);
    if (dir.size() > 3 && dir.back() == '\\') dir.pop_back();  // kept only at a drive's root
    return lowerCase(dir);
}

struct PexorSettings {
    int hotkey;
    int trayIcon;
    std::string baseDir;  // empty: no BaseDir key
    int save = 0;         // [Geometry] written on moves and size changes
};

// pexor.exe copied into dir with its settings file next to it: no Run key,
// no alias file, and the bar shows at once and stays.
std::string installPexor(const harness::TempDir& dir, const PexorSettings& setup) {
    std::string exe = dir.file("pexor.exe");
    EXPECT_TRUE(CopyFileA(builtProgram().c_str(), exe.c_str(), FALSE)) << builtProgram();
    std::string ini = "[Setup]\r\nSysStartup=0\r\nCheckAlias=0\r\nAutoHide=0\r\nHotkey=" +
                      std::to_string(setup.hotkey) + "\r\nTrayIcon=" + std::to_string(setup.trayIcon) +
                      "\r\nSave=" + std::to_string(setup.save) + "\r\n";
    if (!setup.baseDir.empty()) ini += "BaseDir=" + setup.baseDir + "\r\n";
    harness::writeFile(dir.file("pexor.ini"), ini);
    return exe;
}

struct WindowSearch {
    DWORD process;
    const char* className;
    HWND found;
};

BOOL CALLBACK findPexorWindow(HWND window, LPARAM param) {
    WindowSearch* search = reinterpret_cast<WindowSearch*>(param);
    DWORD process = 0;
    char name[32], title[32];
    GetWindowThreadProcessId(window, &process);
    if (process == search->process && GetClassNameA(window, name, sizeof name) &&
        strcmp(name, search->className) == 0 && GetWindowTextA(window, title, sizeof title) &&
        strcmp(title, "Pexor") == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// One run of pexor.exe; ended (through its main window if it can be) and
// waited for when the test is over.
class Pexor {
public:
    Pexor(const std::string& exe, const std::string& arguments) {
        std::string line = "\"" + exe + "\" " + arguments;
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        EXPECT_TRUE(CreateProcessA(exe.c_str(), &line[0], 0, 0, FALSE, 0, 0, 0, &startup, &info_)) << line;
        if (info_.hThread != 0) CloseHandle(info_.hThread);
    }
    ~Pexor() {
        if (info_.hProcess == 0) return;
        if (running()) {
            HWND main = mainWindow();
            if (main != 0) PostMessageA(main, WM_CLOSE, 0, 0);
            if (!waitForExit()) {
                TerminateProcess(info_.hProcess, 1);
                WaitForSingleObject(info_.hProcess, INFINITE);
            }
        }
        CloseHandle(info_.hProcess);
    }
    Pexor(const Pexor&) = delete;
    Pexor& operator=(const Pexor&) = delete;

    DWORD id() const { return info_.dwProcessId; }
    bool running() const { return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }
    HWND mainWindow() const { return window("Pexor"); }
    HWND bar() const { return window("#32770"); }
    bool waitForBar() const {
        return pumpUntil([this] { return IsWindowVisible(bar()) || !running(); }) && running();
    }
    bool waitForExit() const { return pumpUntil([this] { return !running(); }); }
    DWORD exitCode() const {
        DWORD code = 0;
        GetExitCodeProcess(info_.hProcess, &code);
        return code;
    }
    std::string directory() const { return currentDirectoryOf(info_.hProcess); }

private:
    HWND window(const char* className) const {
        WindowSearch search = {id(), className, 0};
        EnumWindows(findPexorWindow, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }
    PROCESS_INFORMATION info_ = {};
};

// Notes the caption and text of each message box another process shows and
// answers it with OK, so that a box shown while that process handles a message
// sent from here does not block the sender.
class BoxWatcher {
public:
    explicit BoxWatcher(DWORD process)
        : process_(process), stop_(CreateEventA(0, TRUE, FALSE, 0)), thread_([this] { watch(); }) {}
    ~BoxWatcher() {
        SetEvent(stop_);
        thread_.join();
        CloseHandle(stop_);
    }
    std::vector<std::pair<std::string, std::string>> boxes() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return boxes_;
    }

private:
    static BOOL CALLBACK findBox(HWND window, LPARAM param) {
        BoxWatcher* self = reinterpret_cast<BoxWatcher*>(param);
        DWORD process = 0;
        char name[32];
        GetWindowThreadProcessId(window, &process);
        // The command bar is a dialog as well, but one without a caption.
        if (process == self->process_ && IsWindowVisible(window) &&
            (GetWindowLongA(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION &&
            GetClassNameA(window, name, sizeof name) && strcmp(name, "#32770") == 0) {
            self->found_ = window;
            return FALSE;
        }
        return TRUE;
    }
    static BOOL CALLBACK findText(HWND child, LPARAM param) {
        char name[32], text[512];
        std::string* out = reinterpret_cast<std::string*>(param);
        if (out->empty() && GetClassNameA(child, name, sizeof name) && lstrcmpiA(name, "Static") == 0 &&
            GetWindowTextA(child, text, sizeof text) > 0)
            *out = text;
        return TRUE;
    }
    void watch() {
        HWND last = 0;
        while (WaitForSingleObject(stop_, 10) == WAIT_TIMEOUT) {
            found_ = 0;
            EnumWindows(findBox, reinterpret_cast<LPARAM>(this));
            if (found_ == 0 || found_ == last) continue;
            char caption[256];
            std::string text;
            GetWindowTextA(found_, caption, sizeof caption);
            EnumChildWindows(found_, findText, reinterpret_cast<LPARAM>(&text));
            {
                std::lock_guard<std::mutex> lock(mutex_);
                boxes_.push_back(std::make_pair(std::string(caption), text));
            }
            last = found_;
            PostMessageA(found_, WM_COMMAND, IDOK, 0);
        }
    }
    DWORD process_;
    HANDLE stop_;
    HWND found_ = 0;
    mutable std::mutex mutex_;
    std::vector<std::pair<std::string, std::string>> boxes_;
    std::thread thread_;
};

// Wine shows each tray icon as a window of its own inside its stand-alone
// tray window; Windows draws them into a toolbar of the taskbar instead.
size_t wineTrayIconCount() {
    size_t count = 0;
    HWND tray = FindWindowA("__winex11_standalone_tray", 0);
    for (HWND icon = tray ? GetWindow(tray, GW_CHILD) : 0; icon != 0; icon = GetWindow(icon, GW_HWNDNEXT))
        if (IsWindowVisible(icon)) count++;
    return count;
}

// Waits until the process has handled everything posted to it so far and
// whatever that posted in turn: two rounds of a marker (a text limit for the
// bar's edit field) posted behind it, each waited for.
bool settle(HWND bar) {
    HWND edit = FindWindowExA(GetDlgItem(bar, IDC_COMMAND_COMBO), 0, "Edit", 0);
    for (WPARAM marker = 501; edit != 0 && marker <= 502; marker++) {
        PostMessageA(edit, EM_SETLIMITTEXT, marker, 0);
        if (!pumpUntil([&] { return (WPARAM)SendMessageA(edit, EM_GETLIMITTEXT, 0, 0) == marker; }))
            return false;
    }
    return edit != 0;
}

// A real press of Ctrl+Alt+P. Under Wine it goes through the X server with
// xdotool, a Unix program that Wine starts like a Windows one (but without a
// process handle). X hands the keys to the window with the X focus or, while
// the focus is on the root window, to the window under the pointer; Wine sees
// them only when that is one of its windows. On Windows keybd_event does it.
void pressCtrlAltP() {
    if (underWine()) {
        char line[] = "xdotool key ctrl+alt+p";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info = {};
        ASSERT_TRUE(CreateProcessA("Z:\\usr\\bin\\xdotool", line, 0, 0, FALSE, 0, 0, 0, &startup, &info));
        if (info.hProcess != 0) CloseHandle(info.hProcess);
        if (info.hThread != 0) CloseHandle(info.hThread);
        return;
    }
    const BYTE keys[] = {VK_CONTROL, VK_MENU, 'P'};
    for (BYTE key : keys) keybd_event(key, 0, 0, 0);
    for (int i = 2; i >= 0; i--) keybd_event(keys[i], 0, KEYEVENTF_KEYUP, 0);
}

// Global atoms outlive the process that added them: one left by a run that
// was killed (or by a fault) must not spoil the tests that follow.
void deleteHotkeyAtom() {
    for (int i = 0; i < 100 && GlobalFindAtomA("PexorHotkey") != 0; i++)
        GlobalDeleteAtom(GlobalFindAtomA("PexorHotkey"));
}

class Startup : public Win32Test {
protected:
    Startup() { cleanUp(); }
    ~Startup() override { cleanUp(); }
    static void cleanUp() {
        DeleteFileA(handOffFile().c_str());
        deleteHotkeyAtom();
    }
    std::string install(const PexorSettings& setup = PexorSettings()) { return installPexor(temp, setup); }
};

// ------------------------------------------------------------ start directory

TEST_F(Startup, FirstInstanceStartsInThePDirectoryUnlessBaseDirIsStored) {
    const std::string given = temp.makeDirectory("Gegeben"), stored = temp.makeDirectory("Gespeichert");
    const struct {
        std::string arguments;
        std::string baseDir;
        std::string directory;
    } cases[] = {
        {"", "", "c:\\"},
        {"-p " + given, "", given},
        {"-p " + given, stored, stored},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("|" + c.arguments + "| BaseDir=|" + c.baseDir + "|");
        Pexor pexor(install(PexorSettings{0, 0, c.baseDir}), c.arguments);
        ASSERT_TRUE(pexor.waitForBar());
        EXPECT_EQ(pexor.directory(), lowerCase(c.directory));
    }
}

// ------------------------------------------------------------ single instance

TEST_F(Startup, SecondStartWakesTheFirstAndHandsOverOnlyAnExistingPDirectory) {
    const std::string exe = install();
    Pexor first(exe, "");
    ASSERT_TRUE(first.waitForBar());
    ASSERT_EQ(first.directory(), "c:\\");
    // A file already waiting is read only when a second start announces one.
    const std::string unannounced = temp.makeDirectory("Nicht angekuendigt");
    const std::string target = temp.makeDirectory("Ziel");
    const std::string blank = temp.makeDirectory("\xC4rger mit Leerzeichen");  // Ärger
    const struct {
        std::string arguments;
        std::string directory;
        bool handedOver;
    } cases[] = {
        {"", "c:\\", false},
        {"-p " + temp.file("Fehlt"), "c:\\", false},
        {"-p " + target, target, true},
        {"/P \"" + blank + "\"", blank, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("|" + c.arguments + "|");
        harness::writeFile(handOffFile(), "cd " + unannounced);
        ShowWindow(first.bar(), SW_HIDE);
        Pexor second(exe, c.arguments);
        ASSERT_TRUE(second.waitForExit());
        EXPECT_EQ(second.exitCode(), 0u);
        ASSERT_TRUE(first.running());
        EXPECT_TRUE(IsWindowVisible(first.bar())) << "the running bar comes to the front";
        EXPECT_EQ(first.directory(), lowerCase(c.directory));
        if (c.handedOver)
            EXPECT_FALSE(fileExists(handOffFile())) << "read and deleted by the first instance";
        else
            EXPECT_EQ(harness::readFile(handOffFile()), "cd " + unannounced);
    }
}

TEST_F(Startup, SecondStartWhileTheFirstHasNoMainWindowYetShowsABoxAndEnds) {
    // The mutex of a first instance that has not created its main window yet.
    HANDLE mutex = CreateMutexA(0, TRUE, "Pexor");
    ASSERT_TRUE(mutex != 0);
    ASSERT_NE(GetLastError(), (DWORD)ERROR_ALREADY_EXISTS) << "another Pexor is running";
    Pexor second(install(), "-p " + temp.makeDirectory("Ziel"));
    BoxWatcher boxes(second.id());
    ASSERT_TRUE(second.waitForExit());
    EXPECT_EQ(second.exitCode(), 0u);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].first, "Initialisierungsfehler");
    EXPECT_EQ(boxes.boxes()[0].second, "Pexor ist bereits aktiv...");
    EXPECT_FALSE(fileExists(handOffFile())) << "nobody would read it";
    CloseHandle(mutex);
}

// Anyone who can write the temp directory can write the hand-off file: only a
// "cd" line may be run from it.
TEST_F(Startup, AnnouncedHandOffFileRunsOnlyACdLineAndIsDeleted) {
    Pexor first(install(), "");
    ASSERT_TRUE(first.waitForBar());
    BoxWatcher boxes(first.id());
    const std::string dir = temp.makeDirectory("Ziel");
    // Each line, if it were run, would change the directory or show a box.
    const struct {
        bool written;
        std::string content;
        std::string directory;
        size_t boxesSoFar;
    } cases[] = {
        {false, "", "c:\\", 0},                       // announced but missing
        {true, "z:", "c:\\", 0},                      // a drive switch
        {true, "cd " + dir + "\x01", "c:\\", 0},      // a control character
        {true, "cd " + dir + "\r\nz:", dir, 0},       // the first line only, without its line end
        {true, "cd " + temp.file("Fehlt"), dir, 1},   // a cd line that fails says so
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("|" + c.content + "|");
        if (c.written) harness::writeFile(handOffFile(), c.content);
        // Sent: it returns once the line has been run (and any box answered).
        SendMessageA(first.mainWindow(), WM_COMMAND, CMD_ACTIVATE, 1);
        EXPECT_FALSE(fileExists(handOffFile()));
        EXPECT_EQ(first.directory(), lowerCase(c.directory));
        EXPECT_EQ(boxes.boxes().size(), c.boxesSoFar);
    }
    ASSERT_FALSE(boxes.boxes().empty());
    EXPECT_EQ(boxes.boxes().back().first, "Pexor - Hinweis");
    EXPECT_TRUE(first.running());
}

// ---------------------------------------------------------------------- hotkey

TEST_F(Startup, HotkeyBringsTheHiddenBarToTheFrontAndOtherIdsOnlyBeep) {
    Pexor pexor(install(PexorSettings{'P', 0, ""}), "");
    ASSERT_TRUE(pexor.waitForBar());
    const HWND bar = pexor.bar(), main = pexor.mainWindow();
    const ATOM atom = GlobalFindAtomA("PexorHotkey");
    ASSERT_NE(atom, 0);

    // Keys go to a window of ours, as they would to any other program.
    HWND focus = CreateWindowExA(WS_EX_TOPMOST, "Edit", "", WS_POPUP | WS_VISIBLE | WS_BORDER, 300,
                                 300, 200, 100, 0, 0, 0, 0);
    ASSERT_TRUE(focus != 0);
    // Pexor holds exactly Ctrl+Alt+P.
    EXPECT_FALSE(RegisterHotKey(focus, 1, MOD_ALT | MOD_CONTROL, 'P'));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_HOTKEY_ALREADY_REGISTERED);

    ShowWindow(bar, SW_HIDE);
    PostMessageA(main, WM_HOTKEY, atom + 1, MAKELPARAM(MOD_ALT | MOD_CONTROL, 'P'));
    ASSERT_TRUE(settle(bar));
    EXPECT_FALSE(IsWindowVisible(bar)) << "a hotkey of another id only beeps";
    PostMessageA(main, WM_HOTKEY, atom, MAKELPARAM(MOD_ALT | MOD_CONTROL, 'P'));
    EXPECT_TRUE(pumpUntil([&] { return IsWindowVisible(bar) != 0; }));

    ShowWindow(bar, SW_HIDE);
    SetForegroundWindow(focus);
    // Under Wine the pointer must be over it as well: with the X focus left on
    // the root window by the hidden bar, Wine soon puts its foreground back
    // on the desktop.
    SetCursorPos(400, 350);
    ASSERT_TRUE(pumpUntil([&] {
        POINT p;
        return GetCursorPos(&p) && p.x == 400 && p.y == 350 && WindowFromPoint(p) == focus;
    }));
    pressCtrlAltP();
    EXPECT_TRUE(pumpUntil([&] { return IsWindowVisible(bar) && GetForegroundWindow() == bar; }));
    DestroyWindow(focus);
}

// ---------------------------------------------------------------- accelerators

std::vector<std::pair<WPARAM, bool>> barCommands;  // wParam, and whether the bar was visible

LRESULT CALLBACK recordingBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) barCommands.push_back(std::make_pair(wParam, IsWindowVisible(window) != 0));
    return DefWindowProcA(window, message, wParam, lParam);
}

// In this process: the main window and the message loop of the product, the
// accelerator table of pexor.exe, and a bar that records its commands.
TEST_F(Startup, AcceleratorsShowTheBarAndReachItAsCommands) {
    HMODULE program = LoadLibraryExA(builtProgram().c_str(), 0, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(program != 0) << builtProgram();
    const HINSTANCE self = GetModuleHandleA(0);
    const HWND savedBar = commandBarWindow;
    const HACCEL savedAccelerators = accelerators;
    BYTE savedKeys[256];
    GetKeyboardState(savedKeys);
    registerMainWindowClass(self);
    mainWindow = createMainWindow(self);
    WNDCLASSA barClass = {};
    barClass.lpfnWndProc = recordingBarProc;
    barClass.hInstance = self;
    barClass.lpszClassName = "PexorRecordingBar";
    RegisterClassA(&barClass);
    commandBarWindow =
        CreateWindowExA(0, barClass.lpszClassName, "Pexor", WS_POPUP, 0, 0, 50, 20, 0, 0, self, 0);
    accelerators = LoadAcceleratorsA(program, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    EXPECT_TRUE(mainWindow != 0 && commandBarWindow != 0 && accelerators != 0);

    const struct {
        UINT message;
        UINT key;
        UINT modifier;  // held down, or 0
        UINT command;   // 0: none reaches the bar
    } cases[] = {
        {WM_KEYDOWN, VK_F7, 0, CMD_SHOW_HISTORY},
        {WM_KEYDOWN, VK_F8, 0, CMD_SEARCH_HISTORY},
        {WM_SYSKEYDOWN, VK_F7, VK_MENU, CMD_CLEAR_HISTORY},
        {WM_KEYDOWN, 'C', VK_CONTROL, CMD_CANCEL},
        {WM_KEYDOWN, 'C', 0, 0},  // a plain c is typed, not a cancel
    };
    for (const auto& c : cases) {
        if (mainWindow == 0 || commandBarWindow == 0 || accelerators == 0) break;
        SCOPED_TRACE(testing::Message() << "key " << c.key << " with " << c.modifier);
        barCommands.clear();
        ShowWindow(commandBarWindow, SW_HIDE);
        BYTE keys[256] = {};
        if (c.modifier != 0) keys[c.modifier] = 0x80;
        SetKeyboardState(keys);
        LPARAM context = c.modifier == VK_MENU ? 1 << 29 : 0;
        PostMessageA(commandBarWindow, c.message, c.key, context | 1);
        PostQuitMessage(0);  // handed out only once the queue is empty
        runMessageLoop();
        if (c.command == 0) {
            EXPECT_TRUE(barCommands.empty());
            continue;
        }
        EXPECT_EQ(barCommands.size(), 1u);
        if (barCommands.empty()) continue;
        EXPECT_EQ(barCommands[0].first, MAKEWPARAM(c.command, 1)) << "the accelerator's wParam, unchanged";
        EXPECT_TRUE(barCommands[0].second) << "the bar is shown first";
    }

    SetKeyboardState(savedKeys);
    if (commandBarWindow != 0) DestroyWindow(commandBarWindow);
    if (mainWindow != 0) DestroyWindow(mainWindow);  // posts WM_QUIT: take it away again
    MSG quit;
    PeekMessageA(&quit, 0, WM_QUIT, WM_QUIT, PM_REMOVE);
    UnregisterClassA(barClass.lpszClassName, self);
    UnregisterClassA(MAIN_WINDOW_CLASS, self);
    commandBarWindow = savedBar;
    accelerators = savedAccelerators;
    FreeLibrary(program);
}

// ------------------------------------------------------------------ shut-down

TEST_F(Startup, ClosingOrEndingTheSessionLeavesNothingBehind) {
    const std::string exe = install(PexorSettings{'P', 1, "", 1});
    for (bool endSession : {false, true}) {
        SCOPED_TRACE(endSession ? "WM_QUERYENDSESSION" : "WM_CLOSE");
        const size_t icons = wineTrayIconCount();
        Pexor pexor(exe, "");
        ASSERT_TRUE(pexor.waitForBar());
        if (underWine()) {
            ASSERT_TRUE(pumpUntil([&] { return wineTrayIconCount() == icons + 1; }));
        }
        ASSERT_NE(GlobalFindAtomA("PexorHotkey"), 0);
        // The bar has stored where it was placed; nothing is written from here on.
        ASSERT_TRUE(settle(pexor.bar()));
        const std::string ini = harness::readFile(temp.file("pexor.ini"));
        ASSERT_NE(ini.find("[Geometry]"), std::string::npos);
        if (endSession) {
            DWORD_PTR answer = 0;
            ASSERT_TRUE(SendMessageTimeoutA(pexor.mainWindow(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF,
                                            SMTO_NORMAL, harness::DEFAULT_TIMEOUT_MS, &answer));
            EXPECT_EQ(answer, 1u) << "the log-off may go on";
        } else {
            PostMessageA(pexor.mainWindow(), WM_CLOSE, 0, 0);
        }
        ASSERT_TRUE(pexor.waitForExit());
        EXPECT_EQ(pexor.exitCode(), 0u);
        HANDLE mutex = CreateMutexA(0, FALSE, "Pexor");
        EXPECT_NE(GetLastError(), (DWORD)ERROR_ALREADY_EXISTS);
        CloseHandle(mutex);
        EXPECT_EQ(GlobalFindAtomA("PexorHotkey"), 0) << "global atoms outlive the process";
        // Wine takes an icon away together with its window; on Windows only
        // the delete at exit does.
        if (underWine()) {
            EXPECT_EQ(wineTrayIconCount(), icons);
        }
        EXPECT_EQ(harness::readFile(temp.file("pexor.ini")), ini) << "settings are not written at exit";
    }
}

}  // namespace
