// The tooltip manager: one tooltip control per dialog, covering every control
// inside it. The tools are registered without TTF_SUBCLASS, so the controls
// keep their own window procedures; a WH_GETMESSAGE hook on the GUI thread
// relays the mouse messages instead, to the tooltip of the dialog that
// contains the message's window.
#include "tooltips.h"

#include <stdlib.h>

enum {
    CLASS_NAME_CAPACITY = 64,  // only "static" is compared; a longer name cut short is no match
    // The control's own default stays in force for the automatic hide.
    TOOLTIP_STYLE = TTS_ALWAYSTIP | TTS_NOPREFIX
};

// TOOLINFOA in the form that ends with lParam (44 bytes on 32-bit Windows),
// which every version of the common controls understands.
static const UINT TOOL_RECORD_SIZE = TTTOOLINFOA_V2_SIZE;

static HINSTANCE moduleInstance;
static HHOOK messageHook;
static TooltipBinding* bindingHead;

static int isChildWindow(HWND window) {
    return (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) != 0;
}

int initTooltips(HINSTANCE instance) {
    moduleInstance = instance;
    bindingHead = 0;
    INITCOMMONCONTROLSEX controls;
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_TAB_CLASSES;
    InitCommonControlsEx(&controls);
    messageHook = SetWindowsHookExA(WH_GETMESSAGE, tooltipMessageHook, instance, GetCurrentThreadId());
    return messageHook != 0 ? 1 : 0;
}

void shutdownTooltips() {
    UnhookWindowsHookEx(messageHook);
    messageHook = 0;
}

// One tool for one descendant of the dialog. A static control without
// SS_NOTIFY is transparent to the mouse, so its messages arrive at its parent:
// it gets a rectangle of that parent. Every other control gets itself.
static BOOL CALLBACK addToolStep(HWND window, LPARAM tooltipParam) {
    HWND tooltip = (HWND)tooltipParam;
    HWND parent = GetParent(window);
    char className[CLASS_NAME_CAPACITY];
    if (GetClassNameA(window, className, sizeof className) == 0) className[0] = 0;

    TOOLINFOA tool;
    ZeroMemory(&tool, sizeof tool);
    tool.cbSize = TOOL_RECORD_SIZE;
    tool.hinst = moduleInstance;
    tool.lpszText = LPSTR_TEXTCALLBACKA;

    if (lstrcmpiA(className, "static") != 0 || (GetWindowLongA(window, GWL_STYLE) & SS_NOTIFY) != 0) {
        while (parent != 0 && isChildWindow(parent)) parent = GetParent(parent);
        tool.uFlags = TTF_IDISHWND;
        tool.uId = (UINT_PTR)window;
        tool.hwnd = parent;
    } else {
        RECT rect;
        GetWindowRect(window, &rect);
        POINT topLeft = {rect.left, rect.top};
        POINT bottomRight = {rect.right, rect.bottom};
        ScreenToClient(parent, &topLeft);
        ScreenToClient(parent, &bottomRight);
        tool.uFlags = 0;
        tool.uId = (UINT_PTR)GetDlgCtrlID(window);
        tool.hwnd = parent;
        tool.rect.left = topLeft.x;
        tool.rect.top = topLeft.y;
        tool.rect.right = bottomRight.x;
        tool.rect.bottom = bottomRight.y;
    }
    return SendMessageA(tooltip, TTM_ADDTOOLA, 0, (LPARAM)&tool) != 0;
}

static void appendBinding(TooltipBinding* binding) {
    if (bindingHead == 0) {
        bindingHead = binding;
        return;
    }
    TooltipBinding* last = bindingHead;
    while (last->next != 0) last = last->next;
    last->next = binding;
    binding->prev = last;
}

HWND createDialogTooltip(HWND dialog, UINT delayMilliseconds) {
    HWND tooltip = CreateWindowExA(0, TOOLTIPS_CLASSA, 0, TOOLTIP_STYLE, CW_USEDEFAULT, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, dialog, 0, moduleInstance, 0);
    if (tooltip == 0) return 0;
    SendMessageA(tooltip, TTM_SETDELAYTIME, TTDT_INITIAL, (LPARAM)delayMilliseconds);
    SendMessageA(tooltip, TTM_SETDELAYTIME, TTDT_RESHOW, (LPARAM)delayMilliseconds);

    // Also 0 when the dialog has no child window at all: nothing to cover.
    if (!EnumChildWindows(dialog, addToolStep, (LPARAM)tooltip)) {
        DestroyWindow(tooltip);
        return 0;
    }
    TooltipBinding* binding = (TooltipBinding*)malloc(sizeof *binding);
    if (binding == 0) {
        DestroyWindow(tooltip);
        return 0;
    }
    binding->owner = dialog;
    binding->tooltip = tooltip;
    binding->prev = 0;
    binding->next = 0;
    appendBinding(binding);
    return tooltip;
}

void destroyDialogTooltip(HWND dialog) {
    TooltipBinding* binding = bindingHead;
    while (binding != 0 && binding->owner != dialog) binding = binding->next;
    if (binding == 0) return;
    DestroyWindow(binding->tooltip);
    if (binding->prev != 0) binding->prev->next = binding->next;
    if (binding->next != 0) binding->next->prev = binding->prev;
    if (binding == bindingHead) bindingHead = binding->next;
    free(binding);
}

void activateDialogTooltip(HWND window, BOOL on) {
    HWND tooltip = findDialogTooltip(window);
    if (tooltip != 0) SendMessageA(tooltip, TTM_ACTIVATE, (WPARAM)on, 0);
}

HWND findDialogTooltip(HWND window) {
    if (bindingHead == 0) return 0;
    while (window != 0 && isChildWindow(window)) window = GetParent(window);
    for (TooltipBinding* binding = bindingHead; binding != 0; binding = binding->next) {
        if (binding->owner == window) return binding->tooltip;
    }
    return 0;
}

UINT tooltipControlId(const NMTTDISPINFOA* info) {
    if ((info->uFlags & TTF_IDISHWND) == 0) return (UINT)info->hdr.idFrom;
    // A window tool may be a control inside a control (the edit field of a
    // combo box): the dialog knows the ancestor that is its direct child.
    HWND window = (HWND)info->hdr.idFrom;
    for (;;) {
        HWND parent = GetParent(window);
        if (parent == 0 || !isChildWindow(parent)) break;
        window = parent;
    }
    return (UINT)GetDlgCtrlID(window);
}

static int isRelayedMouseMessage(UINT message) {
    switch (message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        return 1;
    default:
        return 0;
    }
}

// Runs inside every message retrieval of the thread, peeks included.
LRESULT CALLBACK tooltipMessageHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code >= 0) {
        const MSG* message = (const MSG*)lParam;
        if (isRelayedMouseMessage(message->message)) {
            HWND tooltip = findDialogTooltip(message->hwnd);
            if (tooltip != 0) {
                MSG relay;
                ZeroMemory(&relay, sizeof relay);
                relay.hwnd = message->hwnd;
                relay.message = message->message;
                relay.wParam = message->wParam;
                relay.lParam = message->lParam;
                SendMessageA(tooltip, TTM_RELAYEVENT, 0, (LPARAM)&relay);
            }
        }
    }
    return CallNextHookEx(messageHook, code, wParam, lParam);
}
