// The command bar on a real dialog from pexor.exe's template, driven with
// messages as the dialog manager, the combo box and the shell send them:
// Enter and Escape through IsDialogMessageA, typing as WM_CHAR, the
// accelerator commands, dropped files, tooltip requests, timer and mouse.
// recorder.exe stands in for every program a line starts and for the
// command interpreter program.
#include "harness.h"

#include <commctrl.h>
#include <shlobj.h>
#include <string.h>

#include <string>
#include <vector>

#include "../../res/resource.h"
#include "interp/textutil.h"
#include "state/history.h"
#include "state/settings_win32.h"
#include "tooltips/tooltips.h"
#include "ui/commandbar.h"
#include "ui/mainwindow.h"

namespace {

const char RUN_KEY[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The template lives in pexor.exe, two folders above the test program.
std::string programPath() {
    char self[MAX_PATH];
    DWORD n = GetModuleFileNameA(0, self, sizeof self);
    std::string path(self, n);
    for (int up = 0; up < 3; up++) path = path.substr(0, path.find_last_of('\\'));
    return path + "\\pexor.exe";
}

int windowBorder() {
    int border = 0;
    SystemParametersInfoA(SPI_GETBORDER, 0, &border, 0);
    return border;
}

// Counts the auto-hide timer's ticks as the message loop takes them.
int autoHideTicks;
LRESULT CALLBACK countAutoHideTicks(int code, WPARAM removal, LPARAM lParam) {
    const MSG* message = (const MSG*)lParam;
    if (code >= 0 && removal == PM_REMOVE && message->message == WM_TIMER &&
        message->hwnd == commandBarWindow && message->wParam == 1)
        autoHideTicks++;
    return CallNextHookEx(0, code, removal, lParam);
}

class CommandBar : public Win32Test {
protected:
    void SetUp() override {
        program = LoadLibraryExA(programPath().c_str(), 0, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_TRUE(program != 0) << programPath() << " (build pexor.exe first)";
        savedInstance = instanceHandle;
        instanceHandle = program;
        ASSERT_EQ(initTooltips(GetModuleHandleA(0)), 1);
        environment.set("PEXOR_RECORD", record);
        copyText(iniPath, sizeof iniPath, temp.file("pexor.ini").c_str());
        copyText(historyPath, sizeof historyPath, temp.file("pexor.his").c_str());
        setup("Shell", recorder);
        setup("SysStartup", "0");  // the Run key has a test of its own
    }
    void TearDown() override {
        destroyBar();
        shutdownTooltips();
        instanceHandle = savedInstance;
        if (program != 0) FreeLibrary(program);
    }

    void setup(const char* key, const std::string& value) {
        WritePrivateProfileStringA("Setup", key, value.c_str(), iniPath);
    }
    void geometry(const char* key, const std::string& value) {
        WritePrivateProfileStringA("Geometry", key, value.c_str(), iniPath);
    }
    std::string storedGeometry(const char* key) {
        char text[64];
        GetPrivateProfileStringA("Geometry", key, "absent", text, sizeof text, iniPath);
        return text;
    }
    std::string history() { return harness::readFile(historyPath); }

    // Reads the settings file as start-up does and creates the bar from it.
    void createBar() {
        copyText(settings.BaseDir, sizeof settings.BaseDir, temp.path().c_str());
        readSettings();
        createCommandBar(0);
        bar = commandBarWindow;
        ASSERT_TRUE(bar != 0);
        box = GetDlgItem(bar, IDC_COMMAND_COMBO);
        edit = FindWindowExA(box, 0, "Edit", 0);
        ASSERT_TRUE(edit != 0);
    }

    // The bar is created once per program; tests that make several put the
    // process-wide records back in between.
    void destroyBar() {
        if (commandBarWindow != 0) {
            destroyDialogTooltip(commandBarWindow);
            DestroyWindow(commandBarWindow);
        }
        commandBarWindow = 0;
        if (barMenu != 0) DestroyMenu(barMenu);
        barMenu = 0;
        propertiesDialogOpen = 0;
    }

    void type(const std::string& text) {
        for (char c : text) SendMessageA(edit, WM_CHAR, (unsigned char)c, 1);
    }
    // A key as the message loop hands it to the dialog manager.
    void press(WPARAM key) {
        MSG message = {edit, WM_KEYDOWN, key, 1, GetTickCount(), {0, 0}};
        EXPECT_TRUE(IsDialogMessageA(bar, &message));
    }
    void command(WPARAM id) { SendMessageA(bar, WM_COMMAND, id, 0); }
    std::string field() {
        char text[LINE_CAPACITY + 10];
        GetWindowTextA(edit, text, sizeof text);
        return text;
    }
    std::vector<std::string> entries() {
        std::vector<std::string> list;
        int count = (int)SendMessageA(box, CB_GETCOUNT, 0, 0);
        for (int i = 0; i < count; i++) {
            char text[HISTORY_READ_CAPACITY];
            SendMessageA(box, CB_GETLBTEXT, i, (LPARAM)text);
            list.push_back(text);
        }
        return list;
    }
    RECT windowRect() {
        RECT rect;
        GetWindowRect(bar, &rect);
        return rect;
    }
    // A mouse message at a screen position, in client coordinates as the
    // system maps them when the message is taken from the queue.
    void mouse(UINT message, int x, int y) {
        POINT point = {x, y};
        ScreenToClient(bar, &point);
        SendMessageA(bar, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(point.x, point.y));
    }
    void moveBar(int left, int top, int width) {
        MoveWindow(bar, left, top, width, 2 * windowBorder() + 25, TRUE);
    }

    const std::string record = temp.file("record.txt");
    const std::string recorder = harness::recorderPath();
    HMODULE program = 0;
    HINSTANCE savedInstance = 0;
    HWND bar = 0;
    HWND box = 0;
    HWND edit = 0;
};

// ------------------------------------------------------- running a line

TEST_F(CommandBar, EnterRunsTheTrimmedLineRecordsItAndEmptiesTheField) {
    const std::string R = recorder;
    const std::string before = "alt\r\n";
    const struct {
        std::string typed;
        std::string caption;  // of the box it shows, "" for none
        std::string boxText;
        std::string fieldAfter;
        std::string historyAfter;
    } cases[] = {
        {"  " + R + " eins  ", "", "", "", R + " eins\r\n" + before},
        // Blanks only: nothing runs, the blanks stay.
        {"   ", "", "", "   ", before},
        // A failed line stays in the field for another try; nothing recorded.
        {" pexor-missing.exe", "Pexor - Fehler", "Die angegebene Datei \xEDst nicht vorhanden.",
         " pexor-missing.exe", before},
    };
    size_t runs = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE("|" + c.typed + "|");
        harness::writeFile(historyPath, before);
        createBar();
        harness::MessageBoxCatcher boxes;
        type(c.typed);
        press(VK_RETURN);
        ASSERT_EQ(boxes.boxes().size(), c.caption.empty() ? 0u : 1u);
        if (!c.caption.empty()) {
            EXPECT_EQ(boxes.boxes()[0].caption, c.caption);
            EXPECT_EQ(boxes.boxes()[0].text, c.boxText);
        }
        EXPECT_EQ(field(), c.fieldAfter);
        EXPECT_EQ(history(), c.historyAfter);
        if (c.typed.find(R) != std::string::npos) {
            ASSERT_TRUE(harness::waitForRecords(record, ++runs));
            EXPECT_EQ(harness::readRecords(record)[runs - 1].commandLine, "\"" + R + "\" eins");
        }
        destroyBar();
    }
}

// Shell= is the recorder, so built-in commands such as dir run through it.
TEST_F(CommandBar, HistoryKeepsEachLineThatRanNewestFirstUpToMaxHistory) {
    const struct {
        std::string maxHistory;
        std::string saveHistory;
        std::string fileBefore;
        std::vector<std::string> lines;
        std::string fileAfter;  // "-" for no file
        std::vector<std::string> list;
    } cases[] = {
        {"25", "1", "", {"dir", "dir"}, "dir\r\n", {"", "dir"}},
        {"25", "1", "", {"dir", "cls", "dir"}, "dir\r\ncls\r\ndir\r\n", {"", "dir", "cls", "dir"}},
        // A line loaded from the file is recorded again: nothing ran yet.
        {"25", "1", "dir\r\n", {"dir"}, "dir\r\ndir\r\n", {"", "dir", "dir"}},
        // Only the newest MaxHistory lines are loaded and kept.
        {"2", "1", "a\r\nb\r\nc\r\n", {"dir"}, "dir\r\na\r\n", {"", "dir", "a"}},
        {"1", "1", "", {"dir", "cls", "ver"}, "ver\r\n", {"", "ver"}},
        // SaveHistory 0: neither loaded nor written.
        {"25", "0", "a\r\n", {"dir", "cls"}, "a\r\n", {"", "cls", "dir"}},
        {"25", "0", "", {"dir"}, "-", {"", "dir"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("MaxHistory " + c.maxHistory + ", SaveHistory " + c.saveHistory);
        DeleteFileA(historyPath);
        if (!c.fileBefore.empty()) harness::writeFile(historyPath, c.fileBefore);
        setup("MaxHistory", c.maxHistory);
        setup("SaveHistory", c.saveHistory);
        createBar();
        for (const auto& line : c.lines) {
            type(line);
            press(VK_RETURN);
            EXPECT_EQ(field(), "");
        }
        EXPECT_EQ(harness::fileExists(historyPath) ? history() : "-", c.fileAfter);
        EXPECT_EQ(entries(), c.list);
        destroyBar();
    }
}

TEST_F(CommandBar, ClearingAsksAndOnYesEmptiesListAndFileWhateverSaveHistorySays) {
    const std::string before = "eins\r\nzwei\r\n";
    const struct {
        int answer;
        std::string saveHistory;
        std::string fileAfter;
        size_t entriesAfter;
    } cases[] = {
        {IDYES, "1", "", 1},
        {IDYES, "0", "", 1},
        {IDNO, "1", before, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("answer " + std::to_string(c.answer) + ", SaveHistory " + c.saveHistory);
        harness::writeFile(historyPath, before);
        setup("SaveHistory", c.saveHistory);
        createBar();
        type("zw");
        harness::MessageBoxCatcher boxes(c.answer);
        command(CMD_CLEAR_HISTORY);
        ASSERT_EQ(boxes.boxes().size(), 1u);
        EXPECT_EQ(boxes.boxes()[0].caption, "Pexor - Frage");
        EXPECT_EQ(boxes.boxes()[0].text, "M\xF6" "chten Sie wirklich die Historie l\xF6schen?");
        EXPECT_TRUE(boxes.boxes()[0].offeredAnswer) << "a Yes/No question";
        EXPECT_EQ(history(), c.fileAfter);
        EXPECT_EQ(entries().size(), c.entriesAfter);
        EXPECT_EQ(field(), c.answer == IDYES ? "" : "zw");
        destroyBar();
    }
}

// ------------------------------------------------------- the list, F7, F8

TEST_F(CommandBar, F8WalksThroughTheLinesWithTheTypedPrefixNewestFirst) {
    harness::writeFile(historyPath, "notepad\r\nxcopy a b\r\nNet view\r\n");
    createBar();
    const struct {
        const char* type;  // typed first, after selecting the whole field
        WPARAM key;        // then this command
        const char* field;
    } steps[] = {
        {"n", CMD_SEARCH_HISTORY, "notepad"},
        {"", CMD_SEARCH_HISTORY, "Net view"},
        {"", CMD_SEARCH_HISTORY, "notepad"},
        // Typing starts a new search with the new text.
        {"X", CMD_SEARCH_HISTORY, "xcopy a b"},
        {"", CMD_SEARCH_HISTORY, "xcopy a b"},
        // Escape empties the field; F8 on an empty field finds nothing.
        {"", CMD_CANCEL, ""},
        {"", CMD_SEARCH_HISTORY, ""},
        {"q", CMD_SEARCH_HISTORY, "q"},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(std::string("typed |") + s.type + "|, then " + std::to_string(s.key));
        if (*s.type != '\0') {
            SendMessageA(edit, EM_SETSEL, 0, -1);
            type(s.type);
        }
        if (s.key == CMD_CANCEL)
            press(VK_ESCAPE);
        else
            command(s.key);
        EXPECT_EQ(field(), s.field);
    }
}

TEST_F(CommandBar, F7OpensTheHistoryList) {
    createBar();
    EXPECT_FALSE(SendMessageA(box, CB_GETDROPPEDSTATE, 0, 0));
    command(CMD_SHOW_HISTORY);
    EXPECT_TRUE(SendMessageA(box, CB_GETDROPPEDSTATE, 0, 0));
    SendMessageA(box, CB_SHOWDROPDOWN, FALSE, 0);
}

// "cd .." shows at once how often a picked line ran.
TEST_F(CommandBar, WithDirectExecuteAPickedLineRunsOnceButAFoundOneDoesNot) {
    std::string start = temp.makeDirectory("a") + "\\b";
    ASSERT_TRUE(CreateDirectoryA(start.c_str(), 0));
    harness::writeFile(historyPath, "cd ..\r\n");
    setup("BaseDir", start);
    setup("DirectExecute", "1");
    createBar();
    auto drain = [] { harness::pumpUntil([] { return true; }); };
    ASSERT_EQ(harness::lowerCase(harness::currentDirectory()), harness::lowerCase(start));

    type("cd");
    command(CMD_SEARCH_HISTORY);
    drain();
    EXPECT_EQ(field(), "cd ..");
    EXPECT_EQ(harness::lowerCase(harness::currentDirectory()), harness::lowerCase(start));

    press(VK_ESCAPE);
    SendMessageA(edit, WM_KEYDOWN, VK_DOWN, 1);  // picks entry 1 in the closed list
    drain();
    EXPECT_EQ(harness::lowerCase(harness::currentDirectory()), harness::lowerCase(temp.file("a")));
    EXPECT_EQ(field(), "");
}

// ------------------------------------------------------- dropped files

HGLOBAL dropBlock(const std::vector<std::string>& files) {
    std::string names;
    for (const auto& f : files) names += f + '\0';
    names += '\0';
    HGLOBAL block = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size());
    DROPFILES* drop = (DROPFILES*)GlobalLock(block);
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = FALSE;
    memcpy((char*)drop + sizeof(DROPFILES), names.data(), names.size());
    GlobalUnlock(block);
    return block;
}

TEST_F(CommandBar, DroppedFilesRunOnlyTheFirstCutTo258Characters) {
    const std::string longPath = "c:\\" + std::string(297, 'a');
    const struct {
        bool onCombo;  // dropped on the combo box, else on the grip (the bar)
        std::vector<std::string> files;
        std::string historyAfter;
        std::string fieldAfter;
        size_t errorBoxes;
    } cases[] = {
        {true, {recorder, temp.file("zwei.txt")}, recorder + "\r\n", "", 0},
        {false, {longPath}, "", longPath.substr(0, 258), 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.files[0].substr(0, 20));
        DeleteFileA(historyPath);
        createBar();
        harness::MessageBoxCatcher boxes;
        PostMessageA(c.onCombo ? box : bar, WM_DROPFILES, (WPARAM)dropBlock(c.files), 0);
        harness::pumpUntil([&] { return field() == c.fieldAfter && boxes.boxes().size() == c.errorBoxes; });
        EXPECT_EQ(field(), c.fieldAfter);
        EXPECT_EQ(boxes.boxes().size(), c.errorBoxes);
        EXPECT_EQ(history(), c.historyAfter);
        destroyBar();
    }
    ASSERT_TRUE(harness::waitForRecords(record, 1));
    EXPECT_EQ(harness::readRecords(record)[0].commandLine, "\"" + recorder + "\"");
}

// ------------------------------------------------------- place and size

TEST_F(CommandBar, PlacementComesFromGeometryKeptInsideAtTheRightAndBottom) {
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    const int height = 2 * windowBorder() + 25;
    const struct {
        const char* left;  // stored texts, 0 for no key
        const char* top;
        const char* width;
        int x, y, w;
    } cases[] = {
        {0, 0, 0, 10, 10, 200},
        {"-20", 0, 0, sw - 200, 10, 200},  // reads as 65516: flush right
        {"65566", "40", "300", 30, 40, 300},
        // The left edge goes negative; the width itself is capped at the
        // largest tracking width by the default WM_WINDOWPOSCHANGING handling
        // of a sizable window (Windows does the same).
        {0, 0, "2000", sw - 2000, 10, GetSystemMetrics(SM_CXMAXTRACK)},
        {"100", "760", 0, 100, sh - height, 200},
    };
    setup("Save", "0");
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("Left ") + (c.left ? c.left : "-") + ", Top " + (c.top ? c.top : "-") +
                     ", Width " + (c.width ? c.width : "-"));
        WritePrivateProfileStringA("Geometry", 0, 0, iniPath);
        if (c.left) geometry("Left", c.left);
        if (c.top) geometry("Top", c.top);
        if (c.width) geometry("Width", c.width);
        createBar();
        RECT r = windowRect();
        EXPECT_EQ(r.left, c.x);
        EXPECT_EQ(r.top, c.y);
        EXPECT_EQ(r.right - r.left, c.w);
        EXPECT_EQ(r.bottom - r.top, height);
        destroyBar();
    }
}

TEST_F(CommandBar, ADisplayChangeBringsBackOnlyWhatSticksOutRightOrBelow) {
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    const int height = 2 * windowBorder() + 25;
    setup("Save", "0");
    createBar();
    const struct {
        int x, y;
        int expectedX, expectedY;
    } cases[] = {
        {sw - 100, 50, sw - 300, 50},
        {50, sh - 10, 50, sh - height},
        {-50, -5, -50, -5},
    };
    for (const auto& c : cases) {
        moveBar(c.x, c.y, 300);
        SendMessageA(bar, WM_DISPLAYCHANGE, 24, MAKELPARAM(sw, sh));
        RECT r = windowRect();
        EXPECT_EQ(r.left, c.expectedX) << c.x << "," << c.y;
        EXPECT_EQ(r.top, c.expectedY) << c.x << "," << c.y;
        EXPECT_EQ(r.right - r.left, 300);
    }
}

// Resizing writes Left, Top and Width; dragging by the grip writes Left and
// Top; with Save 0 nothing is written, not even at creation.
TEST_F(CommandBar, SizeAndDragAreStoredOnlyWithSave1) {
    enum Action { NONE, RESIZE, DRAG };
    const struct {
        const char* save;
        Action action;
        RECT window;  // left, top, right, bottom afterwards
        const char* left;
        const char* top;
        const char* width;
    } cases[] = {
        {"1", NONE, {10, 10, 210, 0}, "10", "10", "200"},  // the placement itself resized
        {"1", RESIZE, {50, 60, 450, 0}, "50", "60", "400"},
        {"1", DRAG, {40, 50, 240, 0}, "40", "50", "200"},
        {"0", RESIZE, {50, 60, 450, 0}, "absent", "absent", "absent"},
        {"0", DRAG, {40, 50, 240, 0}, "absent", "absent", "absent"},
    };
    const int border = windowBorder();
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("Save ") + c.save + ", action " + std::to_string(c.action));
        DeleteFileA(iniPath);
        setup("Shell", recorder);
        setup("SysStartup", "0");
        setup("Save", c.save);
        createBar();
        if (c.action == RESIZE) moveBar(50, 60, 400);
        if (c.action == DRAG) {
            // The grip passes the mouse on to the bar. Each message carries
            // its own position; where the pointer is by now does not count.
            SetCursorPos(500, 700);
            mouse(WM_LBUTTONDOWN, 13, 15);
            EXPECT_EQ(GetCapture(), bar);
            mouse(WM_MOUSEMOVE, 5, 6);  // left of and above the client area
            EXPECT_EQ(windowRect().left, 2);
            EXPECT_EQ(windowRect().top, 1);
            mouse(WM_MOUSEMOVE, 43, 55);
            mouse(WM_LBUTTONUP, 43, 55);
            EXPECT_EQ(GetCapture(), (HWND)0);
        }
        RECT r = windowRect();
        EXPECT_EQ(r.left, c.window.left);
        EXPECT_EQ(r.top, c.window.top);
        EXPECT_EQ(r.right, c.window.right);
        EXPECT_EQ(storedGeometry("Left"), c.left);
        EXPECT_EQ(storedGeometry("Top"), c.top);
        EXPECT_EQ(storedGeometry("Width"), c.width);
        // The combo box fills the bar right of the grip.
        RECT combo;
        GetWindowRect(box, &combo);
        MapWindowPoints(0, bar, (POINT*)&combo, 2);
        EXPECT_EQ(combo.left, 10);
        EXPECT_EQ(combo.right - combo.left, (r.right - r.left) - 2 * border - 15);
        destroyBar();
    }
}

