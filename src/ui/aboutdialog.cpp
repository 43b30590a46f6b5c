// The About dialog (template 121): the version text as caption, two pictures
// in the current 3-D colours, the freeware notice, and two navy, underlined
// links under a hand cursor that open a mail to the support address and the
// web address.
#include "aboutdialog.h"

#include "../../res/resource.h"
#include "../base/textutil.h"
#include "../base/winutil_win32.h"
#include "../state/aboutinfo.h"
#include "../state/settings.h"
#include "commandbar.h"
#include "mainwindow.h"

static const COLORREF LINK_COLOUR = 0x800000;  // blue 128: navy
static const char LINK_FACE[] = "MS Sans Serif";
enum { LINK_FONT_TENTHS = 80 };  // 8 points, as the dialog's own font
static const char FILE_VERSION_KEY[] = "\\StringFileInfo\\040704b0\\FileVersion";

// What the open dialog holds; at most one is open at a time.
static HFONT linkFont;
static HBITMAP logoPicture;
static HBITMAP titlePicture;
static HCURSOR linkCursor;

// ------------------------------------------------------------ version text

typedef DWORD(WINAPI* VersionSizeFunction)(LPCSTR, LPDWORD);
typedef BOOL(WINAPI* VersionInfoFunction)(LPCSTR, DWORD, DWORD, LPVOID);
typedef BOOL(WINAPI* VersionQueryFunction)(LPCVOID, LPCSTR, LPVOID*, PUINT);

// GetProcAddress gives a generic function pointer; the detour through
// AnyFunction tells the compiler the change of type is meant.
static AnyFunction versionFunction(HMODULE library, const char* name) {
    return (AnyFunction)GetProcAddress(library, name);
}

// The FileVersion value of the German string table of the version block
// (at most capacity - 1 characters into value); 0 when there is none.
static int readFileVersion(HMODULE library, const char* modulePath, char* value, size_t capacity) {
    VersionSizeFunction getSize = (VersionSizeFunction)versionFunction(library, "GetFileVersionInfoSizeA");
    VersionInfoFunction getInfo = (VersionInfoFunction)versionFunction(library, "GetFileVersionInfoA");
    VersionQueryFunction query = (VersionQueryFunction)versionFunction(library, "VerQueryValueA");
    if (getSize == 0 || getInfo == 0 || query == 0) return 0;
    DWORD unused = 0;
    DWORD size = getSize(modulePath, &unused);
    if (size == 0) return 0;
    void* block = HeapAlloc(GetProcessHeap(), 0, size);
    if (block == 0) return 0;
    int found = 0;
    char* text = 0;
    UINT length = 0;
    if (getInfo(modulePath, 0, size, block) && query(block, FILE_VERSION_KEY, (LPVOID*)&text, &length) &&
        text != 0) {
        copyText(value, capacity, text);
        found = 1;
    }
    HeapFree(GetProcessHeap(), 0, block);
    return found;
}

void buildVersionTextOf(const char* modulePath, char* buffer) {
    char value[VERSION_TEXT_CAPACITY];
    int found = 0;
    HMODULE library = LoadLibraryA("VERSION.DLL");
    if (library != 0) {
        found = readFileVersion(library, modulePath, value, sizeof value);
        FreeLibrary(library);
    }
    formatVersionText(buffer, VERSION_TEXT_CAPACITY, found ? value : 0);
}

// The same for the running program.
static void buildVersionText(char* buffer) {
    char path[PATH_CAPACITY];
    modulePath(0, path, sizeof path);  // no usable path: no version
    buildVersionTextOf(path, buffer);
}

// --------------------------------------------------------------- the font

