// The command bar on a real dialog from pexor.exe's template, driven with
// messages as the dialog manager, the combo box and the shell send them:
// Enter and Escape through IsDialogMessageA, typing as WM_CHAR, the
// accelerator commands, dropped files, tooltip requests, timer and mouse.
// recorder.exe stands in for every program a line starts and for the
// command interpreter program. The end-to-end test drives the same bar with
// real keys; here are the edges it cannot reach and the texts of the boxes.
#include "harness.h"

#include "state/history.h"

namespace {

int windowBorder() {
    int border = 0;
    SystemParametersInfoA(SPI_GETBORDER, 0, &border, 0);
    return border;
}

// What the tooltip manager sends the tooltip controls of this thread: the
// last TTM_ACTIVATE, and every mouse message it relays.
int tooltipActive;
std::vector<MSG> relayed;
LRESULT CALLBACK noteTooltipMessages(int code, WPARAM wParam, LPARAM lParam) {
    const CWPSTRUCT* sent = (const CWPSTRUCT*)lParam;
    char name[32] = "";
    GetClassNameA(sent->hwnd, name, sizeof name);
    if (code >= 0 && sent->message == TTM_ACTIVATE && strcmp(name, TOOLTIPS_CLASSA) == 0)
        tooltipActive = (int)sent->wParam;
    if (code >= 0 && sent->message == TTM_RELAYEVENT) relayed.push_back(*(const MSG*)sent->lParam);
    return CallNextHookEx(0, code, wParam, lParam);
}

// A TTN_NEEDTEXT notification as a tooltip sends it for a tool.
NMTTDISPINFOA textRequest(HWND tooltip, UINT_PTR id, UINT flags) {
    NMTTDISPINFOA request = {};
    request.hdr = {tooltip, id, TTN_NEEDTEXTA};
    request.uFlags = flags;
    return request;
}

class CommandBar : public Win32Test {
protected:
    void SetUp() override {
        ASSERT_EQ(initTooltips(GetModuleHandleA(0)), 1);
        undo.setEnvironment("PEXOR_RECORD", record.c_str());
        copyText(iniPath, sizeof iniPath, temp.file("pexor.ini").c_str());
        copyText(historyPath, sizeof historyPath, temp.file("pexor.his").c_str());
        setup("Shell", recorder);
        setup("SysStartup", "0");  // the end-to-end test sees the Run key
    }
    void TearDown() override {
        destroyBar();
        shutdownTooltips();
    }

    void setup(const char* key, const std::string& value, const char* section = "Setup") {
        WritePrivateProfileStringA(section, key, value.c_str(), iniPath);
    }
    std::string history() { return harness::readFile(historyPath); }