TEST_F(CommandBar, TrackingLimitsPinTheHeightAndKeepAMinimumWidth) {
    createBar();
    const int border = windowBorder();
    MINMAXINFO info = {};
    info.ptMinTrackSize = {1, 1};
    info.ptMaxTrackSize = {4000, 3000};
    SendMessageA(bar, WM_GETMINMAXINFO, 0, (LPARAM)&info);
    EXPECT_EQ(info.ptMinTrackSize.x, 2 * border + 50);
    EXPECT_EQ(info.ptMinTrackSize.y, 2 * border + 25);
    EXPECT_EQ(info.ptMaxTrackSize.y, 2 * border + 25);
    EXPECT_EQ(info.ptMaxTrackSize.x, 4000) << "the width stays free";
}

// ------------------------------------------------------- auto-hide

TEST_F(CommandBar, LosingActivationHidesTheBarAfterTheDelayUnlessThePropertiesAreOpen) {
    setup("AutoHide", "1");
    setup("AutoHideDelay", "1");
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, countAutoHideTicks, 0, GetCurrentThreadId());
    for (int guard : {0, 1}) {
        SCOPED_TRACE("propertiesDialogOpen " + std::to_string(guard));
        createBar();
        EXPECT_FALSE(IsWindowVisible(bar)) << "created hidden";
        ShowWindow(bar, SW_SHOWNORMAL);
        propertiesDialogOpen = guard;
        autoHideTicks = 0;
        SendMessageA(bar, WM_ACTIVATE, WA_INACTIVE, 0);
        // Hidden at the first tick, or still there after two.
        EXPECT_TRUE(harness::pumpUntil([&] { return !IsWindowVisible(bar) || autoHideTicks >= 2; }));
        EXPECT_EQ(IsWindowVisible(bar) != 0, guard == 1);
        EXPECT_EQ(KillTimer(bar, 1) != 0, guard == 1) << "the timer goes on only while guarded";
        destroyBar();
    }
    UnhookWindowsHookEx(hook);
}