// A font of the given size in tenths of a point for dc; width 0 keeps the
// face's natural width. attributes: FONT_BOLD, FONT_ITALIC, FONT_UNDERLINE,
// FONT_STRIKEOUT (aboutinfo.h); escapement in tenths of a degree. With
// logical set the resolution is the one the device reports for text (its
// logical inch), otherwise its physical size. The caller deletes the font.
static HFONT createPointFont(HDC dc, const char* face, int height, int width, int attributes,
                             int escapement, int logical) {
    int saved = SaveDC(dc);
    // Sizes in plain device units: no transformation, no moved origins.
    XFORM identity = {1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f};
    SetGraphicsMode(dc, GM_ADVANCED);
    ModifyWorldTransform(dc, &identity, MWT_IDENTITY);
    SetViewportOrgEx(dc, 0, 0, 0);
    SetWindowOrgEx(dc, 0, 0, 0);

    double resolutionX, resolutionY;
    if (logical) {
        resolutionX = GetDeviceCaps(dc, LOGPIXELSX);
        resolutionY = GetDeviceCaps(dc, LOGPIXELSY);
    } else {
        resolutionX = physicalResolution(GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, HORZSIZE));
        resolutionY = physicalResolution(GetDeviceCaps(dc, VERTRES), GetDeviceCaps(dc, VERTSIZE));
    }
    DevicePoint device = pointToDeviceUnits(width, height, resolutionX, resolutionY);
    POINT point = {device.x, device.y};
    DPtoLP(dc, &point, 1);

    PointFontFields fields = pointFontFields(point.y, (uint32_t)attributes, escapement);
    LOGFONTA description;
    ZeroMemory(&description, sizeof description);
    description.lfHeight = fields.height;
    description.lfEscapement = fields.escapement;
    description.lfOrientation = fields.escapement;
    description.lfWeight = fields.weight;
    description.lfItalic = fields.italic;
    description.lfUnderline = fields.underline;
    description.lfStrikeOut = fields.strikeOut;
    copyText(description.lfFaceName, sizeof description.lfFaceName, face);
    HFONT font = CreateFontIndirectA(&description);

    if (width != 0 && font != 0) {
        // The face's average width at this height, scaled to the asked width.
        TEXTMETRICA metrics;
        HGDIOBJ previous = SelectObject(dc, font);
        int measured = GetTextMetricsA(dc, &metrics);
        SelectObject(dc, previous);
        DeleteObject(font);
        description.lfWidth = measured ? pointFontWidth(point.x, point.y, metrics.tmAveCharWidth) : 0;
        font = CreateFontIndirectA(&description);
    }
    RestoreDC(dc, saved);
    return font;
}

// ------------------------------------------------------------ the dialog

static HBITMAP loadPicture(int id) {
    // The greys of the pictures take the current 3-D colours.
    return (HBITMAP)LoadImageA(instanceHandle, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0,
                               LR_LOADMAP3DCOLORS | LR_DEFAULTSIZE);
}

static void deletePictures() {
    if (logoPicture != 0) DeleteObject(logoPicture);
    if (titlePicture != 0) DeleteObject(titlePicture);
    logoPicture = titlePicture = 0;
}

// The new pictures go into the controls before the old ones are deleted, so
// that no control ever holds a deleted bitmap.
static void showPictures(HWND dialog) {
    HBITMAP oldLogo = logoPicture;
    HBITMAP oldTitle = titlePicture;
    logoPicture = loadPicture(IDB_ABOUT_LOGO);
    titlePicture = loadPicture(IDB_ABOUT_PICTURE);
    SendDlgItemMessageA(dialog, IDC_ABOUT_LOGO, STM_SETIMAGE, IMAGE_BITMAP, (LPARAM)logoPicture);
    SendDlgItemMessageA(dialog, IDC_ABOUT_TITLE, STM_SETIMAGE, IMAGE_BITMAP, (LPARAM)titlePicture);
    if (oldLogo != 0) DeleteObject(oldLogo);
    if (oldTitle != 0) DeleteObject(oldTitle);
}

static void setLinkFont(HWND dialog) {
    HWND mailLink = GetDlgItem(dialog, IDC_MAIL_LINK);
    HDC dc = GetDC(mailLink);
    linkFont = createPointFont(dc, LINK_FACE, LINK_FONT_TENTHS, 0, FONT_UNDERLINE, 0, 1);
    ReleaseDC(mailLink, dc);
    SendDlgItemMessageA(dialog, IDC_MAIL_LINK, WM_SETFONT, (WPARAM)linkFont, TRUE);
    SendDlgItemMessageA(dialog, IDC_WEB_LINK, WM_SETFONT, (WPARAM)linkFont, TRUE);
}

