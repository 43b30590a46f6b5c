// The tooltip manager against the real tooltip control: which tools a dialog
// gets, which mouse messages the thread hook relays and to which tooltip,
// control ids for the dialog's text requests, activation, several bindings,
// and a tip that really shows under the pointer.
#include "harness.h"

#include <commctrl.h>

#include <map>
#include <vector>

#include "../../res/resource.h"
#include "tooltips/tooltips.h"

namespace {

enum { NOTIFY_STATIC_ID = 1070, PANEL_ID = 1080, PANEL_STATIC_ID = 1081, PANEL_BUTTON_ID = 1082 };
const UINT DELAY_MS = 100;

// What a dialog's procedure saw of its tooltip.
struct DialogNotes {
    std::vector<UINT> textRequests;  // tooltipControlId of each TTN_NEEDTEXT
    int shown = 0;                   // TTN_SHOW
};

INT_PTR CALLBACK testDialogProc(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        return TRUE;
    }
    if (message != WM_NOTIFY) return FALSE;
    DialogNotes* notes = (DialogNotes*)GetWindowLongPtrA(dialog, DWLP_USER);
    NMHDR* header = (NMHDR*)lParam;
    if (header->code == TTN_NEEDTEXTA) {
        NMTTDISPINFOA* info = (NMTTDISPINFOA*)lParam;
        UINT id = tooltipControlId(info);
        notes->textRequests.push_back(id);
        static char text[] = "c:\\programme\\gr\xF6\xDF" "e";  // größe: umlauts in a tip
        static char grip[] = "Verschieben";
        info->lpszText = id == IDC_COMMAND_COMBO ? text : id == IDC_GRIP ? grip : 0;
        return TRUE;
    }
    if (header->code == TTN_SHOW) notes->shown++;
    return FALSE;
}

// A dialog laid out like the command bar: default button, combo box (with its
// edit field inside), a grip static without SS_NOTIFY, and a static with it.
struct TestDialog {
    HWND window = 0, button = 0, combo = 0, comboEdit = 0, grip = 0, notifyStatic = 0;
    DialogNotes notes;

    explicit TestDialog(bool visible = false) {
        struct alignas(4) {
            DLGTEMPLATE header;
            WORD menu, windowClass, title;
        } empty = {};
        empty.header.style = WS_POPUP | WS_BORDER;
        window = CreateDialogIndirectParamA(GetModuleHandleA(0), &empty.header, 0, testDialogProc, (LPARAM)&notes);
        EXPECT_TRUE(window != 0);
        SetWindowPos(window, HWND_TOPMOST, 200, 200, 400, 40, SWP_NOACTIVATE | (visible ? SWP_SHOWWINDOW : 0));
        button = child("BUTTON", "Dummy", BS_DEFPUSHBUTTON, 330, 4, 60, 24, IDC_DEFAULT_BUTTON);
        grip = child("STATIC", "::", SS_LEFT, 4, 3, 12, 24, IDC_GRIP);
        combo = child("COMBOBOX", "", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL, 20, 3, 200, 150, IDC_COMMAND_COMBO);
        notifyStatic = child("STATIC", "Hinweis", SS_NOTIFY, 230, 6, 90, 20, NOTIFY_STATIC_ID);
        comboEdit = GetWindow(combo, GW_CHILD);
        EXPECT_TRUE(comboEdit != 0) << "a drop-down combo box has an edit field inside";
    }
    ~TestDialog() {
        while (findDialogTooltip(window) != 0) destroyDialogTooltip(window);
        DestroyWindow(window);
    }
    HWND child(const char* cls, const char* text, DWORD style, int x, int y, int w, int h, int id, HWND parent = 0) {
        return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent ? parent : window,
                               (HMENU)(INT_PTR)id, GetModuleHandleA(0), 0);
    }
    RECT rectIn(HWND control, HWND parent) const {
        RECT r;
        GetWindowRect(control, &r);
        MapWindowPoints(0, parent, (POINT*)&r, 2);
        return r;
    }
};

