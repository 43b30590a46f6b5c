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
#include <shellapi.h>
#include "ui/commandbar.h"
#include "ui/mainwindow.h"

using harness::fileExists;
using harness::lowerCase;
using harness::pumpUntil;

namespace {

bool underWine() { return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != 0; }

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
    PROCESS_BASIC_INFORMATION basic = {};
    PEB peb = {};
    struct {  // the head of RTL_USER_PROCESS_PARAMETERS, up to CurrentDirectory.DosPath
        ULONG sizesAndFlags[4];
        HANDLE console;
        ULONG consoleFlags;
        HANDLE standardHandles[3];
        UNICODE_STRING currentDirectory;
    } parameters = {};
    WCHAR path[MAX_PATH + 1] = L"";
    char dir[2 * MAX_PATH] = "";
    if (query(process, ProcessBasicInformation, &basic, sizeof basic, 0) != 0 ||
        !ReadProcessMemory(process, basic.PebBaseAddress, &peb, sizeof peb, 0) ||
        !ReadProcessMemory(process, peb.ProcessParameters, &parameters, sizeof parameters, 0) ||
        parameters.currentDirectory.Length >= sizeof path ||
        !ReadProcessMemory(process, parameters.currentDirectory.Buffer, path,
                           parameters.currentDirectory.Length, 0))
        return "";
    WideCharToMultiByte(CP_ACP, 0, path, -1, dir, sizeof dir, 0, 0);
    size_t n = strlen(dir);
    if (n > 3 && dir[n - 1] == '\\') dir[n - 1] = '\0';  // kept only at a drive's root
    return lowerCase(dir);
}

