// The resident process. The first instance runs in this process: the
// product's start-up, main window and message loop with the resources of a
// copy of pexor.exe, loaded as a library (none of its code runs; its path
// names the settings file next to it), and a fake shell for the tray icon.
// Second starts are real pexor.exe processes.
#include "harness.h"

namespace {

// The fake shell checks each tray request, notes it as "add 1" or "delete 1"
// (with the icon's id) and gives a chosen answer.
std::vector<std::string> trayRequests;
BOOL shellAnswer;
BOOL WINAPI fakeShellNotifyIcon(DWORD message, PNOTIFYICONDATAA data) {
    const bool add = message == NIM_ADD;
    EXPECT_EQ(data->cbSize, (DWORD)NOTIFYICONDATAA_V1_SIZE);  // 88 bytes on 32-bit Windows
    EXPECT_TRUE(data->hWnd == commandBarWindow && data->uCallbackMessage == TRAY_CALLBACK_MESSAGE);
    EXPECT_EQ(data->uFlags, add ? (UINT)(NIF_MESSAGE | NIF_ICON | NIF_TIP) : (UINT)NIF_MESSAGE);
    EXPECT_EQ(data->hIcon != 0, add);
    EXPECT_STREQ(data->szTip, add ? "Pexor" : "");
    trayRequests.push_back((add ? "add " : message == NIM_DELETE ? "delete " : "? ") + std::to_string(data->uID));
    return shellAnswer;
}

// The pointer through which the linked-in product calls the shell.
AnyFunction& shellNotifyImport = systemFunctionsFound[SHELL_NOTIFY_ICON];

// Where a second instance leaves its start directory for the running one.
std::string handOffFile() {
    char dir[MAX_PATH];
    return std::string(dir, GetTempPathA(sizeof dir, dir)) + "pexorcd.tmp";
}

// A name of exactly 259 characters, as long as a start directory can be, for
// the directory name below base: "." steps pad it.
std::string longPathTo(const std::string& base, const std::string& name) {
    std::string path = base + "\\";
    if ((259 - path.size() - name.size()) % 2 == 1) path += "x\\..\\";
    while (path.size() + name.size() < 259) path += ".\\";
    return path + name;
}

// A second start: a real pexor.exe run to its end (killed after 30 s), which
// ends with 0, each box it shows answered with OK; its command line ends with
// wide, in Unicode; meanwhile runs as soon as it has started. "caption: text"
// of its first box.
std::string startSecond(const std::string& exe, const std::string& arguments, const std::wstring& wide = L"",
                        const std::function<void()>& meanwhile = [] {}) {
    std::string line = "\"" + exe + "\" " + arguments, box;
    std::wstring wideLine;
    for (unsigned char c : line) wideLine += (wchar_t)c;  // Windows-1252 is Unicode but for 0x80 to 0x9F
    wideLine += wide;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    DWORD exitCode = STILL_ACTIVE;
    EXPECT_TRUE(CreateProcessW(0, &wideLine[0], 0, 0, FALSE, 0, 0, 0, &startup, &info)) << line;
    harness::Boxes boxes(IDOK, info.dwProcessId);
    meanwhile();
    harness::pumpUntil([&] { return WaitForSingleObject(info.hProcess, 0) == WAIT_OBJECT_0; }, 30000);
    if (!boxes.captions.empty()) box = boxes.captions[0] + ": " + boxes.texts[0];
    GetExitCodeProcess(info.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u) << line;
    TerminateProcess(info.hProcess, 1);
    WaitForSingleObject(info.hProcess, INFINITE);
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    return box;
}

class Startup : public Win32Test {
protected:
    void SetUp() override {
        cleanUp();
        ASSERT_TRUE(CopyFileA(harness::pexorPath().c_str(), exe.c_str(), FALSE)) << harness::pexorPath();
        program = LoadLibraryA(exe.c_str());
        ASSERT_TRUE(program != 0);
        shellNotifyImport = (AnyFunction)fakeShellNotifyIcon;
        commandBarWindow = 0;
        shellAnswer = TRUE;
        configure("");
    }
    void TearDown() override {
        shellNotifyImport = realShell;
        commandBarWindow = 0;
        accelerators = 0;
        trayIconShown = 0;
        if (program != 0) FreeLibrary(program);
        cleanUp();
    }
    // Global atoms outlive the process that added them: one left by a run
    // that was killed (or by a fault) must not spoil the tests that follow.
    static void cleanUp() {
        DeleteFileA(handOffFile().c_str());
        for (int i = 0; i < 100 && GlobalFindAtomA("PexorHotkey") != 0; i++) GlobalDeleteAtom(GlobalFindAtomA("PexorHotkey"));
    }
    // The settings file: the settings given (the first of a key counts), then
    // no Run key, no alias file, the bar shows at once and stays, Ctrl+Alt+P
    // and the tray icon.
    void configure(const std::string& setup) {
        harness::writeFile(temp.file("pexor.ini"), "[Setup]\r\n" + setup + "SysStartup=0\r\nCheckAlias=0\r\n"
                                                   "AutoHide=0\r\nHotkey=80\r\nTrayIcon=1\r\n");
    }
    // Runs the first instance until script, run once its bar shows, has
    // closed it (or else it is closed afterwards).
    void runFirst(const std::string& arguments, const std::function<void(HWND)>& script) {
        trayRequests.clear();
        harness::runModalDialog([&] { return (INT_PTR)runPexor(program, arguments.c_str()); },
                                [] { return IsWindowVisible(commandBarWindow) ? commandBarWindow : (HWND)0; },
                                [&](HWND bar) {
                                    script(bar);
                                    if (IsWindow(mainWindow)) PostMessageA(mainWindow, WM_CLOSE, 0, 0);
                                });
    }