std::vector<TOOLINFOA> toolsOf(HWND tooltip) {
    std::vector<TOOLINFOA> tools;
    int count = (int)SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0);
    for (int i = 0; i < count; i++) {
        TOOLINFOA tool = {};
        tool.cbSize = sizeof tool;
        if (SendMessageA(tooltip, TTM_ENUMTOOLSA, i, (LPARAM)&tool)) tools.push_back(tool);
    }
    return tools;
}

const TOOLINFOA* toolFor(const std::vector<TOOLINFOA>& tools, UINT_PTR id) {
    for (const TOOLINFOA& tool : tools)
        if (tool.uId == id) return &tool;
    return 0;
}

// Subclasses a tooltip control and writes down what the manager sends it.
class TooltipSpy {
public:
    explicit TooltipSpy(HWND tooltip) : tooltip_(tooltip) {
        spies()[tooltip] = this;
        previous_ = (WNDPROC)SetWindowLongPtrA(tooltip, GWLP_WNDPROC, (LONG_PTR)spyProc);
    }
    ~TooltipSpy() {
        if (IsWindow(tooltip_)) SetWindowLongPtrA(tooltip_, GWLP_WNDPROC, (LONG_PTR)previous_);
        spies().erase(tooltip_);
    }
    std::vector<MSG> relayed;
    std::vector<WPARAM> activations;

private:
    static std::map<HWND, TooltipSpy*>& spies() {
        static std::map<HWND, TooltipSpy*> all;
        return all;
    }
    static LRESULT CALLBACK spyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        TooltipSpy* spy = spies()[window];
        if (message == TTM_RELAYEVENT) spy->relayed.push_back(*(const MSG*)lParam);
        if (message == TTM_ACTIVATE) {
            spy->activations.push_back(wParam);
            EXPECT_EQ(lParam, 0);
        }
        return CallWindowProcA(spy->previous_, window, message, wParam, lParam);
    }
    HWND tooltip_;
    WNDPROC previous_;
};

// Posts a message and takes it from the queue without dispatching it, so the
// controls never act on the made-up input; the hook runs all the same.
MSG postAndRetrieve(HWND target, UINT message, WPARAM wParam, LPARAM lParam, UINT remove = PM_REMOVE) {
    MSG msg = {};
    EXPECT_TRUE(PostMessageA(target, message, wParam, lParam));
    EXPECT_TRUE(PeekMessageA(&msg, target, message, message, remove)) << std::hex << message;
    return msg;
}

class Tooltips : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(initTooltips(GetModuleHandleA(0)), 1); }
    void TearDown() override { shutdownTooltips(); }
};

// ---------------------------------------------------------------- the tools

TEST_F(Tooltips, EveryControlIsCoveredByOneToolAskingTheDialogForItsText) {
    TestDialog d;
    HWND tooltip = createDialogTooltip(d.window, DELAY_MS);
    ASSERT_TRUE(tooltip != 0);
    std::vector<TOOLINFOA> tools = toolsOf(tooltip);
    EXPECT_EQ(tools.size(), 5u) << "button, combo box, its edit field and two statics";

    // Window tools: the control itself, reported to the dialog, never subclassed.
    for (HWND control : {d.button, d.combo, d.comboEdit, d.notifyStatic}) {
        const TOOLINFOA* tool = toolFor(tools, (UINT_PTR)control);
        ASSERT_TRUE(tool != 0) << "control " << GetDlgCtrlID(control);
        EXPECT_EQ(tool->uFlags & (TTF_IDISHWND | TTF_SUBCLASS), (UINT)TTF_IDISHWND);
        EXPECT_EQ(tool->hwnd, d.window);
        EXPECT_EQ(tool->hinst, GetModuleHandleA(0));
    }
    // The grip lets the mouse through to the dialog: a rectangle of the dialog.
    const TOOLINFOA* grip = toolFor(tools, IDC_GRIP);
    ASSERT_TRUE(grip != 0);
    EXPECT_EQ(grip->uFlags & (TTF_IDISHWND | TTF_SUBCLASS), 0u);
    EXPECT_EQ(grip->hwnd, d.window);
    RECT expected = d.rectIn(d.grip, d.window);
    EXPECT_TRUE(EqualRect(&grip->rect, &expected)) << grip->rect.left << "," << grip->rect.top;
    EXPECT_EQ(expected.left, 4);
    EXPECT_EQ(expected.bottom, 27);

    // The rectangle was fixed when the tool was added.
    MoveWindow(d.grip, 50, 10, 12, 24, FALSE);
    grip = toolFor(toolsOf(tooltip), IDC_GRIP);
    ASSERT_TRUE(grip != 0);
    EXPECT_TRUE(EqualRect(&grip->rect, &expected));
}