static INT_PTR onInitDialog(HWND dialog) {
    aboutDialogWindow = dialog;
    setLinkFont(dialog);
    showPictures(dialog);
    char caption[VERSION_TEXT_CAPACITY];
    buildVersionText(caption);
    SetWindowTextA(dialog, caption);
    SetClassLongPtrA(dialog, GCLP_HICON, (LONG_PTR)LoadIconA(instanceHandle, MAKEINTRESOURCEA(IDI_PEXOR)));
    // A cursor of its own (not shared), so that closing can release it.
    linkCursor = (HCURSOR)LoadImageA(instanceHandle, MAKEINTRESOURCEA(IDC_LINKHAND), IMAGE_CURSOR, 0, 0,
                                     LR_DEFAULTSIZE);
    return TRUE;
}

static int isLink(HWND dialog, HWND control) {
    if (control == 0 || GetParent(control) != dialog) return 0;
    int id = GetDlgCtrlID(control);
    return id == IDC_MAIL_LINK || id == IDC_WEB_LINK;
}

static INT_PTR onCtlColorStatic(HWND dialog, HDC dc, HWND control) {
    if (!isLink(dialog, control)) return FALSE;
    SetTextColor(dc, LINK_COLOUR);
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return (INT_PTR)GetStockObject(NULL_BRUSH);
}

// The links answer hit tests (SS_NOTIFY), so the pointer over them asks the
// dialog for its cursor first.
static INT_PTR onSetCursor(HWND dialog, HWND pointed) {
    if (linkCursor == 0 || !isLink(dialog, pointed)) return FALSE;
    SetCursor(linkCursor);
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);
    return TRUE;
}

static void openLink(HWND dialog, const char* target) {
    ShellExecuteFunction shellExecute = lateBound<ShellExecuteFunction>(dialog, SHELL_EXECUTE);
    if (shellExecute != 0) shellExecute(0, "open", target, 0, 0, SW_SHOWNORMAL);
}

// A new mail to the support address whose subject is the version text.
static void openMailLink(HWND dialog) {
    char version[VERSION_TEXT_CAPACITY];
    char link[LINK_TARGET_CAPACITY];
    buildVersionText(version);
    formatMailLink(link, sizeof link, SUPPORT_ADDRESS, version);
    openLink(dialog, link);
}

// Exactly the text the web link shows.
static void openWebLink(HWND dialog) {
    char link[LINK_TARGET_CAPACITY];
    GetDlgItemTextA(dialog, IDC_WEB_LINK, link, LINK_TARGET_CAPACITY - 1);
    openLink(dialog, link);
}

static INT_PTR onCommand(HWND dialog, int id) {
    switch (id) {
    case IDOK:
    case IDCANCEL:
        EndDialog(dialog, 1);
        return TRUE;
    case IDC_MAIL_LINK:
        openMailLink(dialog);
        return TRUE;
    case IDC_WEB_LINK:
        openWebLink(dialog);
        return TRUE;
    default:
        return FALSE;
    }
}

static void onDestroy() {
    if (linkFont != 0) DeleteObject(linkFont);
    linkFont = 0;
    deletePictures();
    if (linkCursor != 0) {
        if (GetCursor() == linkCursor) SetCursor(LoadCursorA(0, IDC_ARROW));
        DestroyCursor(linkCursor);
        linkCursor = 0;
    }
    aboutDialogWindow = 0;
}

INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return onInitDialog(dialog);
    case WM_CTLCOLORSTATIC:
        return onCtlColorStatic(dialog, (HDC)wParam, (HWND)lParam);
    case WM_SETCURSOR:
        return onSetCursor(dialog, (HWND)wParam);
    case WM_COMMAND:
        return onCommand(dialog, LOWORD(wParam));
    case WM_SYSCOLORCHANGE:
        showPictures(dialog);
        return FALSE;
    case WM_DESTROY:
        onDestroy();
        return FALSE;
    default:
        return FALSE;
    }
}

void runAboutDialog(void) {
    DialogBoxParamA(instanceHandle, MAKEINTRESOURCEA(IDD_ABOUT), 0, aboutDialogProc, 0);
}
