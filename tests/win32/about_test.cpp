// The About dialog against the real dialog manager: template 121 as the
// built pexor.exe carries it, the caption from a real version resource, link
// colours, cursor and fonts, the links' targets as the shell hands them to
// the program registered for their protocol (the recorder), the ways to
// close it, the pictures after a system colour change, and the objects it
// leaves behind after many openings (none).
#include "harness.h"

#include <shellapi.h>
#include <stdio.h>

#include <functional>
#include <string>

#include "../../res/resource.h"
#include "state/aboutinfo.h"
#include "ui/aboutdialog.h"
#include "ui/commandbar.h"
#include "ui/mainwindow.h"

namespace {

// pexor.exe lies two folders above the test program.
std::string programPath() {
    char self[MAX_PATH];
    DWORD n = GetModuleFileNameA(0, self, sizeof self);
    std::string path(self, n);
    for (int up = 0; up < 3; up++) path = path.substr(0, path.find_last_of('\\'));
    return path + "\\pexor.exe";
}

std::string windowText(HWND window) {
    char text[LINK_TARGET_CAPACITY];
    GetWindowTextA(window, text, sizeof text);
    return text;
}

SIZE bitmapSize(HBITMAP bitmap) {
    BITMAP b = {};
    GetObjectA(bitmap, sizeof b, &b);
    return SIZE{b.bmWidth, b.bmHeight};
}

COLORREF pixelOf(HBITMAP bitmap, int x, int y) {
    HDC dc = CreateCompatibleDC(0);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    COLORREF colour = GetPixel(dc, x, y);
    SelectObject(dc, previous);
    DeleteDC(dc);
    return colour;
}

HBITMAP picture(HWND dialog, int id) {
    return (HBITMAP)SendDlgItemMessageA(dialog, id, STM_GETIMAGE, IMAGE_BITMAP, 0);
}

HFONT linkFontOf(HWND dialog) { return (HFONT)SendDlgItemMessageA(dialog, IDC_MAIL_LINK, WM_GETFONT, 0, 0); }

// What a dialog hands over on closing: everything it should have released.
struct DialogObjects {
    HFONT font = 0;
    HBITMAP logo = 0;
    HBITMAP title = 0;
    HCURSOR cursor = 0;
};

// The cursor a move of the pointer over the control sets: the control asks
// its dialog first, then sets its class cursor.
HCURSOR cursorOver(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    SetCursor(0);
    SendMessageA(control, WM_SETCURSOR, (WPARAM)control, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return GetCursor();
}

DialogObjects objectsOf(HWND dialog) {
    DialogObjects o;
    o.font = linkFontOf(dialog);
    o.logo = picture(dialog, IDC_ABOUT_LOGO);
    o.title = picture(dialog, IDC_ABOUT_TITLE);
    o.cursor = cursorOver(dialog, IDC_WEB_LINK);
    return o;
}

bool cursorAlive(HCURSOR cursor) {
    ICONINFO info = {};
    if (!GetIconInfo(cursor, &info)) return false;
    if (info.hbmMask) DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    return true;
}

// The modal dialog's loop runs the test's action through a thread timer
// once the dialog is open; a dialog still open after the timeout is ended
// with TIMED_OUT.
enum { TIMED_OUT = 99 };
struct ModalRun {
    std::function<void(HWND)> act;
    DWORD started;
    bool acted;
};
ModalRun* modalRun;

void CALLBACK modalTick(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = aboutDialogWindow;
    if (modalRun == 0 || dialog == 0) return;
    if (!modalRun->acted) {
        modalRun->acted = true;
        modalRun->act(dialog);
    } else if (GetTickCount() - modalRun->started > harness::DEFAULT_TIMEOUT_MS) {
        EndDialog(dialog, TIMED_OUT);
    }
}

INT_PTR runModal(const std::function<INT_PTR()>& open, const std::function<void(HWND)>& act) {
    ModalRun run = {act, GetTickCount(), false};
    modalRun = &run;
    UINT_PTR timer = SetTimer(0, 0, 1, modalTick);
    INT_PTR result = open();
    KillTimer(0, timer);
    modalRun = 0;
    EXPECT_TRUE(run.acted) << "the dialog never opened";
    return result;
}

class AboutDialog : public Win32Test {
protected:
    void SetUp() override {
        program = LoadLibraryExA(programPath().c_str(), 0, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_TRUE(program != 0) << programPath() << " (build pexor.exe first)";
        savedInstance = instanceHandle;
        instanceHandle = program;
        aboutDialogWindow = 0;
    }
    void TearDown() override {
        if (dialog != 0) DestroyWindow(dialog);
        instanceHandle = savedInstance;
        if (program != 0) FreeLibrary(program);
    }
    // The dialog as a modeless window, so that the test can look inside.
    HWND open() {
        dialog = CreateDialogParamA(program, MAKEINTRESOURCEA(IDD_ABOUT), 0, aboutDialogProc, 0);
        EXPECT_TRUE(dialog != 0);
        return dialog;
    }
    INT_PTR runModal(const std::function<void(HWND)>& act) {
        return ::runModal(
            [&] { return DialogBoxParamA(program, MAKEINTRESOURCEA(IDD_ABOUT), 0, aboutDialogProc, 0); },
            act);
    }
    HMODULE program = 0;
    HINSTANCE savedInstance = 0;
    HWND dialog = 0;
};

// ------------------------------------------------------------ version text

TEST_F(AboutDialog, VersionTextComesFromTheProgramFilesVersionResource) {
    const struct {
        std::string path;
        const char* text;
    } cases[] = {
        {programPath(), "Pexor V1.0"},               // FileVersion "1.0" under 040704b0
        {harness::recorderPath(), "Pexor"},          // no version resource
        {temp.file("fehlt.exe"), "Pexor"},           // no file
    };
    for (const auto& c : cases) {
        char text[VERSION_TEXT_CAPACITY];
        memset(text, 'x', sizeof text);
        buildVersionTextOf(c.path.c_str(), text);
        EXPECT_STREQ(text, c.text) << c.path;
    }
    char own[VERSION_TEXT_CAPACITY];
    buildVersionText(own);
    EXPECT_STREQ(own, "Pexor") << "the test program itself has no version resource";
}

// --------------------------------------------------------------- template

TEST_F(AboutDialog, TemplateHasEveryControlWhereItBelongs) {
    // All dialogs share one class, whose icon the dialog sets: clear it first.
    HWND probe = CreateWindowExA(0, "#32770", "", WS_POPUP, 0, 0, 0, 0, 0, 0, 0, 0);
    SetClassLongPtrA(probe, GCLP_HICON, 0);
    DestroyWindow(probe);
    ASSERT_TRUE(open() != 0);
    EXPECT_EQ(aboutDialogWindow, dialog);
    LONG style = GetWindowLongA(dialog, GWL_STYLE);
    EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME),
              WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
    EXPECT_EQ(windowText(dialog), "Pexor") << "the version text replaces \"Info zu Pexor\"";
    ICONINFO icon = {};
    ASSERT_TRUE(GetIconInfo((HICON)GetClassLongPtrA(dialog, GCLP_HICON), &icon)) << "icon 135";
    EXPECT_EQ(bitmapSize(icon.hbmColor).cx, GetSystemMetrics(SM_CXICON));
    DeleteObject(icon.hbmMask);
    DeleteObject(icon.hbmColor);

    const struct {
        int id;
        const char* className;
        LONG type;   // SS_ or BS_ type in the low bits
        LONG flags;  // further style bits that must be set
        DWORD exStyle;
        RECT rect;   // x, y, width, height in dialog units; pictures take their bitmap's size
        SIZE pixels;
        const char* text;
    } controls[] = {
        {IDC_ABOUT_LOGO, "Static", SS_BITMAP, 0, WS_EX_TRANSPARENT, {14, 7, 0, 0}, {80, 80}, ""},
        {IDC_ABOUT_TITLE, "Static", SS_BITMAP, 0, WS_EX_TRANSPARENT, {77, 22, 0, 0}, {171, 23}, ""},
        {-1, "Static", SS_LEFT, 0, 0, {93, 41, 82, 8}, {}, "© 2026 Pexor-Team"},
        {-1, "Static", SS_LEFT, 0, 0, {12, 65, 186, 8}, {},
         "Pexor ist Freeware und darf ohne Lizenzgebühren wei-"},
        {-1, "Static", SS_LEFT, 0, 0, {12, 73, 185, 8}, {},
         "tergegeben werden. Der Autor übernimmt keine Haftung"},
        {-1, "Static", SS_LEFT, 0, 0, {12, 81, 187, 8}, {},
         "dafür, dass das Programm fehlerfrei funktioniert. Wenn"},
        {-1, "Static", SS_LEFT, 0, 0, {12, 89, 186, 8}, {},
         "Ihnen Pexor gefällt, freut sich der Autor über eine kur-"},
        {-1, "Static", SS_LEFT, 0, 0, {82, 97, 44, 8}, {}, "ze E-Mail."},
        {IDOK, "Button", BS_DEFPUSHBUTTON, WS_TABSTOP, 0, {78, 153, 50, 14}, {}, "OK"},
        {IDC_MAIL_LINK, "Static", SS_CENTER, SS_NOTIFY | SS_NOPREFIX, 0, {64, 118, 73, 8}, {},
         SUPPORT_ADDRESS},
        {IDC_WEB_LINK, "Static", SS_CENTER, SS_NOTIFY | SS_NOPREFIX, 0, {59, 131, 84, 8}, {}, WEB_ADDRESS},
    };
    HWND control = GetWindow(dialog, GW_CHILD);
    for (const auto& c : controls) {
        SCOPED_TRACE(std::string("|") + c.text + "| id " + std::to_string(c.id));
        ASSERT_TRUE(control != 0) << "missing control";
        char className[32];
        GetClassNameA(control, className, sizeof className);
        EXPECT_EQ(lstrcmpiA(className, c.className), 0) << className;
        EXPECT_EQ(LOWORD(GetDlgCtrlID(control)), LOWORD(c.id));
        LONG s = GetWindowLongA(control, GWL_STYLE);
        EXPECT_EQ(s & (c.className[0] == 'S' ? SS_TYPEMASK : BS_TYPEMASK), c.type);
        EXPECT_EQ(s & c.flags, c.flags);
        EXPECT_EQ(GetWindowLongA(control, GWL_EXSTYLE) & WS_EX_TRANSPARENT, (LONG)c.exStyle);
        EXPECT_EQ(windowText(control), c.text);

        // Position and size are converted each on its own, as the dialog
        // manager does when it creates the control.
        RECT units = c.rect;
        MapDialogRect(dialog, &units);
        RECT expected = {units.left, units.top, units.left + units.right, units.top + units.bottom};
        RECT actual;
        GetWindowRect(control, &actual);
        MapWindowPoints(0, dialog, (POINT*)&actual, 2);
        if (c.pixels.cx != 0) {
            expected.right = expected.left + c.pixels.cx;
            expected.bottom = expected.top + c.pixels.cy;
            EXPECT_EQ(bitmapSize(picture(dialog, c.id)).cx, c.pixels.cx);
            EXPECT_EQ(bitmapSize(picture(dialog, c.id)).cy, c.pixels.cy);
        }
        EXPECT_TRUE(EqualRect(&expected, &actual))
            << actual.left << "," << actual.top << "," << actual.right << "," << actual.bottom
            << " instead of " << expected.left << "," << expected.top << "," << expected.right << ","
            << expected.bottom;
        control = GetWindow(control, GW_HWNDNEXT);
    }
    EXPECT_TRUE(control == 0) << "one control too many";
}

// A text wider than its static is wrapped, and its second line cut off.
TEST_F(AboutDialog, EveryTextFitsItsControl) {
    ASSERT_TRUE(open() != 0);
    HDC dc = GetDC(dialog);
    HWND first = GetWindow(dialog, GW_CHILD);
    for (HWND control = first; control != 0; control = GetWindow(control, GW_HWNDNEXT)) {
        std::string text = windowText(control);
        if (text.empty()) continue;
        HGDIOBJ previous = SelectObject(dc, (HFONT)SendMessageA(control, WM_GETFONT, 0, 0));
        SIZE extent;
        GetTextExtentPoint32A(dc, text.c_str(), (int)text.size(), &extent);
        SelectObject(dc, previous);
        RECT client;
        GetClientRect(control, &client);
        EXPECT_LE(extent.cx, client.right) << "|" << text << "|";
        EXPECT_LE(extent.cy, client.bottom) << "|" << text << "|";
    }
    ReleaseDC(dialog, dc);
}

// ---------------------------------------------------------------- links

TEST_F(AboutDialog, LinksAreUnderlinedNavyOnTheButtonFaceUnderAHand) {
    ASSERT_TRUE(open() != 0);
    HFONT font = linkFontOf(dialog);
    ASSERT_TRUE(font != 0);
    EXPECT_EQ((HFONT)SendDlgItemMessageA(dialog, IDC_WEB_LINK, WM_GETFONT, 0, 0), font);
    LOGFONTA description = {};
    GetObjectA(font, sizeof description, &description);
    HDC screen = GetDC(0);
    int resolution = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(0, screen);
    EXPECT_EQ(description.lfHeight, pointFontFields(pointToDeviceUnits(0, 80, 0, resolution).y, 0, 0).height);
    if (resolution == 96) {
        EXPECT_EQ(description.lfHeight, -11);
    }
    EXPECT_EQ(description.lfUnderline, 1);
    EXPECT_EQ(description.lfWeight, 0);
    EXPECT_STREQ(description.lfFaceName, "MS Sans Serif");

    HDC dc = CreateCompatibleDC(0);
    for (int id : {IDC_MAIL_LINK, IDC_WEB_LINK}) {
        SetTextColor(dc, 0);
        SetBkColor(dc, 0);
        INT_PTR brush = SendMessageA(dialog, WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)GetDlgItem(dialog, id));
        EXPECT_EQ((HGDIOBJ)brush, GetStockObject(NULL_BRUSH)) << id;
        EXPECT_EQ(GetTextColor(dc), (COLORREF)0x800000) << id;
        EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_BTNFACE)) << id;
    }
    // Every other static gets the default colours and the button face brush.
    HWND logo = GetDlgItem(dialog, IDC_ABOUT_LOGO);
    INT_PTR brush = SendMessageA(dialog, WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)logo);
    EXPECT_EQ((HBRUSH)brush, GetSysColorBrush(COLOR_3DFACE));
    EXPECT_EQ(GetTextColor(dc), GetSysColor(COLOR_WINDOWTEXT));
    DeleteDC(dc);

    // The hand's hotspot is its fingertip, at (5, 0).
    for (int id : {IDC_MAIL_LINK, IDC_WEB_LINK}) {
        HCURSOR hand = cursorOver(dialog, id);
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(hand, &info)) << id;
        EXPECT_FALSE(info.fIcon);
        EXPECT_EQ(info.xHotspot, 5u);
        EXPECT_EQ(info.yHotspot, 0u);
        DeleteObject(info.hbmMask);
        if (info.hbmColor) DeleteObject(info.hbmColor);
    }
    EXPECT_EQ(cursorOver(dialog, IDOK), LoadCursorA(0, IDC_ARROW)) << "the button keeps the arrow";
}