TEST_F(Tooltips, NestedStaticIsARectangleOfItsOwnParentAndOtherControlsReportToTheDialog) {
    TestDialog d;
    HWND panel = d.child("#32770", "", WS_BORDER, 10, 50, 200, 80, PANEL_ID);
    HWND inner = d.child("STATIC", "innen", 0, 5, 6, 40, 20, PANEL_STATIC_ID, panel);
    HWND innerButton = d.child("BUTTON", "OK", 0, 60, 6, 40, 20, PANEL_BUTTON_ID, panel);
    HWND tooltip = createDialogTooltip(d.window, DELAY_MS);
    ASSERT_TRUE(tooltip != 0);
    std::vector<TOOLINFOA> tools = toolsOf(tooltip);
    EXPECT_EQ(tools.size(), 8u);

    const TOOLINFOA* rect = toolFor(tools, PANEL_STATIC_ID);
    ASSERT_TRUE(rect != 0);
    EXPECT_EQ(rect->hwnd, panel);
    RECT expected = {5, 6, 45, 26};
    EXPECT_TRUE(EqualRect(&rect->rect, &expected)) << rect->rect.left << "," << rect->rect.top;
    EXPECT_EQ(d.rectIn(inner, panel).left, 5);

    const TOOLINFOA* window = toolFor(tools, (UINT_PTR)innerButton);
    ASSERT_TRUE(window != 0);
    EXPECT_EQ(window->hwnd, d.window);
}

TEST_F(Tooltips, TooltipControlHasTheDelaysStyleAndOwnerAsked) {
    TestDialog d;
    HWND tooltip = createDialogTooltip(d.window, DELAY_MS);
    ASSERT_TRUE(tooltip != 0);
    char cls[64] = "";
    GetClassNameA(tooltip, cls, sizeof cls);
    EXPECT_STREQ(cls, TOOLTIPS_CLASSA);
    EXPECT_EQ(GetWindow(tooltip, GW_OWNER), d.window);
    EXPECT_EQ(GetWindowLongA(tooltip, GWL_STYLE) & (TTS_ALWAYSTIP | TTS_NOPREFIX), TTS_ALWAYSTIP | TTS_NOPREFIX);
    EXPECT_EQ(SendMessageA(tooltip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), (LRESULT)DELAY_MS);
    EXPECT_EQ(SendMessageA(tooltip, TTM_GETDELAYTIME, TTDT_RESHOW, 0), (LRESULT)DELAY_MS);

    // The automatic hide keeps the control's own default.
    HWND plain = CreateWindowExA(0, TOOLTIPS_CLASSA, 0, 0, 0, 0, 0, 0, d.window, 0, 0, 0);
    ASSERT_TRUE(plain != 0);
    EXPECT_EQ(SendMessageA(tooltip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0),
              SendMessageA(plain, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0));
    DestroyWindow(plain);
}

static int tooltipWindowsOwnedBy(HWND owner) {
    struct Count {
        HWND owner;
        int n;
    } count = {owner, 0};
    EnumThreadWindows(GetCurrentThreadId(), [](HWND w, LPARAM p) -> BOOL {
        Count* c = (Count*)p;
        char cls[64] = "";
        GetClassNameA(w, cls, sizeof cls);
        if (GetWindow(w, GW_OWNER) == c->owner && lstrcmpiA(cls, TOOLTIPS_CLASSA) == 0) c->n++;
        return TRUE;
    }, (LPARAM)&count);
    return count.n;
}

