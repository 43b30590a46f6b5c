// The tooltip manager against the real tooltip control: the tools a dialog
// gets and the control ids its text requests name, which mouse messages the
// thread hook relays and to which tooltip. (Only the command bar has one, so
// several dialogs' bindings are not gone through.)
#include "harness.h"

namespace {

enum { NOTIFY_STATIC_ID = 1070, PANEL_ID = 1080, PANEL_STATIC_ID = 1081, PANEL_BUTTON_ID = 1082 };
const UINT DELAY_MS = 300;  // none of the control's defaults

HWND child(HWND parent, const char* cls, DWORD style, int x, int y, int w, int h, int id) {
    return CreateWindowExA(0, cls, "x", WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent, (HMENU)(INT_PTR)id,
                           GetModuleHandleA(0), 0);
}

// A dialog laid out like the command bar (default button, drop-down combo box
// with its edit field inside, a grip static without SS_NOTIFY and a static
// with it), plus a panel holding a static and a button.
struct TestDialog {
    HWND window, button, combo, comboEdit, grip, notifyStatic, panel, panelStatic, panelButton;
    TestDialog() {
        window = CreateWindowExA(0, "#32770", "", WS_POPUP, 200, 200, 400, 140, 0, 0, 0, 0);
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
};

// Subclasses a tooltip control and writes down what the manager sends it.
struct TooltipSpy {
    explicit TooltipSpy(HWND tooltip) : tooltip(tooltip) {
        SetPropA(tooltip, "PexorSpy", this);
        previous = (WNDPROC)SetWindowLongPtrA(tooltip, GWLP_WNDPROC, (LONG_PTR)spyProc);
    }
    ~TooltipSpy() {
        if (IsWindow(tooltip)) SetWindowLongPtrA(tooltip, GWLP_WNDPROC, (LONG_PTR)previous);
    }
    static LRESULT CALLBACK spyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        TooltipSpy* spy = (TooltipSpy*)GetPropA(window, "PexorSpy");
        if (message == TTM_RELAYEVENT) spy->relayed.push_back(*(const MSG*)lParam);
        return CallWindowProcA(spy->previous, window, message, wParam, lParam);
    }
    HWND tooltip;
    WNDPROC previous;
    std::vector<MSG> relayed;
};

// Posts a message and takes it from the queue without dispatching it, so the
// controls never act on the made-up input; the hook runs all the same.
void postAndRetrieve(HWND target, UINT message, UINT remove = PM_REMOVE) {
    MSG msg;
    EXPECT_TRUE(PostMessageA(target, message, MK_SHIFT, MAKELPARAM(7, 9)));
    EXPECT_TRUE(PeekMessageA(&msg, target, message, message, remove)) << std::hex << message;
}

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

// Every control is a window tool of the dialog, except a static without
// SS_NOTIFY (transparent to the mouse): a rectangle of its parent. A text
// request names the dialog's direct child the tool lies in.
TEST_F(Tooltips, EachControlIsAToolAndItsTextRequestNamesTheDialogsChild) {
    const struct { UINT_PTR id; HWND hwnd; RECT rect; UINT named; } cases[] = {  // no rectangle: a window tool
        {(UINT_PTR)d.button, d.window, {}, IDC_DEFAULT_BUTTON},
        {(UINT_PTR)d.combo, d.window, {}, IDC_COMMAND_COMBO},
        {(UINT_PTR)d.comboEdit, d.window, {}, IDC_COMMAND_COMBO},
        {(UINT_PTR)d.notifyStatic, d.window, {}, NOTIFY_STATIC_ID},
        {(UINT_PTR)d.panel, d.window, {}, PANEL_ID},
        {(UINT_PTR)d.panelButton, d.window, {}, PANEL_ID},  // not the panel
        {IDC_GRIP, d.window, {4, 3, 16, 27}, IDC_GRIP},
        {PANEL_STATIC_ID, d.panel, {5, 6, 45, 26}, PANEL_STATIC_ID},
    };
    ASSERT_EQ(SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0), (LRESULT)(sizeof cases / sizeof cases[0]));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.named);
        TOOLINFOA tool = {};
        tool.cbSize = sizeof tool;
        tool.hwnd = c.hwnd;
        tool.uId = c.id;
        ASSERT_TRUE(SendMessageA(tooltip, TTM_GETTOOLINFOA, 0, (LPARAM)&tool));
        EXPECT_EQ(tool.hwnd, c.hwnd);  // a window tool is found by its id alone
        const bool window = c.rect.right == 0;
        EXPECT_EQ(tool.uFlags & (TTF_IDISHWND | TTF_SUBCLASS), window ? (UINT)TTF_IDISHWND : 0u);
        EXPECT_TRUE(window || EqualRect(&tool.rect, &c.rect)) << tool.rect.left << "," << tool.rect.top;
        NMTTDISPINFOA request = {};
        request.hdr = {tooltip, tool.uId, TTN_NEEDTEXTA};
        request.uFlags = tool.uFlags;
        EXPECT_EQ(tooltipControlId(&request), c.named);
    }
    EXPECT_EQ(GetWindow(tooltip, GW_OWNER), d.window);
    EXPECT_EQ(GetWindowLongA(tooltip, GWL_STYLE) & (TTS_ALWAYSTIP | TTS_NOPREFIX), TTS_ALWAYSTIP | TTS_NOPREFIX);
    for (WPARAM delay : {TTDT_INITIAL, TTDT_RESHOW})
        EXPECT_EQ(SendMessageA(tooltip, TTM_GETDELAYTIME, delay, 0), (LRESULT)DELAY_MS);
}

