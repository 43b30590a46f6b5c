// The tooltip manager against the real tooltip control: which tools a dialog
// gets, which mouse messages the thread hook relays and to which tooltip,
// control ids for the dialog's text requests, activation, several bindings,
// and a tip that really shows under the pointer.
#include "harness.h"

#include <commctrl.h>

#include <vector>

#include "../../res/resource.h"
#include "tooltips/tooltips.h"

namespace {

enum { NOTIFY_STATIC_ID = 1070, PANEL_ID = 1080, PANEL_STATIC_ID = 1081, PANEL_BUTTON_ID = 1082 };
const UINT DELAY_MS = 300;  // none of the control's defaults

// What the dialog saw of its tooltip: the control id of each text request, and the tips shown.
struct DialogNotes {
    std::vector<UINT> textRequests;
    int shown = 0;
};

INT_PTR CALLBACK testDialogProc(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    if (message != WM_NOTIFY) return message == WM_INITDIALOG;
    DialogNotes* notes = (DialogNotes*)GetWindowLongPtrA(dialog, DWLP_USER);
    NMTTDISPINFOA* info = (NMTTDISPINFOA*)lParam;
    if (info->hdr.code == TTN_SHOW) notes->shown++;
    if (info->hdr.code != TTN_NEEDTEXTA) return FALSE;
    notes->textRequests.push_back(tooltipControlId(info));
    static char text[] = "c:\\programme\\gr\xF6\xDF" "e";
    info->lpszText = text;
    return TRUE;
}

// A dialog laid out like the command bar (default button, drop-down combo box
// with its edit field inside, a grip static without SS_NOTIFY and a static
// with it), plus a panel holding a static and a button.
struct TestDialog {
    HWND window, button, combo, comboEdit, grip, notifyStatic, panel, panelStatic, panelButton;
    DialogNotes notes;

    TestDialog() {
        struct alignas(4) {
            DLGTEMPLATE header;
            WORD menu, windowClass, title;
        } empty = {};
        empty.header.style = WS_POPUP | WS_BORDER;
        window = CreateDialogIndirectParamA(GetModuleHandleA(0), &empty.header, 0, testDialogProc, (LPARAM)&notes);
        SetWindowPos(window, HWND_TOPMOST, 200, 200, 400, 140, SWP_NOACTIVATE);
        button = child(window, "BUTTON", BS_DEFPUSHBUTTON, 330, 4, 60, 24, IDC_DEFAULT_BUTTON);
        grip = child(window, "STATIC", SS_LEFT, 4, 3, 12, 24, IDC_GRIP);
        combo = child(window, "COMBOBOX", CBS_DROPDOWN | CBS_AUTOHSCROLL, 20, 3, 200, 150, IDC_COMMAND_COMBO);
        notifyStatic = child(window, "STATIC", SS_NOTIFY, 230, 6, 90, 20, NOTIFY_STATIC_ID);
        panel = child(window, "#32770", WS_BORDER, 10, 50, 200, 80, PANEL_ID);
        panelStatic = child(panel, "STATIC", 0, 5, 6, 40, 20, PANEL_STATIC_ID);
        panelButton = child(panel, "BUTTON", 0, 60, 6, 40, 20, PANEL_BUTTON_ID);
        comboEdit = GetWindow(combo, GW_CHILD);
        EXPECT_TRUE(window != 0 && comboEdit != 0);
    }
    ~TestDialog() {
        while (findDialogTooltip(window) != 0) destroyDialogTooltip(window);
        DestroyWindow(window);
    }
    static HWND child(HWND parent, const char* cls, DWORD style, int x, int y, int w, int h, int id) {
        return CreateWindowExA(0, cls, "x", WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent, (HMENU)(INT_PTR)id,
                               GetModuleHandleA(0), 0);
    }
};

// Subclasses a tooltip control and writes down what the manager sends it.
class TooltipSpy {
public:
    explicit TooltipSpy(HWND tooltip) : tooltip_(tooltip) {
        SetPropA(tooltip, "PexorSpy", this);
        previous_ = (WNDPROC)SetWindowLongPtrA(tooltip, GWLP_WNDPROC, (LONG_PTR)spyProc);
    }
    ~TooltipSpy() {
        if (IsWindow(tooltip_)) SetWindowLongPtrA(tooltip_, GWLP_WNDPROC, (LONG_PTR)previous_);
    }
    std::vector<MSG> relayed;
    std::vector<WPARAM> activations;

private:
    static LRESULT CALLBACK spyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        TooltipSpy* spy = (TooltipSpy*)GetPropA(window, "PexorSpy");
        if (message == TTM_RELAYEVENT) spy->relayed.push_back(*(const MSG*)lParam);
        if (message == TTM_ACTIVATE) spy->activations.push_back(wParam);
        return CallWindowProcA(spy->previous_, window, message, wParam, lParam);
    }
    HWND tooltip_;
    WNDPROC previous_;
};