    const std::string exe = temp.file("pexor.exe");
    HMODULE program = 0;
    AnyFunction realShell = shellNotifyImport;
};

// ------------------------------------------------------------ a first instance

// It starts in the -p directory unless BaseDir is stored and holds exactly
// Ctrl+Alt+P. The hotkey shows the hidden bar but runs no hand-off file
// (one left by a start that did not get through); another id only beeps.
// Closing it or ending the session leaves nothing behind and keeps the
// history and the settings as they were, also with the properties open.
// Without a tray icon a restarted shell gets none either.
TEST_F(Startup, AFirstInstanceStartsInThePDirectoryUnlessBaseDirIsStoredAndLeavesNothingBehind) {
    const std::string given = temp.makeDirectory("Gegeben"), stored = temp.makeDirectory("Gespeichert");
    const std::string leftOver = "cd " + temp.makeDirectory("Liegengeblieben");
    const struct {
        std::string arguments, baseDir, directory;
        BOOL shellAnswer;
        bool endSession, inProperties;  // else closed
    } cases[] = {
        {"", "", "c:\\", TRUE, false, false},
        // A shell that refuses the icon (no taskbar yet) gets the delete all the same.
        {"-p " + given, "", given, FALSE, true, false},
        {"-p " + given, stored, stored, TRUE, false, false},  // and no tray icon
        {"", "", "c:\\", TRUE, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("|" + c.arguments + "| BaseDir=|" + c.baseDir + "|");
        configure(c.baseDir.empty() ? "" : "BaseDir=" + c.baseDir + "\r\nTrayIcon=0\r\n");
        shellAnswer = c.shellAnswer;
        const std::string lines = "eins\r\nzwei\r\n";
        harness::writeFile(temp.file("pexor.his"), lines);
        std::string ini;
        runFirst(c.arguments, [&](HWND bar) {
            EXPECT_EQ(harness::currentDirectory(), harness::lowerCase(c.directory));
            EXPECT_FALSE(RegisterHotKey(0, 1, MOD_ALT | MOD_CONTROL, 'P'));
            EXPECT_EQ(GetLastError(), (DWORD)ERROR_HOTKEY_ALREADY_REGISTERED);
            UnregisterHotKey(0, 1);
            harness::writeFile(handOffFile(), leftOver);
            for (WPARAM id : {(WPARAM)hotkeyAtom + 1, (WPARAM)hotkeyAtom}) {
                ShowWindow(bar, SW_HIDE);
                PostMessageA(mainWindow, WM_HOTKEY, id, MAKELPARAM(MOD_ALT | MOD_CONTROL, 'P'));
                harness::pumpUntil([] { return true; });  // handled, and what that posted
                EXPECT_EQ(IsWindowVisible(bar) != 0, id == hotkeyAtom) << "hotkey id " << id;
            }
            EXPECT_EQ(harness::currentDirectory(), harness::lowerCase(c.directory));
            EXPECT_EQ(harness::readFile(handOffFile()), leftOver);
            // The shell loses its icons when it restarts, and then announces itself.
            PostMessageA(mainWindow, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
            harness::pumpUntil([] { return true; });
            ini = harness::readFile(temp.file("pexor.ini"));
            DWORD_PTR answer = 1;
            auto endSession = [&](HWND) { answer = SendMessageA(mainWindow, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF); };
            if (c.inProperties)
                harness::runModalDialog([&] { return SendMessageA(bar, WM_COMMAND, CMD_PROPERTIES, 0); },
                                        [] { return propertiesDialogWindow; }, endSession);
            else if (c.endSession)
                endSession(0);
            EXPECT_EQ(answer, 1u) << "the log-off may go on";
        });
        EXPECT_EQ(harness::readFile(temp.file("pexor.his")), lines);
        EXPECT_EQ(trayRequests, c.baseDir.empty() ? std::vector<std::string>({"add 1", "add 1", "delete 1"})
                                                  : std::vector<std::string>());
        EXPECT_EQ(GlobalFindAtomA("PexorHotkey"), 0) << "global atoms outlive the process";
        EXPECT_NE(ini.find("[Geometry]"), std::string::npos) << "the bar stored where it was placed";
        EXPECT_EQ(harness::readFile(temp.file("pexor.ini")), ini) << "settings are not written at exit";
    }
}

// ------------------------------------------------------------ second starts

// A second start brings the hidden bar back and hands over only an existing
// -p directory; what it cannot hand over it tells itself: also a name the
// code page cannot hold, which best fit would turn into another folder's. A
// hand-off file that another second start is still writing, or that waits to
// be read, is waited for; one that stays is taken over.
TEST_F(Startup, SecondStartWakesTheFirstAndHandsOverOnlyAnExistingPDirectory) {
    const std::string unannounced = "cd " + temp.makeDirectory("Nicht angekuendigt");
    const std::string target = temp.makeDirectory("Ziel");  // Z: the last letter to fold
    const std::string blank = temp.makeDirectory("\xC4rger mit Leerzeichen");  // Ärger
    const std::string other = temp.makeDirectory("Andere");
    temp.makeDirectory("sub");
    const struct {
        std::string arguments, directory;
        std::string temp, box;  // TMP for the second start; the start of its box
        bool handedOver;
        std::wstring wide = L"";  // the command line's Unicode end
        bool busy = false;        // the hand-off file is being written for 0.3 s
    } cases[] = {
        {"", "c:\\", "", "", false}, {"-p " + temp.file("Fehlt"), "c:\\", "", "", false},
        {"-p " + target, target, "", "", true}, {"-p " + other, other, "", "", true, L"", true},
        {"/P \"" + blank + "\"", blank, "", "", true},
        {"-p " + temp.path() + "\\", blank, "", "Pexor - Hinweis: Der Name des Startverzeichnisses enth\xE4lt Zeichen",
         false, L"\uFF53\uFF55\uFF42"},  // full-width "sub"
        {"-p " + longPathTo(temp.path(), "Ziel") + "x", blank, "", "Pexor - Hinweis: Das Startverzeichnis ist zu lang", false},
        // A temp folder that cannot be written; this process reads TMP too, so it comes last.
        {"-p " + target, blank, temp.file("Kein Temp") + "\\",
         "Pexor - Hinweis: Das Startverzeichnis kann nicht an das laufende Pexor", false},
    };
    const std::string handOff = handOffFile();
    runFirst("", [&](HWND bar) {
        for (const auto& c : cases) {
            SCOPED_TRACE("|" + c.arguments + "|");
            harness::writeFile(handOff, unannounced);
            HANDLE held = c.busy ? CreateFileA(handOff.c_str(), GENERIC_WRITE, 0, 0, CREATE_ALWAYS, 0, 0) : 0;
            ShowWindow(bar, SW_HIDE);
            if (!c.temp.empty()) undo.setEnvironment("TMP", c.temp.c_str());
            const std::string box = startSecond(exe, c.arguments, c.wide, [&] {
                if (!c.busy) return;
                harness::pumpUntil([] { return false; }, 300);
                CloseHandle(held);
                DeleteFileA(handOff.c_str());  // read, as the running instance does
            });
            EXPECT_EQ(c.box.empty() ? box : box.substr(0, c.box.size()), c.box);
            EXPECT_TRUE(IsWindowVisible(bar)) << "the running bar comes to the front";
            EXPECT_EQ(harness::currentDirectory(), harness::lowerCase(c.directory));
            EXPECT_EQ(harness::readFile(handOff), c.handedOver ? "" : unannounced);
        }
    });
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
    HANDLE mutex = CreateMutexA(0, TRUE, "Pexor");  // the mutex of a first instance
    ASSERT_NE(GetLastError(), (DWORD)ERROR_ALREADY_EXISTS) << "another Pexor is running";
    registerMainWindowClass(GetModuleHandleA(0));
    HANDLE done = CreateEventA(0, TRUE, FALSE, 0);
    const std::string dir = temp.makeDirectory("Ziel");
    for (bool window : {false, true}) {
        HANDLE thread = window ? CreateThread(0, 0, unansweringWindow, done, 0, 0) : 0;
        if (window) {
            ASSERT_TRUE(harness::pumpUntil([] { return FindWindowA("Pexor", "Pexor") != 0; }));
        }
        EXPECT_EQ(startSecond(exe, "-p " + dir), std::string("Initialisierungsfehler: ") +
                      (window ? "Das laufende Pexor antwortet nicht..." : "Pexor ist bereits aktiv..."));
        EXPECT_FALSE(harness::fileExists(handOffFile())) << "nobody would read it";
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

}  // namespace