// Moves and left and right button presses and releases, over any window inside
// the dialog, reach its tooltip unchanged, peeked ones too; nothing else does,
// nor anything after shutdown.
TEST_F(Tooltips, HookRelaysTheDialogsMouseMessagesToItsTooltip) {
    TestDialog unbound;
    TooltipSpy spy(tooltip);
    auto relayed = [&](HWND target, UINT message, UINT remove = PM_REMOVE) {
        size_t before = spy.relayed.size();
        postAndRetrieve(target, message, remove);
        if (spy.relayed.size() == before) return false;
        const MSG& relay = spy.relayed.back();
        EXPECT_TRUE(relay.hwnd == target && relay.message == message && relay.wParam == MK_SHIFT &&
                    relay.lParam == MAKELPARAM(7, 9));
        return spy.relayed.size() == before + 1;
    };
    const struct { UINT message; bool relayed; } messages[] = {
        {WM_MOUSEMOVE, true},      {WM_LBUTTONDOWN, true}, {WM_LBUTTONUP, true},   {WM_RBUTTONDOWN, true},
        {WM_RBUTTONUP, true},      {WM_LBUTTONDBLCLK, false}, {WM_MBUTTONDOWN, false}, {WM_MOUSEWHEEL, false},
        {WM_NCMOUSEMOVE, false},   {WM_KEYDOWN, false},
    };
    for (const auto& c : messages) EXPECT_EQ(relayed(d.comboEdit, c.message), c.relayed) << std::hex << c.message;
    for (HWND target : {d.window, d.grip, d.button, d.panelStatic})
        EXPECT_TRUE(relayed(target, WM_LBUTTONDOWN)) << "control " << GetDlgCtrlID(target);
    EXPECT_TRUE(relayed(d.combo, WM_MOUSEMOVE, PM_NOREMOVE)) << "peeked";
    MSG left;
    EXPECT_TRUE(PeekMessageA(&left, d.combo, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE));  // relayed again
    for (HWND target : {unbound.window, unbound.comboEdit}) EXPECT_FALSE(relayed(target, WM_MOUSEMOVE));
    destroyDialogTooltip(unbound.window);  // it has none: the others stay
    EXPECT_EQ(findDialogTooltip(d.panelButton), tooltip);
    MSG direct = {d.combo, WM_MOUSEMOVE, 0, 0, 0, {0, 0}};
    tooltipMessageHook(-1, PM_REMOVE, (LPARAM)&direct);
    shutdownTooltips();
    EXPECT_FALSE(relayed(d.combo, WM_MOUSEMOVE)) << "no hook after shutdown";
    EXPECT_EQ(spy.relayed.size(), 11u) << "a negative code is only passed on";
    // Bindings are not released by shutdown; a new start forgets them.
    ASSERT_EQ(initTooltips(GetModuleHandleA(0)), 1);
    EXPECT_TRUE(findDialogTooltip(d.window) == 0);
    DestroyWindow(tooltip);
}

}  // namespace
