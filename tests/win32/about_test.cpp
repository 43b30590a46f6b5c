// The About dialog against the real dialog manager: template 121 as the
// built pexor.exe carries it, the caption from a real version resource, what
// the user reads and clicks on, the links' targets as the shell hands them to
// the program registered for their protocol (the recorder), the pictures
// after a system colour change, and the objects it leaves behind (none).
#include "harness.h"

#include "state/aboutinfo.h"
#include "ui/aboutdialog.h"

namespace {

HBITMAP picture(HWND dialog, int id) {
    return (HBITMAP)SendDlgItemMessageA(dialog, id, STM_GETIMAGE, IMAGE_BITMAP, 0);
}

COLORREF pixelOf(HBITMAP bitmap, int x, int y) {
    HDC dc = CreateCompatibleDC(0);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    COLORREF colour = GetPixel(dc, x, y);
    SelectObject(dc, previous);
    DeleteDC(dc);
    return colour;
}

HFONT fontOf(HWND dialog, int id) { return (HFONT)SendDlgItemMessageA(dialog, id, WM_GETFONT, 0, 0); }

// The cursor a move of the pointer over the control sets: the control asks
// its dialog first, then sets its class cursor.
HCURSOR cursorOver(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    SetCursor(0);
    SendMessageA(control, WM_SETCURSOR, (WPARAM)control, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return GetCursor();
}

class AboutDialog : public Win32Test {
protected:
    void TearDown() override {
        if (dialog != 0) DestroyWindow(dialog);
    }
    // The dialog as a modeless window, so that the test can look inside.
    HWND open() {
        return dialog = CreateDialogParamA(resources.module, MAKEINTRESOURCEA(IDD_ABOUT), 0, aboutDialogProc, 0);
    }
    harness::ProgramResources resources;
    HWND dialog = 0;
};

// The caption is the running program's version text: "Pexor V1.16" from
// pexor.exe's FileVersion "1.16" under 040704b0, "Pexor" from a file that is
// missing, as from this test program, which has no version resource. The
// pictures are the two bitmaps, their corners in the 3-D face grey (0xC0C0C0
// in the file), the notice arrives with its umlauts, the links show the
// addresses and can be clicked, and every text fits its control: a static
// wraps a text wider than itself and cuts off the second line.
TEST_F(AboutDialog, ShowsVersionIconPicturesInTheSystemsFaceNoticeAndLinksEachTextFittingItsControl) {
    for (const std::string& path : {harness::pexorPath(), temp.file("fehlt.exe")}) {
        char text[VERSION_TEXT_CAPACITY];
        buildVersionTextOf(path.c_str(), text);
        EXPECT_STREQ(text, path == harness::pexorPath() ? "Pexor V1.16" : "Pexor") << path;
    }
    // All dialogs share one class, whose icon the dialog sets: clear it first.
    HWND probe = CreateWindowExA(0, "#32770", "", WS_POPUP, 0, 0, 0, 0, 0, 0, 0, 0);
    SetClassLongPtrA(probe, GCLP_HICON, 0);
    DestroyWindow(probe);
    ASSERT_TRUE(open() != 0);
    EXPECT_EQ(harness::windowText(dialog), "Pexor") << "not the template's \"Info zu Pexor\"";
    EXPECT_TRUE(GetClassLongPtrA(dialog, GCLP_HICON) != 0) << "icon 135";
    for (const auto& p : {std::make_pair(IDC_ABOUT_LOGO, 80), std::make_pair(IDC_ABOUT_TITLE, 171)}) {
        BITMAP b = {};
        GetObjectA(picture(dialog, p.first), sizeof b, &b);
        EXPECT_EQ(b.bmWidth, p.second);
        EXPECT_EQ(pixelOf(picture(dialog, p.first), 0, 0), GetSysColor(COLOR_3DFACE));
    }
    for (int id : {IDC_MAIL_LINK, IDC_WEB_LINK})
        EXPECT_TRUE(GetWindowLongA(GetDlgItem(dialog, id), GWL_STYLE) & SS_NOTIFY) << "clicks reach the dialog";
    EXPECT_EQ(harness::windowText(GetDlgItem(dialog, IDC_MAIL_LINK)), SUPPORT_ADDRESS);
    EXPECT_EQ(harness::windowText(GetDlgItem(dialog, IDC_WEB_LINK)), WEB_ADDRESS);

    std::string notice;
    HDC dc = GetDC(dialog);
    for (HWND control = GetWindow(dialog, GW_CHILD); control != 0; control = GetWindow(control, GW_HWNDNEXT)) {
        const std::string text = harness::windowText(control);
        if (LOWORD(GetDlgCtrlID(control)) == 0xFFFF) notice += text + "\n";
        HGDIOBJ previous = SelectObject(dc, (HFONT)SendMessageA(control, WM_GETFONT, 0, 0));
        SIZE extent;
        GetTextExtentPoint32A(dc, text.c_str(), (int)text.size(), &extent);
        SelectObject(dc, previous);
        RECT client;
        GetClientRect(control, &client);
        EXPECT_TRUE(extent.cx <= client.right && extent.cy <= client.bottom) << "|" << text << "|";
    }
    ReleaseDC(dialog, dc);
    EXPECT_EQ(notice,
              "© 2026 Pexor-Team\n"
              "Pexor ist Freeware und darf ohne Lizenzgebühren wei-\n"
              "tergegeben werden. Der Autor übernimmt keine Haftung\n"
              "dafür, dass das Programm fehlerfrei funktioniert. Wenn\n"
              "Ihnen Pexor gefällt, freut sich der Autor über eine kur-\n"
              "ze E-Mail.\n");
    // A system colour change loads the pictures again in the new face.
    const HBITMAP oldLogo = picture(dialog, IDC_ABOUT_LOGO), oldTitle = picture(dialog, IDC_ABOUT_TITLE);
    const int elements[] = {COLOR_3DFACE, COLOR_3DSHADOW};
    const COLORREF saved[] = {GetSysColor(COLOR_3DFACE), GetSysColor(COLOR_3DSHADOW)};
    const COLORREF changed[] = {RGB(0x30, 0x90, 0x50), RGB(0x60, 0x10, 0x20)};
    ASSERT_TRUE(SetSysColors(2, elements, changed));  // sends WM_SYSCOLORCHANGE to every top window
    EXPECT_TRUE(GetObjectType(oldLogo) == 0 && GetObjectType(oldTitle) == 0) << "the old pictures are deleted";
    EXPECT_EQ(pixelOf(picture(dialog, IDC_ABOUT_LOGO), 0, 0), changed[0]);
    EXPECT_EQ(pixelOf(picture(dialog, IDC_ABOUT_LOGO), 72, 40), changed[1]) << "the shadow";
    EXPECT_EQ(pixelOf(picture(dialog, IDC_ABOUT_TITLE), 0, 0), changed[0]);
    SetSysColors(2, elements, saved);
}

// Both links in one 8-point underlined font (-11 at 96 dots per inch), navy
// over what is behind them, under the hand; any other control paints in the
// default colours, under the arrow. Nothing of it is left after closing.
TEST_F(AboutDialog, LinksAreUnderlinedNavyUnderAHandAndClosingLeavesNothingBehind) {
    ASSERT_TRUE(open() != 0);
    LOGFONTA font = {};
    ASSERT_TRUE(GetObjectA(fontOf(dialog, IDC_WEB_LINK), sizeof font, &font));
    EXPECT_EQ(fontOf(dialog, IDC_MAIL_LINK), fontOf(dialog, IDC_WEB_LINK));
    HDC dc = CreateCompatibleDC(0);
    EXPECT_TRUE(font.lfHeight == -MulDiv(8, GetDeviceCaps(dc, LOGPIXELSY), 72) && font.lfUnderline == 1);
    for (int id : {IDC_MAIL_LINK, IDC_WEB_LINK, IDOK}) {
        const bool link = id != IDOK;
        HGDIOBJ brush = (HGDIOBJ)SendMessageA(dialog, WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)GetDlgItem(dialog, id));
        EXPECT_EQ(brush, link ? GetStockObject(NULL_BRUSH) : GetSysColorBrush(COLOR_3DFACE)) << id;
        EXPECT_EQ(GetTextColor(dc), link ? (COLORREF)0x800000 : GetSysColor(COLOR_WINDOWTEXT)) << id;
        EXPECT_EQ(cursorOver(dialog, id) == LoadCursorA(0, IDC_ARROW), !link) << id;
    }
    DeleteDC(dc);
    // Closing deletes what opening created: the link font, both pictures and the hand cursor.
    HGDIOBJ made[] = {fontOf(dialog, IDC_MAIL_LINK), picture(dialog, IDC_ABOUT_LOGO), picture(dialog, IDC_ABOUT_TITLE)};
    HCURSOR hand = cursorOver(dialog, IDC_WEB_LINK);
    DestroyWindow(dialog);
    dialog = 0;
    for (HGDIOBJ object : made) EXPECT_TRUE(object != 0 && GetObjectType(object) == 0);
    ICONINFO info;
    EXPECT_TRUE(hand != 0 && !GetIconInfo(hand, &info)) << "the hand cursor";
}

}  // namespace