TEST_F(CommandBar, ActivationStopsTheTimerAndWithoutAutoHideNoneStarts) {
    for (const char* autoHide : {"1", "0"}) {
        SCOPED_TRACE(std::string("AutoHide ") + autoHide);
        setup("AutoHide", autoHide);
        setup("AutoHideDelay", "60");
        createBar();
        EXPECT_EQ(IsWindowVisible(bar) != 0, *autoHide == '0');
        SendMessageA(bar, WM_ACTIVATE, WA_INACTIVE, 0);
        SendMessageA(bar, WM_ACTIVATE, WA_ACTIVE, 0);
        EXPECT_FALSE(KillTimer(bar, 1)) << "no timer after activation";
        SendMessageA(bar, WM_ACTIVATE, WA_INACTIVE, 0);
        EXPECT_EQ(KillTimer(bar, 1) != 0, *autoHide == '1');
        destroyBar();
    }
}

// ------------------------------------------------------- start-up entry

TEST_F(CommandBar, SysStartup1PutsTheProgramPathIntoTheRunKey) {
    char self[MAX_PATH];
    GetModuleFileNameA(0, self, sizeof self);
    for (const char* sysStartup : {"0", "1"}) {
        SCOPED_TRACE(std::string("SysStartup ") + sysStartup);
        harness::RegistryOverride run;
        ASSERT_TRUE(run.setString(HKEY_CURRENT_USER, RUN_KEY, "Pexor", "vorher"));
        setup("SysStartup", sysStartup);
        createBar();
        char value[MAX_PATH + 10] = "";
        DWORD type = 0, size = sizeof value;
        HKEY key;
        ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, RUN_KEY, 0, KEY_READ, &key), ERROR_SUCCESS);
        EXPECT_EQ(RegQueryValueExA(key, "Pexor", 0, &type, (BYTE*)value, &size), ERROR_SUCCESS);
        RegCloseKey(key);
        EXPECT_EQ(type, (DWORD)REG_SZ);
        EXPECT_STREQ(value, *sysStartup == '1' ? self : "vorher");
        destroyBar();
    }
}