TEST_F(Tooltips, FailedCreationLeavesNoTooltipWindowAndNoBinding) {
    // No control: EnumChildWindows reports 0 when it finds nothing to
    // enumerate (seen under Wine; Windows documents the value as unused).
    HWND lone = CreateWindowExA(0, "#32770", "", WS_POPUP, 0, 0, 50, 50, 0, 0, 0, 0);
    ASSERT_TRUE(lone != 0);
    EXPECT_TRUE(createDialogTooltip(lone, DELAY_MS) == 0);
    EXPECT_EQ(tooltipWindowsOwnedBy(lone), 0);
    EXPECT_TRUE(findDialogTooltip(lone) == 0);
    DestroyWindow(lone);

    // A dialog that is gone: the tooltip window cannot be created.
    EXPECT_TRUE(createDialogTooltip(lone, DELAY_MS) == 0);
    EXPECT_TRUE(findDialogTooltip(lone) == 0);
}

// ---------------------------------------------------------------- relaying

TEST_F(Tooltips, OnlyMovesAndLeftAndRightButtonPressesAndReleasesAreRelayed) {
    TestDialog d;
    HWND tooltip = createDialogTooltip(d.window, DELAY_MS);
    ASSERT_TRUE(tooltip != 0);
    TooltipSpy spy(tooltip);
    const struct {
        UINT message;
        bool relayed;
    } cases[] = {
        {WM_MOUSEMOVE, true},      {WM_LBUTTONDOWN, true},   {WM_LBUTTONUP, true},
        {WM_RBUTTONDOWN, true},    {WM_RBUTTONUP, true},     {WM_LBUTTONDBLCLK, false},
        {WM_RBUTTONDBLCLK, false}, {WM_MBUTTONDOWN, false},  {WM_MBUTTONUP, false},
        {WM_MBUTTONDBLCLK, false}, {WM_MOUSEWHEEL, false},   {WM_XBUTTONDOWN, false},
        {WM_NCMOUSEMOVE, false},   {WM_NCLBUTTONDOWN, false}, {WM_NCRBUTTONUP, false},
        {WM_MOUSELEAVE, false},    {WM_KEYDOWN, false},      {WM_USER, false},
    };
    for (const auto& c : cases) {
        size_t before = spy.relayed.size();
        MSG got = postAndRetrieve(d.comboEdit, c.message, MK_SHIFT, MAKELPARAM(7, 9));
        EXPECT_EQ(got.message, c.message);
        ASSERT_EQ(spy.relayed.size(), before + (c.relayed ? 1 : 0)) << "message 0x" << std::hex << c.message;
        if (!c.relayed) continue;
        const MSG& relay = spy.relayed.back();
        EXPECT_EQ(relay.hwnd, d.comboEdit);
        EXPECT_EQ(relay.message, c.message);
        EXPECT_EQ(relay.wParam, (WPARAM)MK_SHIFT);
        EXPECT_EQ(relay.lParam, MAKELPARAM(7, 9));
    }
}

TEST_F(Tooltips, MovesAnywhereInsideTheDialogReachItsTooltipAndOtherWindowsPassUnchanged) {
    TestDialog bound, unbound;
    HWND tooltip = createDialogTooltip(bound.window, DELAY_MS);
    ASSERT_TRUE(tooltip != 0);
    TooltipSpy spy(tooltip);
    for (HWND target : {bound.window, bound.combo, bound.comboEdit, bound.grip, bound.notifyStatic, bound.button}) {
        size_t before = spy.relayed.size();
        postAndRetrieve(target, WM_MOUSEMOVE, 0, MAKELPARAM(3, 4));
        ASSERT_EQ(spy.relayed.size(), before + 1) << "control " << GetDlgCtrlID(target);
        EXPECT_EQ(spy.relayed.back().hwnd, target);
    }
    size_t relayed = spy.relayed.size();
    for (HWND target : {unbound.window, unbound.comboEdit, unbound.grip}) {
        MSG got = postAndRetrieve(target, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 6));
        EXPECT_EQ(got.hwnd, target);
        EXPECT_EQ(got.wParam, (WPARAM)MK_LBUTTON);
        EXPECT_EQ(got.lParam, MAKELPARAM(5, 6));
    }
    EXPECT_EQ(spy.relayed.size(), relayed);
}