// Posts a message and takes it from the queue without dispatching it, so the
// controls never act on the made-up input; the hook runs all the same.
void postAndRetrieve(HWND target, UINT message, WPARAM wParam = 0, LPARAM lParam = 0, UINT remove = PM_REMOVE) {
    MSG msg;
    EXPECT_TRUE(PostMessageA(target, message, wParam, lParam));
    EXPECT_TRUE(PeekMessageA(&msg, target, message, message, remove)) << std::hex << message;
}

// A callback with the system's calling convention: on i686 a lambda's
// conversion gives a cdecl pointer, which EnumThreadWindows cannot take.
BOOL CALLBACK countTooltip(HWND w, LPARAM p) {
    char cls[64] = "";
    return *(int*)p += GetClassNameA(w, cls, sizeof cls) && lstrcmpiA(cls, TOOLTIPS_CLASSA) == 0, TRUE;
}

int tooltipWindowsOfThisThread() {
    int count = 0;
    return EnumThreadWindows(GetCurrentThreadId(), countTooltip, (LPARAM)&count), count;
}

// A started manager and a dialog with its tooltip.
class Tooltips : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(initTooltips(GetModuleHandleA(0)), 1);
        tooltip = createDialogTooltip(d.window, DELAY_MS);
        ASSERT_TRUE(tooltip != 0);
    }
    void TearDown() override { shutdownTooltips(); }
    TestDialog d;
    HWND tooltip = 0;
};

TEST_F(Tooltips, EveryControlGetsAWindowToolOfTheDialogExceptMouseTransparentStaticsARectangle) {
    const struct { UINT_PTR id; HWND hwnd; RECT rect; } cases[] = {  // no rectangle: a window tool
        {(UINT_PTR)d.button, d.window, {}},       {(UINT_PTR)d.combo, d.window, {}},
        {(UINT_PTR)d.comboEdit, d.window, {}},    {(UINT_PTR)d.notifyStatic, d.window, {}},
        {(UINT_PTR)d.panel, d.window, {}},        {(UINT_PTR)d.panelButton, d.window, {}},  // not the panel
        {IDC_GRIP, d.window, {4, 3, 16, 27}},     {PANEL_STATIC_ID, d.panel, {5, 6, 45, 26}},
    };
    ASSERT_EQ(SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0), (LRESULT)(sizeof cases / sizeof cases[0]));
    for (const auto& c : cases) {
        TOOLINFOA tool = {};
        tool.cbSize = sizeof tool;
        tool.hwnd = c.hwnd;
        tool.uId = c.id;
        ASSERT_TRUE(SendMessageA(tooltip, TTM_GETTOOLINFOA, 0, (LPARAM)&tool)) << "tool " << c.id;
        EXPECT_EQ(tool.hwnd, c.hwnd) << "tool " << c.id;  // a window tool is found by its id alone
        bool window = c.rect.right == 0;
        EXPECT_EQ(tool.uFlags & (TTF_IDISHWND | TTF_SUBCLASS), window ? (UINT)TTF_IDISHWND : 0u) << "tool " << c.id;
        EXPECT_EQ(tool.hinst, GetModuleHandleA(0));
        EXPECT_TRUE(window || EqualRect(&tool.rect, &c.rect)) << tool.rect.left << "," << tool.rect.top;
    }
}

TEST_F(Tooltips, TooltipControlHasTheDelaysStyleAndOwnerAsked) {
    EXPECT_EQ(GetWindow(tooltip, GW_OWNER), d.window);
    EXPECT_EQ(GetWindowLongA(tooltip, GWL_STYLE) & (TTS_ALWAYSTIP | TTS_NOPREFIX), TTS_ALWAYSTIP | TTS_NOPREFIX);
    EXPECT_EQ(SendMessageA(tooltip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), (LRESULT)DELAY_MS);
    EXPECT_EQ(SendMessageA(tooltip, TTM_GETDELAYTIME, TTDT_RESHOW, 0), (LRESULT)DELAY_MS);
    // The automatic hide keeps the control's own default.
    HWND plain = CreateWindowExA(0, TOOLTIPS_CLASSA, 0, 0, 0, 0, 0, 0, d.window, 0, 0, 0);
    EXPECT_EQ(SendMessageA(tooltip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0),
              SendMessageA(plain, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0));
    DestroyWindow(plain);
}