// ------------------------------------------------------- tooltips

TEST_F(CommandBar, TooltipsShowTheCurrentDirectoryInLowerCaseAndVerschiebenOnTheGrip) {
    createBar();
    std::string dir = temp.makeDirectory("\xC4rger Ordner");  // Ärger
    ASSERT_TRUE(SetCurrentDirectoryA(dir.c_str()));
    HWND tooltip = findDialogTooltip(bar);
    ASSERT_TRUE(tooltip != 0);
    // The tools as the tooltip manager registered them: windows by handle,
    // the grip (a static that passes the mouse on) by its id.
    const struct {
        UINT_PTR id;
        UINT flags;
        std::string text;
    } cases[] = {
        {(UINT_PTR)edit, TTF_IDISHWND, harness::lowerCase(dir)},
        {(UINT_PTR)box, TTF_IDISHWND, harness::lowerCase(dir)},
        {IDC_GRIP, 0, "Verschieben"},
        {(UINT_PTR)GetDlgItem(bar, IDC_DEFAULT_BUTTON), TTF_IDISHWND, ""},
    };
    for (const auto& c : cases) {
        NMTTDISPINFOA info = {};
        info.hdr.hwndFrom = tooltip;
        info.hdr.idFrom = c.id;
        info.hdr.code = TTN_NEEDTEXTA;
        info.uFlags = c.flags;
        SendMessageA(bar, WM_NOTIFY, 0, (LPARAM)&info);
        ASSERT_TRUE(info.lpszText != 0);
        EXPECT_EQ(std::string(info.lpszText), c.text) << c.id;
    }
    EXPECT_NE(harness::lowerCase(dir), dir) << "the directory has capitals to fold";
}

}  // namespace