// The recorder stands in for the mail program and the browser. Wine 8 takes
// protocol handlers from HKLM\Software\Classes (what HKCR shows) only;
// Windows also reads HKCU\Software\Classes, where a user's own choice would
// win over this one, and needs administrator rights here.
TEST_F(AboutDialog, EachLinkNotificationOpensItsTargetOnce) {
    const std::string record = temp.file("record.txt");
    const std::string recorder = harness::recorderPath();
    environment.set("PEXOR_RECORD", record);
    harness::RegistryOverride registry;
    for (const char* protocol : {"mailto", "http"})
        ASSERT_TRUE(registry.setString(HKEY_CLASSES_ROOT, std::string(protocol) + "\\shell\\open\\command",
                                       nullptr, "\"" + recorder + "\" \"%1\""));
    ASSERT_TRUE(open() != 0);
    const std::string mail = "mailto:pexor@example.org?subject=Pexor";  // the blank-free caption here
    const struct {
        int id;
        WORD notification;
        const char* newText;  // replaces the web link's text first, when set
        std::string target;
    } cases[] = {
        {IDC_MAIL_LINK, STN_CLICKED, 0, mail},
        {IDC_MAIL_LINK, STN_DBLCLK, 0, mail},  // the second click of a double click
        {IDC_WEB_LINK, STN_CLICKED, 0, WEB_ADDRESS},
        {IDC_WEB_LINK, STN_DBLCLK, 0, WEB_ADDRESS},
        {IDC_WEB_LINK, STN_CLICKED, "http://www.example.org/neu?a=1 b", "http://www.example.org/neu?a=1 b"},
    };
    size_t count = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE("|" + c.target + "|");
        if (c.newText) SetDlgItemTextA(dialog, IDC_WEB_LINK, c.newText);
        HWND link = GetDlgItem(dialog, c.id);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(c.id, c.notification), (LPARAM)link);
        ASSERT_TRUE(harness::waitForRecords(record, ++count)) << harness::readFile(record);
        harness::Record r = harness::readRecords(record)[count - 1];
        EXPECT_EQ(r.commandLine, "\"" + recorder + "\" \"" + c.target + "\"");
    }
    // A marker run through the same shell: nothing else was started.
    ASSERT_GT((INT_PTR)ShellExecuteA(0, "open", recorder.c_str(), "ende", 0, SW_SHOWNORMAL), 32);
    ASSERT_TRUE(harness::waitForRecords(record, ++count));
    EXPECT_EQ(harness::readRecords(record).size(), count);
}

