// The least possible command bar, the yardstick of scripts/bench.sh: a topmost
// tool window with one focused drop-down combo box and a message loop, nothing
// else. Alt+F4 closes it (the default window procedure's doing).
//
// Built a second time with BENCH_RUN_LINE as minirun.exe: then Enter hands the
// typed line to a bare ShellExecuteA, the least a launcher can do with it, so
// that the time from Enter to the started program has a yardstick too.
//
// Started with any argument, the bar stays hidden and just waits: the bench
// keeps one such bar running throughout. Wine closes a desktop that no program
// has used for a second (an i686 program takes longer than that to end), and
// the next program to start would pay for starting it again, where on Windows
// the shell is always there.
#include <windows.h>
#ifdef BENCH_RUN_LINE
#include <shellapi.h>
#endif

// Not 1: the combo box reports its changes with its id, and 1 is IDOK.
enum { COMBO_ID = 100, LINE_CAPACITY = 260 };

static LRESULT CALLBACK barProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
#ifdef BENCH_RUN_LINE
        case WM_COMMAND:
            // IsDialogMessageA turns Enter in the field into IDOK.
            if (LOWORD(wParam) == IDOK) {
                char line[LINE_CAPACITY];
                GetDlgItemTextA(bar, COMBO_ID, line, sizeof line);
                ShellExecuteA(bar, "open", line, 0, 0, SW_SHOWNORMAL);
                return 0;
            }
            break;
#endif
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcA(bar, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    WNDCLASSA barClass = {};
    barClass.lpfnWndProc = barProc;
    barClass.hInstance = instance;
    barClass.hCursor = LoadCursorA(0, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    barClass.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    barClass.lpszClassName = "Minibar";
    if (!RegisterClassA(&barClass)) return 1;
    // Where and how large Pexor's bar is by default.
    HWND bar = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "Minibar", "Minibar",
                               WS_POPUP | WS_THICKFRAME, 10, 10, 200, 28, 0, 0, instance, 0);
    if (bar == 0) return 1;
    HWND box = CreateWindowExA(WS_EX_CLIENTEDGE, "COMBOBOX", "",
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN |
                                   CBS_AUTOHSCROLL,
                               0, 0, 190, 120, bar, (HMENU)COMBO_ID, instance, 0);
    if (box == 0) return 1;
    if (commandLine[0] == '\0') {
        ShowWindow(bar, SW_SHOWNORMAL);
        SetFocus(box);
    }
    MSG message;
    while (GetMessageA(&message, 0, 0, 0) > 0) {
        if (IsDialogMessageA(bar, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