TEST_F(Tooltips, PeekedMessagesAreRelayedAsWell) {
    TestDialog d;
    HWND tooltip = createDialogTooltip(d.window, DELAY_MS);
    ASSERT_TRUE(tooltip != 0);
    TooltipSpy spy(tooltip);
    postAndRetrieve(d.combo, WM_MOUSEMOVE, 0, 0, PM_NOREMOVE);
    EXPECT_EQ(spy.relayed.size(), 1u);
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, d.combo, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE));
    EXPECT_EQ(spy.relayed.size(), 2u);
}

TEST_F(Tooltips, HookWorksBetweenInitAndShutdownAndInitStartsWithoutBindings) {
    TestDialog d;
    HWND tooltip = createDialogTooltip(d.window, DELAY_MS);
    ASSERT_TRUE(tooltip != 0);
    TooltipSpy spy(tooltip);
    postAndRetrieve(d.combo, WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(spy.relayed.size(), 1u);

    // A hook call with a negative code is only passed on.
    MSG direct = {d.combo, WM_MOUSEMOVE, 0, 0, 0, {0, 0}};
    tooltipMessageHook(-1, PM_REMOVE, (LPARAM)&direct);
    EXPECT_EQ(spy.relayed.size(), 1u);

    shutdownTooltips();
    postAndRetrieve(d.combo, WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(spy.relayed.size(), 1u) << "no hook after shutdown";

    // Bindings are not released by shutdown; a new start forgets them.
    ASSERT_EQ(initTooltips(GetModuleHandleA(0)), 1);
    EXPECT_TRUE(findDialogTooltip(d.window) == 0);
    DestroyWindow(tooltip);
}

// ---------------------------------------------------------------- lookups

TEST_F(Tooltips, TextRequestsNameTheDialogsDirectChild) {
    TestDialog d;
    HWND panel = d.child("#32770", "", 0, 10, 50, 200, 80, PANEL_ID);
    HWND innerButton = d.child("BUTTON", "OK", 0, 60, 6, 40, 20, PANEL_BUTTON_ID, panel);
    const struct {
        UINT_PTR idFrom;
        UINT flags;
        UINT expected;
    } cases[] = {
        {(UINT_PTR)d.comboEdit, TTF_IDISHWND, IDC_COMMAND_COMBO},
        {(UINT_PTR)d.combo, TTF_IDISHWND, IDC_COMMAND_COMBO},
        {(UINT_PTR)d.button, TTF_IDISHWND, IDC_DEFAULT_BUTTON},
        {(UINT_PTR)innerButton, TTF_IDISHWND, PANEL_ID},
        {IDC_GRIP, 0, IDC_GRIP},
        {PANEL_STATIC_ID, 0, PANEL_STATIC_ID},
    };
    for (const auto& c : cases) {
        NMTTDISPINFOA info = {};
        info.hdr.hwndFrom = (HWND)1;
        info.hdr.idFrom = c.idFrom;
        info.hdr.code = TTN_NEEDTEXTA;
        info.uFlags = c.flags;
        EXPECT_EQ(tooltipControlId(&info), c.expected) << "tool " << c.idFrom;
    }
}

TEST_F(Tooltips, LookupAndActivationGoFromAnyControlToItsDialog) {
    TestDialog d, other;
    HWND tooltip = createDialogTooltip(d.window, DELAY_MS);
    ASSERT_TRUE(tooltip != 0);
    for (HWND w : {d.window, d.combo, d.comboEdit, d.grip}) EXPECT_EQ(findDialogTooltip(w), tooltip);
    HWND ownedPopup = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, d.window, 0, 0, 0);
    EXPECT_TRUE(findDialogTooltip(ownedPopup) == 0) << "an owned popup is not part of the dialog";
    DestroyWindow(ownedPopup);
    EXPECT_TRUE(findDialogTooltip(other.comboEdit) == 0);

    TooltipSpy spy(tooltip);
    int tools = (int)SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0);
    activateDialogTooltip(d.comboEdit, FALSE);
    activateDialogTooltip(d.window, TRUE);
    activateDialogTooltip(other.window, FALSE);
    EXPECT_EQ(spy.activations, (std::vector<WPARAM>{0, 1}));
    EXPECT_EQ(SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0), tools) << "switching off keeps the tools";
    destroyDialogTooltip(other.window);  // no binding: nothing happens
    EXPECT_EQ(findDialogTooltip(d.window), tooltip);
}