// ------------------------------------------------------ closing, colours

TEST_F(AboutDialog, OkEnterEscapeAndTheCloseBoxEndItWithOne) {
    const struct {
        const char* how;
        std::function<void(HWND)> close;
    } ways[] = {
        {"OK", [](HWND d) { PostMessageA(d, WM_COMMAND, IDOK, (LPARAM)GetDlgItem(d, IDOK)); }},
        {"Enter", [](HWND d) { PostMessageA(GetDlgItem(d, IDOK), WM_KEYDOWN, VK_RETURN, 0); }},
        {"Escape", [](HWND d) { PostMessageA(GetDlgItem(d, IDOK), WM_KEYDOWN, VK_ESCAPE, 0); }},
        {"close box", [](HWND d) { PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const auto& w : ways) {
        EXPECT_EQ(runModal(w.close), 1) << w.how;
        EXPECT_TRUE(aboutDialogWindow == 0) << w.how;
    }
}

TEST_F(AboutDialog, SystemColourChangeRedrawsThePicturesInTheNewFace) {
    ASSERT_TRUE(open() != 0);
    HBITMAP oldLogo = picture(dialog, IDC_ABOUT_LOGO);
    HBITMAP oldTitle = picture(dialog, IDC_ABOUT_TITLE);
    // The pictures' corners are the 3-D face grey 0xC0C0C0.
    EXPECT_EQ(pixelOf(oldLogo, 0, 0), GetSysColor(COLOR_3DFACE));
    EXPECT_EQ(pixelOf(oldTitle, 0, 0), GetSysColor(COLOR_3DFACE));

    const int elements[] = {COLOR_3DFACE, COLOR_3DSHADOW};
    const COLORREF saved[] = {GetSysColor(COLOR_3DFACE), GetSysColor(COLOR_3DSHADOW)};
    const COLORREF changed[] = {RGB(0x30, 0x90, 0x50), RGB(0x60, 0x10, 0x20)};
    ASSERT_TRUE(SetSysColors(2, elements, changed));  // sends WM_SYSCOLORCHANGE to every top window
    HBITMAP logo = picture(dialog, IDC_ABOUT_LOGO);
    HBITMAP title = picture(dialog, IDC_ABOUT_TITLE);
    EXPECT_NE(logo, oldLogo);
    EXPECT_EQ(GetObjectType(oldLogo), 0u) << "the old pictures are deleted";
    EXPECT_EQ(GetObjectType(oldTitle), 0u);
    EXPECT_EQ(pixelOf(logo, 0, 0), changed[0]);
    EXPECT_EQ(pixelOf(logo, 72, 40), changed[1]) << "the shadow";
    EXPECT_EQ(pixelOf(title, 0, 0), changed[0]);
    SetSysColors(2, elements, saved);
    EXPECT_EQ(pixelOf(picture(dialog, IDC_ABOUT_LOGO), 0, 0), saved[0]);
}

// Wine 8 answers GetGuiResources with 0 for both kinds; Windows counts the
// process's objects. Either way each closing must have deleted what its
// opening created.
TEST_F(AboutDialog, FiftyOpeningsLeaveNoFontBitmapOrCursorBehind) {
    HANDLE process = GetCurrentProcess();
    auto closeWith = [](DialogObjects* seen, int command) {
        return [seen, command](HWND d) {
            *seen = objectsOf(d);
            PostMessageA(d, WM_COMMAND, command, 0);
        };
    };
    DialogObjects seen;
    ::runModal([] { runAboutDialog(); return (INT_PTR)1; }, closeWith(&seen, IDOK));  // caches warm up
    DWORD gdiBefore = GetGuiResources(process, GR_GDIOBJECTS);
    DWORD userBefore = GetGuiResources(process, GR_USEROBJECTS);
    for (int i = 0; i < 50; i++) {
        ::runModal([] { runAboutDialog(); return (INT_PTR)1; }, closeWith(&seen, i % 2 ? IDOK : IDCANCEL));
        ASSERT_TRUE(seen.font && seen.logo && seen.title && seen.cursor) << "opening " << i;
        EXPECT_EQ(GetObjectType(seen.font), 0u) << i;
        EXPECT_EQ(GetObjectType(seen.logo), 0u) << i;
        EXPECT_EQ(GetObjectType(seen.title), 0u) << i;
        EXPECT_FALSE(cursorAlive(seen.cursor)) << i;
        ASSERT_TRUE(aboutDialogWindow == 0);
        if (HasFailure()) break;  // one leaking opening tells it all
    }
    DWORD gdiAfter = GetGuiResources(process, GR_GDIOBJECTS);
    DWORD userAfter = GetGuiResources(process, GR_USEROBJECTS);
    printf("GDI objects %lu -> %lu, USER objects %lu -> %lu after 50 openings\n", (unsigned long)gdiBefore,
           (unsigned long)gdiAfter, (unsigned long)userBefore, (unsigned long)userAfter);
    EXPECT_EQ(gdiAfter, gdiBefore);
    EXPECT_EQ(userAfter, userBefore);
}

}  // namespace