TEST_F(Tooltips, FailedCreationLeavesNoTooltipWindowAndNoBinding) {
    // No control: EnumChildWindows reports 0 when it finds nothing to
    // enumerate (seen under Wine; Windows documents the value as unused).
    HWND lone = CreateWindowExA(0, "#32770", "", WS_POPUP, 0, 0, 50, 50, 0, 0, 0, 0);
    int before = tooltipWindowsOfThisThread();
    EXPECT_TRUE(createDialogTooltip(lone, DELAY_MS) == 0);
    EXPECT_EQ(tooltipWindowsOfThisThread(), before);
    EXPECT_TRUE(findDialogTooltip(lone) == 0);
    DestroyWindow(lone);
    EXPECT_TRUE(createDialogTooltip(lone, DELAY_MS) == 0) << "a dialog that is gone";
    EXPECT_TRUE(findDialogTooltip(lone) == 0);
}

// Only moves and left and right button presses and releases, over any window
// inside the dialog, reach its tooltip, unchanged.
TEST_F(Tooltips, MouseMessagesInsideTheDialogAreRelayedToItsTooltip) {
    TestDialog unbound;
    TooltipSpy spy(tooltip);
    auto relayed = [&](HWND target, UINT message) {
        size_t before = spy.relayed.size();
        postAndRetrieve(target, message, MK_SHIFT, MAKELPARAM(7, 9));
        if (spy.relayed.size() == before) return false;
        const MSG& relay = spy.relayed.back();
        EXPECT_TRUE(relay.hwnd == target && relay.message == message && relay.wParam == MK_SHIFT &&
                    relay.lParam == MAKELPARAM(7, 9));
        return spy.relayed.size() == before + 1;
    };
    const struct { UINT message; bool relayed; } messages[] = {
        {WM_MOUSEMOVE, true},      {WM_LBUTTONDOWN, true},    {WM_LBUTTONUP, true},
        {WM_RBUTTONDOWN, true},    {WM_RBUTTONUP, true},      {WM_LBUTTONDBLCLK, false},
        {WM_RBUTTONDBLCLK, false}, {WM_MBUTTONDOWN, false},   {WM_MBUTTONUP, false},
        {WM_MBUTTONDBLCLK, false}, {WM_MOUSEWHEEL, false},    {WM_XBUTTONDOWN, false},
        {WM_NCMOUSEMOVE, false},   {WM_NCLBUTTONDOWN, false}, {WM_NCRBUTTONUP, false},
        {WM_MOUSELEAVE, false},    {WM_KEYDOWN, false},       {WM_USER, false},
    };
    for (const auto& c : messages) EXPECT_EQ(relayed(d.comboEdit, c.message), c.relayed) << std::hex << c.message;
    for (HWND target : {d.window, d.grip, d.button, d.panelStatic})
        EXPECT_TRUE(relayed(target, WM_LBUTTONDOWN)) << "control " << GetDlgCtrlID(target);
    for (HWND target : {unbound.window, unbound.comboEdit}) EXPECT_FALSE(relayed(target, WM_MOUSEMOVE));
}

TEST_F(Tooltips, HookRelaysPeekedMessagesTooAndOnlyBetweenInitAndShutdown) {
    TooltipSpy spy(tooltip);
    postAndRetrieve(d.combo, WM_MOUSEMOVE, 0, 0, PM_NOREMOVE);
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, d.combo, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE));  // the same once more
    EXPECT_EQ(spy.relayed.size(), 2u);
    MSG direct = {d.combo, WM_MOUSEMOVE, 0, 0, 0, {0, 0}};
    tooltipMessageHook(-1, PM_REMOVE, (LPARAM)&direct);
    EXPECT_EQ(spy.relayed.size(), 2u) << "a negative code is only passed on";

    shutdownTooltips();
    postAndRetrieve(d.combo, WM_MOUSEMOVE);
    EXPECT_EQ(spy.relayed.size(), 2u) << "no hook after shutdown";
    // Bindings are not released by shutdown; a new start forgets them.
    ASSERT_EQ(initTooltips(GetModuleHandleA(0)), 1);
    EXPECT_TRUE(findDialogTooltip(d.window) == 0);
    DestroyWindow(tooltip);
}

TEST_F(Tooltips, TextRequestsNameTheDialogsDirectChild) {
    const struct { UINT_PTR idFrom; UINT flags; UINT expected; } cases[] = {
        {(UINT_PTR)d.comboEdit, TTF_IDISHWND, IDC_COMMAND_COMBO}, {(UINT_PTR)d.combo, TTF_IDISHWND, IDC_COMMAND_COMBO},
        {(UINT_PTR)d.button, TTF_IDISHWND, IDC_DEFAULT_BUTTON},   {(UINT_PTR)d.panelButton, TTF_IDISHWND, PANEL_ID},
        {IDC_GRIP, 0, IDC_GRIP},                                  {PANEL_STATIC_ID, 0, PANEL_STATIC_ID},
    };
    for (const auto& c : cases) {
        NMTTDISPINFOA info = {};
        info.hdr.idFrom = c.idFrom;
        info.hdr.code = TTN_NEEDTEXTA;
        info.uFlags = c.flags;
        EXPECT_EQ(tooltipControlId(&info), c.expected) << "tool " << c.idFrom;
    }
}