TEST_F(Tooltips, ASecondTooltipForTheSameDialogWaitsUntilTheFirstIsDestroyed) {
    TestDialog d;
    HWND first = createDialogTooltip(d.window, DELAY_MS);
    HWND second = createDialogTooltip(d.window, DELAY_MS);
    ASSERT_TRUE(first != 0 && second != 0 && first != second);
    TooltipSpy firstSpy(first), secondSpy(second);

    EXPECT_EQ(findDialogTooltip(d.combo), first);
    activateDialogTooltip(d.window, FALSE);
    postAndRetrieve(d.comboEdit, WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(firstSpy.activations.size(), 1u);
    EXPECT_EQ(firstSpy.relayed.size(), 1u);
    EXPECT_TRUE(secondSpy.activations.empty() && secondSpy.relayed.empty());

    destroyDialogTooltip(d.window);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_TRUE(IsWindow(second));
    EXPECT_EQ(findDialogTooltip(d.combo), second);
    activateDialogTooltip(d.window, TRUE);
    postAndRetrieve(d.comboEdit, WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(secondSpy.activations, (std::vector<WPARAM>{1}));
    EXPECT_EQ(secondSpy.relayed.size(), 1u);

    destroyDialogTooltip(d.window);
    EXPECT_FALSE(IsWindow(second));
    EXPECT_TRUE(findDialogTooltip(d.window) == 0);
}

TEST_F(Tooltips, DestroyingOneDialogsTooltipKeepsTheOthersReachable) {
    TestDialog a, b, c;
    HWND ta = createDialogTooltip(a.window, DELAY_MS);
    HWND tb = createDialogTooltip(b.window, DELAY_MS);
    HWND tc = createDialogTooltip(c.window, DELAY_MS);
    ASSERT_TRUE(ta && tb && tc);

    destroyDialogTooltip(b.window);  // from the middle
    EXPECT_FALSE(IsWindow(tb));
    EXPECT_TRUE(findDialogTooltip(b.window) == 0);
    EXPECT_EQ(findDialogTooltip(a.window), ta);
    EXPECT_EQ(findDialogTooltip(c.window), tc);

    destroyDialogTooltip(a.window);  // the head
    EXPECT_TRUE(findDialogTooltip(a.window) == 0);
    EXPECT_EQ(findDialogTooltip(c.window), tc);
    HWND tb2 = createDialogTooltip(b.window, DELAY_MS);  // appended behind c
    EXPECT_EQ(findDialogTooltip(b.window), tb2);

    destroyDialogTooltip(c.window);
    destroyDialogTooltip(b.window);
    EXPECT_FALSE(IsWindow(tc) || IsWindow(tb2));
    EXPECT_TRUE(findDialogTooltip(b.window) == 0 && findDialogTooltip(c.window) == 0);
}

// ---------------------------------------------------------------- showing

// With the real pointer over a control, the relayed moves make the tooltip
// ask the dialog for a text and show it.
TEST_F(Tooltips, TipUnderThePointerAsksForTheControlsIdAndShows) {
    TestDialog d(true);
    HWND tooltip = createDialogTooltip(d.window, DELAY_MS);
    ASSERT_TRUE(tooltip != 0);
    activateDialogTooltip(d.window, TRUE);
    const struct {
        HWND under;
        UINT id;
    } cases[] = {{d.comboEdit, IDC_COMMAND_COMBO}, {d.grip, IDC_GRIP}};
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
        // Move away and let the tip go before the next control.
        SetCursorPos(0, 700);
        harness::pumpUntil([&] { return !IsWindowVisible(tooltip); });
    }
}

}  // namespace