    // Reads the settings file as start-up does and creates the bar from it,
    // with the boxes given ("caption: text\n" each).
    void createBar(const std::string& shown = "") {
        destroyBar();
        copyText(settings.BaseDir, sizeof settings.BaseDir, temp.path().c_str());
        readSettings();
        harness::Boxes boxes;
        createCommandBar(0);
        EXPECT_EQ(boxes.shown(), shown);
        bar = commandBarWindow;
        ASSERT_TRUE(bar != 0);
        box = GetDlgItem(bar, IDC_COMMAND_COMBO);
        edit = FindWindowExA(box, 0, "Edit", 0);
        ASSERT_TRUE(edit != 0);
    }
    // The bar is created once per program; tests that make several put the
    // process-wide records back in between.
    void destroyBar() {
        if (commandBarWindow != 0) destroyDialogTooltip(commandBarWindow);
        DestroyWindow(commandBarWindow);
        DestroyMenu(barMenu);
        commandBarWindow = 0;
        barMenu = 0;
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
    std::string field() { return harness::windowText(edit); }
    std::vector<std::string> entries() {
        std::vector<std::string> list((size_t)SendMessageA(box, CB_GETCOUNT, 0, 0));
        for (size_t i = 0; i < list.size(); i++) {
            char text[HISTORY_READ_CAPACITY];
            SendMessageA(box, CB_GETLBTEXT, i, (LPARAM)text);
            list[i] = text;
        }
        return list;
    }
    // Left, top and width of the bar, checked against its fixed height.
    std::vector<int> place() {
        RECT r;
        GetWindowRect(bar, &r);
        EXPECT_EQ(r.bottom - r.top, 2 * windowBorder() + 25);
        return {(int)r.left, (int)r.top, (int)(r.right - r.left)};
    }

    const std::string record = temp.file("record.txt");
    const std::string recorder = harness::recorderPath();
    harness::ProgramResources resources;
    HWND bar = 0, box = 0, edit = 0;
};

// ------------------------------------------------------- running a line

// Shell= is the recorder, so built-in commands such as dir run through it.
TEST_F(CommandBar, EnterRunsTheTrimmedLineAndTheHistoryKeepsWhatRanNewestFirst) {
    const std::string R = recorder;
    const struct {
        std::string maxHistory, saveHistory, fileBefore;
        std::vector<std::string> loaded, lines;
        std::string boxes, field, fileAfter;
        std::vector<std::string> list;
    } cases[] = {
        {"25", "1", "alt\r\n", {"", "alt"}, {"  " + R + " eins  "}, "", "", R + " eins\r\nalt\r\n",
         {"", R + " eins", "alt"}},
        // Blanks only: nothing runs, the blanks stay.
        {"25", "1", "alt\r\n", {"", "alt"}, {"   "}, "", "   ", "alt\r\n", {"", "alt"}},
        // A failed line stays in the field for another try; nothing recorded.
        {"25", "1", "alt\r\n", {"", "alt"}, {" pexor-missing.exe"},
         "Pexor - Fehler: Die angegebene Datei ist nicht vorhanden.\n", " pexor-missing.exe", "alt\r\n",
         {"", "alt"}},
        // Only the newest MaxHistory lines are loaded and kept; a line that
        // ran twice in a row is recorded once.
        {"3", "1", "a\r\nb\r\nc\r\nd\r\n", {"", "a", "b", "c"}, {"dir", "dir", "cls"}, "", "",
         "cls\r\ndir\r\na\r\n", {"", "cls", "dir", "a"}},
        // A line loaded from the file is recorded again, even the one that
        // ran last before this bar was created.
        {"25", "1", "cls\r\n", {"", "cls"}, {"cls"}, "", "", "cls\r\ncls\r\n", {"", "cls", "cls"}},
        // SaveHistory 0: neither loaded nor written.
        {"25", "0", "a\r\n", {""}, {"dir", "cls"}, "", "", "a\r\n", {"", "cls", "dir"}},
        // EXIT (Exit is 1 by default) is recorded, then the main window is closed.
        {"25", "1", "alt\r\n", {"", "alt"}, {"exit"}, "", "", "exit\r\nalt\r\n", {"", "exit", "alt"}},
    };
    mainWindow = CreateWindowExA(0, "STATIC", "Pexor", WS_POPUP, 0, 0, 10, 10, 0, 0, 0, 0);
    for (const auto& c : cases) {
        SCOPED_TRACE("|" + c.lines[0] + "|, MaxHistory " + c.maxHistory + ", SaveHistory " + c.saveHistory);
        harness::writeFile(historyPath, c.fileBefore);
        setup("MaxHistory", c.maxHistory);
        setup("SaveHistory", c.saveHistory);
        createBar();
        EXPECT_EQ(entries(), c.loaded);
        harness::Boxes boxes;
        for (const auto& line : c.lines) {
            type(line);
            press(VK_RETURN);
        }
        EXPECT_EQ(boxes.shown(), c.boxes);
        EXPECT_EQ(field(), c.field);
        EXPECT_EQ(history(), c.fileAfter);
        EXPECT_EQ(entries(), c.list);
        MSG posted;  // taken from the queue undispatched, so the window stays
        EXPECT_EQ(PeekMessageA(&posted, mainWindow, WM_CLOSE, WM_CLOSE, PM_REMOVE) != 0, c.lines[0] == "exit");
    }
    DestroyWindow(mainWindow);
    // The lines' programs run side by side: their records come in any order.
    EXPECT_TRUE(harness::pumpUntil([&] {
        for (const auto& r : harness::readRecords(record))
            if (r.commandLine == "\"" + R + "\" eins") return true;
        return false;
    }));
}

// A picked line too long to run is refused whole and stays for another try.
// (A history that cannot be saved is the end-to-end test's full disk.)
TEST_F(CommandBar, AnOverlongPickedLineIsRefusedWholeAndStays) {
    harness::writeFile(historyPath, std::string(300, 'x') + "\r\n");
    createBar();
    harness::Boxes boxes;
    type("x");
    command(CMD_SEARCH_HISTORY);
    press(VK_RETURN);
    EXPECT_EQ(GetWindowTextLengthA(edit), 300);
    EXPECT_EQ(boxes.shown(), "Pexor - Fehler: Die Befehlszeile ist zu lang und wurde nicht ausgef\xFChrt.\n");
    EXPECT_EQ(history(), std::string(300, 'x') + "\r\n");
}

// ------------------------------------------------------- the list, F7, F8

// The search itself is the native tests'; here the combo box carries it out:
// prefixes without regard to case, wrapping around, a miss leaves the field;
// Escape empties it. (F7 and the keys are the end-to-end test's.)
TEST_F(CommandBar, F8WalksThroughTheLinesWithTheTypedPrefixAndEscapeEmptiesTheField) {
    harness::writeFile(historyPath, "notepad\r\nxcopy a b\r\nNet view\r\n");
    createBar();
    const struct { const char* type; WPARAM key; const char* field; } steps[] = {  // typed over the field, then
        {"n", VK_F8, "notepad"}, {"", VK_F8, "Net view"}, {"", VK_F8, "notepad"}, {"q", VK_F8, "q"},
        {"", VK_ESCAPE, ""}};
    for (const auto& s : steps) {
        SendMessageA(edit, EM_SETSEL, 0, -1);
        type(s.type);
        s.key == VK_ESCAPE ? press(VK_ESCAPE) : command(CMD_SEARCH_HISTORY);
        EXPECT_EQ(field(), s.field) << "step " << &s - steps;
    }
}

// "cd .." shows at once how often a picked line ran.
TEST_F(CommandBar, WithDirectExecuteAPickedLineRunsOnceButAFoundOneDoesNot) {
    std::string start = temp.makeDirectory("a") + "\\b";
    ASSERT_TRUE(CreateDirectoryA(start.c_str(), 0));
    harness::writeFile(historyPath, "cd ..\r\n");
    setup("BaseDir", start);
    setup("DirectExecute", "1");
    createBar();
    auto directory = [] {
        harness::pumpUntil([] { return true; });  // what was posted, handled
        return harness::lowerCase(harness::currentDirectory());
    };
    ASSERT_EQ(directory(), harness::lowerCase(start));
    type("cd");
    command(CMD_SEARCH_HISTORY);
    EXPECT_EQ(directory(), harness::lowerCase(start));
    EXPECT_EQ(field(), "cd ..");
    press(VK_ESCAPE);
    SendMessageA(edit, WM_KEYDOWN, VK_DOWN, 1);  // picks entry 1 in the closed list
    EXPECT_EQ(directory(), harness::lowerCase(temp.file("a")));
    EXPECT_EQ(field(), "");
}

// ------------------------------------------------------- place and size

// The place is brought whole into the work area (a decision the native
// tests check row by row) before the bar shows and before it is stored (with
// Save 1; with Save 0 neither it nor a move is); a display change brings back
// what sticks out.
TEST_F(CommandBar, ThePlaceComesFromGeometryAndStaysInsideTheWorkArea) {
    RECT area;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    const int right = area.right, bottom = area.bottom, areaWidth = area.right - area.left;
    const int border = windowBorder(), height = 2 * border + 25;
    const struct {
        const char *left, *top, *width;  // stored texts, 0 for no key
        std::vector<int> move;           // x, y, width, height, then a display change
        std::vector<int> place;
    } cases[] = {
        // GetPrivateProfileIntA reads "-20" as 4294967276, kept as 65516: flush right.
        {"-20", 0, 0, {}, {right - 200, 10, 200}},
        {"-32768", "65535", "-5", {}, {(int)area.left, bottom - height, areaWidth}},
        // The tracking limits pin the height and keep a minimum width; a
        // display change brings back only what sticks out right or below.
        {0, 0, 0, {sw - 100, 50, 300, 100}, {sw - 300, 50, 300}},
        {0, 0, 0, {50, sh - 10, 300, 5}, {50, sh - height, 300}},
        {0, 0, 0, {-50, -5, 10, height}, {-50, -5, 2 * border + 50}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("case " + std::to_string(&c - cases));
        WritePrivateProfileStringA("Geometry", 0, 0, iniPath);
        if (c.left) setup("Left", c.left, "Geometry");
        if (c.top) setup("Top", c.top, "Geometry");
        if (c.width) setup("Width", c.width, "Geometry");
        setup("Save", c.move.empty() ? "1" : "0");
        createBar();
        if (!c.move.empty()) {
            MoveWindow(bar, c.move[0], c.move[1], c.move[2], c.move[3], TRUE);
            SendMessageA(bar, WM_DISPLAYCHANGE, 24, MAKELPARAM(sw, sh));
        }
        EXPECT_EQ(place(), c.place);
        std::vector<int> stored;  // with Save 0 (the moved rows) nothing
        for (const char* key : {"Left", "Top", "Width"})
            stored.push_back((int)GetPrivateProfileIntA("Geometry", key, -1, iniPath));
        EXPECT_EQ(stored, c.move.empty() ? c.place : std::vector<int>({-1, -1, -1})) << "as stored";
    }
    // With larger fonts (150 %, 144 dpi) the closed combo box is taller than
    // 25 pixels: the bar grows with it rather than cut it off.
    HFONT font = CreateFontA(-30, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "MS Sans Serif");
    SendMessageA(box, WM_SETFONT, (WPARAM)font, TRUE);
    MoveWindow(bar, 10, 10, 300, 5, TRUE);
    RECT combo, inside;
    EXPECT_TRUE(GetWindowRect(box, &combo) && GetClientRect(bar, &inside) && combo.bottom - combo.top > 25);
    EXPECT_EQ(inside.bottom, combo.bottom - combo.top) << "the combo box whole in the bar";
    destroyBar();
    DeleteObject(font);
}

// The place goes into the settings file through a copy that takes the file's
// place only when complete: a crash never leaves it cut, and what else it
// holds stays. A file that cannot be written (read-only; Wine would write it
// in place) stays as it was, and is told once for a run of failures; a place
// already stored is not written again.
TEST_F(CommandBar, StoringThePlaceNeverCutsTheSettingsFileAndAFailureIsToldOnce) {
    const std::string ini = iniPath, copy = ini + ".new";
    const std::string told = "Pexor - Fehler: Die Einstellungen konnten nicht in " + ini +
                             " gespeichert werden. Sie gelten, bis Pexor beendet wird.\n";
    setup("Save", "1");
    for (const char* key : {"Left", "Top", "Width"}) setup(key, key[0] == 'W' ? "200" : "10", "Geometry");
    harness::writeFile(copy, "left by a crash");
    auto drag = [&](int by) {
        harness::Boxes boxes;
        SendMessageA(bar, WM_LBUTTONDOWN, 0, MAKELPARAM(2, 2));
        for (UINT m : {WM_MOUSEMOVE, WM_LBUTTONUP}) SendMessageA(bar, m, 0, MAKELPARAM(2 + by, 2));
        return boxes.shown();
    };
    for (int run = 0; run < 2; run++) {
        SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_READONLY);
        const std::string before = harness::readFile(ini);
        if (run == 0) createBar();  // its place is stored already
        EXPECT_EQ(drag(run == 0 ? 3 : 7), told);
        EXPECT_EQ(drag(4), "") << "told once for a run of failures";
        EXPECT_EQ(harness::readFile(ini), before);
        EXPECT_FALSE(harness::fileExists(copy));
        SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(drag(5), "");
        EXPECT_EQ((int)GetPrivateProfileIntA("Geometry", "Left", -1, iniPath), place()[0]);
        EXPECT_NE(harness::readFile(ini).find("Shell=" + recorder), std::string::npos);
    }
}

// ------------------------------------------------------- auto-hide

// With AutoHide the bar starts hidden; losing the activation starts the
// timer, getting it back stops it, and a tick hides the bar unless the
// properties are open, also after they were open once.
TEST_F(CommandBar, LosingActivationHidesTheBarAfterTheDelayUnlessThePropertiesAreOpen) {
    setup("AutoHideDelay", "1");
    for (bool autoHide : {true, false}) {
        SCOPED_TRACE(testing::Message() << "AutoHide " << autoHide);
        setup("AutoHide", autoHide ? "1" : "0");
        createBar();
        EXPECT_EQ(IsWindowVisible(bar) != 0, !autoHide);
        ShowWindow(bar, SW_SHOWNORMAL);
        harness::runModalDialog([&] { return SendMessageA(bar, WM_COMMAND, CMD_PROPERTIES, 0); },
                                [] { return propertiesDialogWindow; },
                                [&](HWND properties) {
                                    SendMessageA(bar, WM_TIMER, 1, 0);
                                    EXPECT_TRUE(IsWindowVisible(bar)) << "hidden while the properties are open";
                                    PostMessageA(properties, WM_COMMAND, IDCANCEL, 0);
                                });
        SendMessageA(bar, WM_ACTIVATE, WA_INACTIVE, 0);
        SendMessageA(bar, WM_ACTIVATE, WA_ACTIVE, 0);
        EXPECT_FALSE(KillTimer(bar, 1)) << "no timer after activation";
        SendMessageA(bar, WM_ACTIVATE, WA_INACTIVE, 0);
        if (autoHide) {
            EXPECT_TRUE(harness::pumpUntil([&] { return !IsWindowVisible(bar); }));
        }
        EXPECT_EQ(IsWindowVisible(bar) != 0, !autoHide);
        EXPECT_FALSE(KillTimer(bar, 1)) << "the timer stops with the bar hidden, or never starts";
    }
}

// ------------------------------------------------------- tooltips

// Every control of the bar is a tool of its tooltip: a window tool, but the
// grip, a static without SS_NOTIFY (transparent to the mouse), is a rectangle
// of the bar; a text request names the bar's child the tool lies in. The
// thread hook relays moves and left and right presses and releases, peeked
// ones too, over any window of the bar, unchanged; nothing else, nothing of
// another window, nothing after shutdown.
TEST_F(CommandBar, TooltipsFollowTheSettingCoverEveryControlAndShowTheDirectoryAndVerschieben) {
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, noteTooltipMessages, 0, GetCurrentThreadId());
    for (int on : {0, 1}) {
        setup("Tooltips", std::to_string(on));
        tooltipActive = -1;
        createBar();
        EXPECT_EQ(tooltipActive, on) << "Tooltips=" << on;
    }
    const HWND tooltip = findDialogTooltip(bar), button = GetDlgItem(bar, IDC_DEFAULT_BUTTON);
    const HWND grip = GetDlgItem(bar, IDC_GRIP);
    EXPECT_EQ(GetWindow(tooltip, GW_OWNER), bar);
    EXPECT_EQ(GetWindowLongA(tooltip, GWL_STYLE) & (TTS_ALWAYSTIP | TTS_NOPREFIX), TTS_ALWAYSTIP | TTS_NOPREFIX);
    EXPECT_EQ(SendMessageA(tooltip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), 100);
    RECT gripRect;
    GetWindowRect(grip, &gripRect);
    MapWindowPoints(0, bar, (POINT*)&gripRect, 2);
    const struct { UINT_PTR id; UINT named; } tools[] = {
        {(UINT_PTR)button, IDC_DEFAULT_BUTTON}, {(UINT_PTR)box, IDC_COMMAND_COMBO}, {(UINT_PTR)edit, IDC_COMMAND_COMBO},
        {IDC_GRIP, IDC_GRIP}};
    ASSERT_EQ(SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0), 4);
    for (const auto& t : tools) {
        TOOLINFOA tool = {sizeof tool, 0, bar, t.id, {}, 0, 0, 0, 0};
        ASSERT_TRUE(SendMessageA(tooltip, TTM_GETTOOLINFOA, 0, (LPARAM)&tool)) << t.named;
        EXPECT_EQ(tool.uFlags & (TTF_IDISHWND | TTF_SUBCLASS), t.id == IDC_GRIP ? 0u : (UINT)TTF_IDISHWND);
        EXPECT_TRUE(t.id != IDC_GRIP || EqualRect(&tool.rect, &gripRect)) << tool.rect.left << "," << tool.rect.top;
        NMTTDISPINFOA request = textRequest(tooltip, tool.uId, tool.uFlags);
        EXPECT_EQ(tooltipControlId(&request), t.named);
    }
    HWND other = CreateWindowExA(0, "#32770", "", WS_POPUP, 0, 0, 10, 10, 0, 0, 0, 0);
    // Posted and taken from the queue undispatched, so no control acts on it.
    auto relays = [&](HWND target, UINT message, UINT remove = PM_REMOVE) {
        relayed.clear();
        MSG msg;
        EXPECT_TRUE(PostMessageA(target, message, MK_SHIFT, MAKELPARAM(7, 9)));
        EXPECT_TRUE(PeekMessageA(&msg, target, message, message, remove)) << std::hex << message;
        return relayed.size() == 1 && relayed[0].hwnd == target && relayed[0].message == message &&
               relayed[0].wParam == MK_SHIFT && relayed[0].lParam == MAKELPARAM(7, 9);
    };
    const struct { UINT message; bool relayed; } messages[] = {
        {WM_MOUSEMOVE, true},     {WM_LBUTTONDOWN, true},    {WM_LBUTTONUP, true},    {WM_RBUTTONDOWN, true},
        {WM_RBUTTONUP, true},     {WM_LBUTTONDBLCLK, false}, {WM_MBUTTONDOWN, false}, {WM_MOUSEWHEEL, false},
        {WM_NCMOUSEMOVE, false},  {WM_KEYDOWN, false}};
    for (const auto& c : messages) EXPECT_EQ(relays(edit, c.message), c.relayed) << std::hex << c.message;
    for (HWND target : {bar, grip, button}) EXPECT_TRUE(relays(target, WM_LBUTTONDOWN)) << GetDlgCtrlID(target);
    EXPECT_TRUE(relays(box, WM_MOUSEMOVE, PM_NOREMOVE)) << "peeked";
    EXPECT_FALSE(relays(other, WM_MOUSEMOVE));
    destroyDialogTooltip(other);  // it has none: the bar's stays
    EXPECT_EQ(findDialogTooltip(edit), tooltip);
    MSG direct = {box, WM_MOUSEMOVE, 0, 0, 0, {0, 0}};
    relayed.clear();
    tooltipMessageHook(-1, PM_REMOVE, (LPARAM)&direct);
    EXPECT_TRUE(relayed.empty()) << "a negative code is only passed on";
    shutdownTooltips();
    EXPECT_FALSE(relays(box, WM_MOUSEMOVE)) << "no hook after shutdown";
    initTooltips(GetModuleHandleA(0));
    UnhookWindowsHookEx(hook);
    DestroyWindow(other);
    std::string dir = temp.makeDirectory("\xC4rger Ordner");  // Ärger
    ASSERT_TRUE(SetCurrentDirectoryA(dir.c_str()));
    ASSERT_NE(harness::lowerCase(dir), dir) << "the directory has capitals to fold";
    auto tip = [&](UINT_PTR id, UINT flags) {
        NMTTDISPINFOA info = textRequest(tooltip, id, flags);
        SendMessageA(bar, WM_NOTIFY, 0, (LPARAM)&info);
        return std::string(info.lpszText != 0 ? info.lpszText : "(none)");
    };
    EXPECT_EQ(tip((UINT_PTR)edit, TTF_IDISHWND), harness::lowerCase(dir));
    EXPECT_EQ(tip(IDC_GRIP, 0), "Verschieben");
    EXPECT_EQ(tip((UINT_PTR)button, TTF_IDISHWND), "");
}

}  // namespace