// A top-level window of the process with that class and title; title 0: any
// with a caption, which here is a message box (the command bar is a dialog as
// well, but one without a caption).
HWND windowOf(DWORD process, const char* className, const char* title) {
    for (HWND window = 0; (window = FindWindowExA(0, window, className, title)) != 0;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        bool captioned = (GetWindowLongA(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
        if (owner == process && (title != 0 || captioned)) return window;
    }
    return 0;
}

// "caption: text" of the message box the process shows, answered with OK;
// empty when it shows none.
std::string answerBox(DWORD process) {
    HWND box = windowOf(process, "#32770", 0);
    if (box == 0) return "";
    pumpUntil([&] { return IsWindowVisible(box); });  // it shows once its texts are set
    char caption[256] = "", text[512] = "";
    GetWindowTextA(box, caption, sizeof caption);
    // The box's icon is a static too, but one without text.
    for (HWND label = 0; text[0] == '\0' && (label = FindWindowExA(box, label, "Static", 0)) != 0;)
        GetWindowTextA(label, text, sizeof text);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    pumpUntil([&] { return !IsWindow(box); });
    return std::string(caption) + ": " + text;
}

// A name of exactly 259 characters, as long as a start directory can be, for
// the directory name below base: "." steps pad it, and its end is what a cut
// would lose.
std::string longPathTo(const std::string& base, const std::string& name) {
    std::string path = base + "\\";
    if ((259 - path.size() - name.size()) % 2 == 1) path += "x\\..\\";
    while (path.size() + name.size() < 259) path += ".\\";
    return path + name;
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
        CloseHandle(info_.hThread);
    }
    ~Pexor() {
        if (running()) PostMessageA(mainWindow(), WM_CLOSE, 0, 0);
        if (running() && !pumpUntil([this] { return !running(); })) TerminateProcess(info_.hProcess, 1);
        WaitForSingleObject(info_.hProcess, INFINITE);
        CloseHandle(info_.hProcess);
    }

    DWORD id() const { return info_.dwProcessId; }
    bool running() const { return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }
    HWND mainWindow() const { return windowOf(id(), "Pexor", "Pexor"); }
    HWND bar() const { return windowOf(id(), "#32770", "Pexor"); }
    bool waitForBar() const {
        return pumpUntil([this] { return IsWindowVisible(bar()) || !running(); }) && running();
    }
    // Waits for the end; STILL_ACTIVE when it does not come.
    DWORD exitCode() const {
        DWORD code = 0;
        pumpUntil([this] { return !running(); });
        GetExitCodeProcess(info_.hProcess, &code);
        return code;
    }
    std::string directory() const { return currentDirectoryOf(info_.hProcess); }

private:
    PROCESS_INFORMATION info_ = {};
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

class Startup : public Win32Test {
protected:
    Startup() { cleanUp(); }
    ~Startup() override { cleanUp(); }
    // Global atoms outlive the process that added them: one left by a run
    // that was killed (or by a fault) must not spoil the tests that follow.
    static void cleanUp() {
        DeleteFileA(handOffFile().c_str());
        for (int i = 0; i < 100 && GlobalFindAtomA("PexorHotkey") != 0; i++)
            GlobalDeleteAtom(GlobalFindAtomA("PexorHotkey"));
    }
    // pexor.exe copied into the temp directory with its settings file next
    // to it: no Run key, no alias file, the bar shows at once and stays, and
    // the settings given.
    std::string install(const std::string& setup = "") {
        std::string exe = temp.file("pexor.exe");
        EXPECT_TRUE(CopyFileA(harness::pexorPath().c_str(), exe.c_str(), FALSE)) << harness::pexorPath();
        harness::writeFile(temp.file("pexor.ini"),
                           "[Setup]\r\nSysStartup=0\r\nCheckAlias=0\r\nAutoHide=0\r\n" + setup);
        return exe;
    }
};

// ------------------------------------------------------------ a first instance

// It starts in the -p directory unless BaseDir is stored; closing it or
// ending the session leaves nothing behind.
TEST_F(Startup, AFirstInstanceStartsInThePDirectoryUnlessBaseDirIsStoredAndLeavesNothingBehind) {
    const std::string given = temp.makeDirectory("Gegeben"), stored = temp.makeDirectory("Gespeichert");
    const struct {
        std::string arguments, baseDir, directory;
        bool endSession;  // else closed
    } cases[] = {
        {"", "", "c:\\", false},
        {"-p " + given, "", given, true},
        {"-p " + given, stored, stored, false},
        {"-p \"" + longPathTo(temp.path(), "Gegeben") + "\"", "", given, false},  // taken whole
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("|" + c.arguments + "| BaseDir=|" + c.baseDir + "|");
        const size_t icons = wineTrayIconCount();
        const std::string baseDir = c.baseDir.empty() ? "" : "BaseDir=" + c.baseDir + "\r\n";
        Pexor pexor(install("Hotkey=80\r\nTrayIcon=1\r\n" + baseDir), c.arguments);
        ASSERT_TRUE(pexor.waitForBar());
        EXPECT_EQ(pexor.directory(), lowerCase(c.directory));
        if (underWine()) {
            ASSERT_TRUE(pumpUntil([&] { return wineTrayIconCount() == icons + 1; }));
            // The shell loses its icons when it restarts, and then announces itself.
            NOTIFYICONDATAA icon = {};
            icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
            icon.hWnd = pexor.bar();
            icon.uID = 1;
            ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &icon));
            ASSERT_TRUE(pumpUntil([&] { return wineTrayIconCount() == icons; }));
            PostMessageA(pexor.mainWindow(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
            ASSERT_TRUE(pumpUntil([&] { return wineTrayIconCount() == icons + 1; })) << "the icon is back";
        }
        ASSERT_NE(GlobalFindAtomA("PexorHotkey"), 0);
        // The bar has stored where it was placed; nothing is written from here on.
        ASSERT_TRUE(settle(pexor.bar()));
        const std::string ini = harness::readFile(temp.file("pexor.ini"));
        ASSERT_NE(ini.find("[Geometry]"), std::string::npos);
        DWORD_PTR answer = 1;
        if (c.endSession)
            ASSERT_TRUE(SendMessageTimeoutA(pexor.mainWindow(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF,
                                            SMTO_NORMAL, harness::DEFAULT_TIMEOUT_MS, &answer));
        else
            PostMessageA(pexor.mainWindow(), WM_CLOSE, 0, 0);
        EXPECT_EQ(answer, 1u) << "the log-off may go on";
        EXPECT_EQ(pexor.exitCode(), 0u);
        EXPECT_EQ(GlobalFindAtomA("PexorHotkey"), 0) << "global atoms outlive the process";
        // Wine takes an icon away together with its window; on Windows only
        // the delete at exit does.
        if (underWine()) {
            EXPECT_EQ(wineTrayIconCount(), icons);
        }
        EXPECT_EQ(harness::readFile(temp.file("pexor.ini")), ini) << "settings are not written at exit";
    }
}

// ------------------------------------------------------------ single instance

TEST_F(Startup, SecondStartWakesTheFirstAndHandsOverOnlyAnExistingPDirectory) {
    const std::string exe = install("AliasFile=" + temp.file("alias.bat") + "\r\nCheckAlias=1\r\n");
    // A macro named cd must not get hold of the hand-off: it would show a box.
    harness::writeFile(temp.file("alias.bat"), "doskey cd=" + temp.file("Fehlt.exe") + " $*\r\n");
    Pexor first(exe, "");
    ASSERT_TRUE(first.waitForBar());
    // A file already waiting is read only when a second start announces one.
    const std::string unannounced = "cd " + temp.makeDirectory("Nicht angekuendigt");
    const std::string target = temp.makeDirectory("Ziel");
    const std::string blank = temp.makeDirectory("\xC4rger mit Leerzeichen");  // Ärger
    const std::string longer = temp.makeDirectory("Weiter");
    const std::string tmp = temp.file("Kein Temp") + "\\";  // a temp folder that cannot be written
    const struct {
        std::string arguments, directory;
        std::string temp, box;  // TMP for the second start; the start of its box
        bool handedOver;
    } cases[] = {
        {"", "c:\\", "", "", false},
        {"-p " + temp.file("Fehlt"), "c:\\", "", "", false},
        {"-p " + target, target, "", "", true},
        {"/P \"" + blank + "\"", blank, "", "", true},
        {"-p " + longPathTo(temp.path(), "Weiter"), longer, "", "", true},
        {"-p " + longPathTo(temp.path(), "Weiter") + "x", longer, "", "Pexor - Hinweis: Das Startverzeichnis ist zu lang", false},
        {"-p " + target, longer, tmp, "Pexor - Hinweis: Das Startverzeichnis kann nicht an das laufende Pexor", false},
    };
    const std::string handOff = handOffFile();  // before TMP changes
    for (const auto& c : cases) {
        SCOPED_TRACE("|" + c.arguments + "|");
        harness::writeFile(handOff, unannounced);
        ShowWindow(first.bar(), SW_HIDE);
        if (!c.temp.empty()) environment.set("TMP", c.temp);
        Pexor second(exe, c.arguments);
        std::string box;
        if (!c.box.empty()) pumpUntil([&] { return !(box = answerBox(second.id())).empty() || !second.running(); });
        EXPECT_EQ(box.substr(0, c.box.size()), c.box);
        EXPECT_EQ(second.exitCode(), 0u);
        ASSERT_TRUE(first.running());
        EXPECT_TRUE(IsWindowVisible(first.bar())) << "the running bar comes to the front";
        EXPECT_EQ(first.directory(), lowerCase(c.directory));
        // A handed-over file is read and deleted by the first instance.
        EXPECT_EQ(harness::readFile(handOff), c.handedOver ? "" : unannounced);
        EXPECT_EQ(answerBox(first.id()), "");
    }
}

// A main window that does not answer: made by a thread that then only waits.
DWORD WINAPI unansweringWindow(void* done) {
    HWND window = createMainWindow(GetModuleHandleA(0));
    WaitForSingleObject(done, INFINITE);
    DestroyWindow(window);
    return 0;
}

// The first instance has not made its main window yet, or has stopped
// answering: the second start says so and ends, within a few seconds.
TEST_F(Startup, SecondStartThatCannotReachTheFirstShowsABoxAndEnds) {
    // The mutex of a first instance.
    HANDLE mutex = CreateMutexA(0, TRUE, "Pexor");
    ASSERT_NE(GetLastError(), (DWORD)ERROR_ALREADY_EXISTS) << "another Pexor is running";
    registerMainWindowClass(GetModuleHandleA(0));
    HANDLE done = CreateEventA(0, TRUE, FALSE, 0);
    const std::string exe = install(), dir = temp.makeDirectory("Ziel");
    for (bool window : {false, true}) {
        HANDLE thread = window ? CreateThread(0, 0, unansweringWindow, done, 0, 0) : 0;
        if (window) {
            ASSERT_TRUE(pumpUntil([] { return FindWindowA("Pexor", "Pexor") != 0; }));
        }
        Pexor second(exe, "-p " + dir);
        std::string box;
        EXPECT_TRUE(pumpUntil([&] { return !(box = answerBox(second.id())).empty() || !second.running(); }));
        EXPECT_EQ(box, window ? "Initialisierungsfehler: Das laufende Pexor antwortet nicht..."
                              : "Initialisierungsfehler: Pexor ist bereits aktiv...");
        EXPECT_EQ(second.exitCode(), 0u);
        EXPECT_FALSE(fileExists(handOffFile())) << "nobody would read it";
        if (window) {
            SetEvent(done);
            WaitForSingleObject(thread, INFINITE);
            CloseHandle(thread);
        }
    }
    UnregisterClassA(MAIN_WINDOW_CLASS, GetModuleHandleA(0));
    CloseHandle(done);
    CloseHandle(mutex);
}

// Anyone who can write the temp directory can write the hand-off file: only a
// "cd" line may be run from it.
TEST_F(Startup, AnnouncedHandOffFileRunsOnlyACdLineAndIsDeleted) {
    Pexor first(install(), "");
    ASSERT_TRUE(first.waitForBar());
    const std::string dir = temp.makeDirectory("Ziel");
    // Each line, if it were run, would change the directory or show a box.
    const struct {
        std::string content;  // empty: no file
        std::string directory, box;
    } cases[] = {
        {"", "c:\\", ""},                                       // announced but missing
        {"z:", "c:\\", ""},                                     // a drive switch
        {"cd " + dir + "\r\nz:", dir, ""},                      // the first line only, without its end
        {"cd " + temp.file("Fehlt"), dir, "Pexor - Hinweis"},  // a cd line that fails says so
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("|" + c.content + "|");
        if (!c.content.empty()) harness::writeFile(handOffFile(), c.content);
        PostMessageA(first.mainWindow(), WM_COMMAND, CMD_ACTIVATE, 1);
        ASSERT_TRUE(settle(first.bar()));  // the line has run, or its box is up
        const std::string box = answerBox(first.id());
        EXPECT_EQ(box.substr(0, box.find(':')), c.box);
        EXPECT_FALSE(fileExists(handOffFile()));
        EXPECT_EQ(first.directory(), lowerCase(c.directory));
    }
}

// ---------------------------------------------------------------------- hotkey

TEST_F(Startup, HotkeyBringsTheHiddenBarToTheFrontAndOtherIdsOnlyBeep) {
    Pexor pexor(install("Hotkey=80\r\n"), "");  // P
    ASSERT_TRUE(pexor.waitForBar());
    const HWND bar = pexor.bar();
    // Keys go to a window of ours, as they would to any other program.
    HWND focus = CreateWindowExA(WS_EX_TOPMOST, "Edit", "", WS_POPUP | WS_VISIBLE | WS_BORDER, 300,
                                 300, 200, 100, 0, 0, 0, 0);
    ASSERT_TRUE(focus != 0);
    // Pexor holds exactly Ctrl+Alt+P.
    EXPECT_FALSE(RegisterHotKey(focus, 1, MOD_ALT | MOD_CONTROL, 'P'));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_HOTKEY_ALREADY_REGISTERED);

    ShowWindow(bar, SW_HIDE);
    PostMessageA(pexor.mainWindow(), WM_HOTKEY, GlobalFindAtomA("PexorHotkey") + 1,
                 MAKELPARAM(MOD_ALT | MOD_CONTROL, 'P'));
    ASSERT_TRUE(settle(bar));
    EXPECT_FALSE(IsWindowVisible(bar)) << "a hotkey of another id only beeps";

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
    HMODULE program = LoadLibraryExA(harness::pexorPath().c_str(), 0, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(program != 0) << harness::pexorPath();
    const HINSTANCE self = GetModuleHandleA(0);
    const HWND savedBar = commandBarWindow;
    const HACCEL savedAccelerators = accelerators;
    registerMainWindowClass(self);
    mainWindow = createMainWindow(self);
    commandBarWindow = CreateWindowExA(0, "Static", "Pexor", WS_POPUP, 0, 0, 50, 20, 0, 0, self, 0);
    SetWindowLongPtrA(commandBarWindow, GWLP_WNDPROC, (LONG_PTR)recordingBarProc);
    accelerators = LoadAcceleratorsA(program, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    ASSERT_TRUE(mainWindow != 0 && commandBarWindow != 0 && accelerators != 0);

    const struct {
        UINT message, key;
        BYTE modifier;  // held down, or 0
        UINT command;   // 0: none reaches the bar
    } cases[] = {
        {WM_KEYDOWN, VK_F7, 0, CMD_SHOW_HISTORY},
        {WM_KEYDOWN, VK_F8, 0, CMD_SEARCH_HISTORY},
        {WM_SYSKEYDOWN, VK_F7, VK_MENU, CMD_CLEAR_HISTORY},
        {WM_KEYDOWN, 'C', VK_CONTROL, CMD_CANCEL},
        {WM_KEYDOWN, 'C', 0, 0},  // a plain c is typed, not a cancel; no key is left held down
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "key " << c.key << " with " << (int)c.modifier);
        barCommands.clear();
        ShowWindow(commandBarWindow, SW_HIDE);
        BYTE keys[256] = {};
        if (c.modifier != 0) keys[c.modifier] = 0x80;
        SetKeyboardState(keys);
        PostMessageA(commandBarWindow, c.message, c.key, (c.modifier == VK_MENU ? 1 << 29 : 0) | 1);
        PostQuitMessage(0);  // handed out only once the queue is empty
        runMessageLoop();
        // The accelerator's wParam unchanged, with the bar shown first.
        std::vector<std::pair<WPARAM, bool>> expected;
        if (c.command != 0) expected.push_back(std::make_pair(MAKEWPARAM(c.command, 1), true));
        EXPECT_EQ(barCommands, expected);
    }

    DestroyWindow(commandBarWindow);
    DestroyWindow(mainWindow);  // posts WM_QUIT: take it away again
    MSG quit;
    PeekMessageA(&quit, 0, WM_QUIT, WM_QUIT, PM_REMOVE);
    UnregisterClassA(MAIN_WINDOW_CLASS, self);
    commandBarWindow = savedBar;
    accelerators = savedAccelerators;
    FreeLibrary(program);
}

}  // namespace