TEST_F(Tooltips, LookupAndActivationGoFromAnyControlToItsDialog) {
    TestDialog other;
    for (HWND w : {d.window, d.comboEdit, d.grip, d.panelButton}) EXPECT_EQ(findDialogTooltip(w), tooltip);
    HWND ownedPopup = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, d.window, 0, 0, 0);
    EXPECT_TRUE(findDialogTooltip(ownedPopup) == 0) << "an owned popup is not part of the dialog";
    DestroyWindow(ownedPopup);
    EXPECT_TRUE(findDialogTooltip(other.comboEdit) == 0);

    TooltipSpy spy(tooltip);
    activateDialogTooltip(d.comboEdit, FALSE);
    activateDialogTooltip(d.window, TRUE);
    activateDialogTooltip(other.window, FALSE);
    EXPECT_EQ(spy.activations, (std::vector<WPARAM>{0, 1}));
    destroyDialogTooltip(other.window);  // no binding: nothing happens
    EXPECT_EQ(findDialogTooltip(d.window), tooltip);
}

TEST_F(Tooltips, ASecondTooltipForTheSameDialogWaitsUntilTheFirstIsDestroyed) {
    HWND first = tooltip, second = createDialogTooltip(d.window, DELAY_MS);
    ASSERT_TRUE(second != 0 && first != second);
    TooltipSpy firstSpy(first), secondSpy(second);
    for (TooltipSpy* active : {&firstSpy, &secondSpy}) {
        activateDialogTooltip(d.window, TRUE);
        postAndRetrieve(d.comboEdit, WM_MOUSEMOVE);
        EXPECT_EQ(active->activations.size(), 1u);
        EXPECT_EQ(active->relayed.size(), 1u);
        destroyDialogTooltip(d.window);
    }
    EXPECT_FALSE(IsWindow(first) || IsWindow(second));
    EXPECT_TRUE(findDialogTooltip(d.window) == 0);
}

TEST_F(Tooltips, DestroyingOneDialogsTooltipKeepsTheOthersReachable) {
    TestDialog b, c;
    HWND ta = tooltip, tb = createDialogTooltip(b.window, DELAY_MS), tc = createDialogTooltip(c.window, DELAY_MS);
    auto found = [&] {
        return std::vector<HWND>{findDialogTooltip(d.window), findDialogTooltip(b.window), findDialogTooltip(c.window)};
    };
    destroyDialogTooltip(b.window);  // from the middle
    EXPECT_FALSE(IsWindow(tb));
    EXPECT_EQ(found(), (std::vector<HWND>{ta, 0, tc}));
    destroyDialogTooltip(d.window);  // the head
    EXPECT_EQ(found(), (std::vector<HWND>{0, 0, tc}));
    tb = createDialogTooltip(b.window, DELAY_MS);  // appended behind c
    destroyDialogTooltip(c.window);                // the tail
    EXPECT_EQ(found(), (std::vector<HWND>{0, tb, 0}));
}

// With the real pointer over a control, the relayed moves make the tooltip
// ask the dialog for a text and show it.
TEST_F(Tooltips, TipUnderThePointerAsksForTheControlsIdAndShows) {
    ShowWindow(d.window, SW_SHOWNOACTIVATE);
    activateDialogTooltip(d.window, TRUE);
    const struct { HWND under; UINT id; } cases[] = {{d.comboEdit, IDC_COMMAND_COMBO}, {d.grip, IDC_GRIP}};
    for (const auto& c : cases) {
        d.notes = DialogNotes();
        RECT r;
        GetWindowRect(c.under, &r);
        SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        // The move arrives as real input: Wine warps the X pointer and gets
        // the motion back, Windows queues a WM_MOUSEMOVE after SetCursorPos.
        ASSERT_TRUE(harness::pumpUntil([&] { return d.notes.shown > 0; })) << "no tip over control " << c.id;
        ASSERT_FALSE(d.notes.textRequests.empty());
        EXPECT_EQ(d.notes.textRequests.back(), c.id);
        EXPECT_TRUE(IsWindowVisible(tooltip));
        SetCursorPos(0, 700);  // away, and let the tip go before the next control
        harness::pumpUntil([&] { return !IsWindowVisible(tooltip); });
    }
}

}  // namespace
