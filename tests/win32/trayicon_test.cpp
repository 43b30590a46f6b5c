// The tray icon: the record sent to the shell (seen through this program's
// import of Shell_NotifyIconA, which the linked-in product calls), the
// trayIconShown flag, and the icon in Wine's real notification area.
#include "harness.h"

#include <shellapi.h>
#include <string.h>

#include <string>

#include "../../res/resource.h"
#include "ui/mainwindow.h"
#include "ui/trayicon.h"

namespace {

// The fake shell keeps the last request and gives a chosen answer.
int calls;
DWORD sentMessage;
NOTIFYICONDATAA sent;
BOOL shellAnswer;

BOOL WINAPI fakeShellNotifyIcon(DWORD message, PNOTIFYICONDATAA data) {
    calls++;
    sentMessage = message;
    sent = NOTIFYICONDATAA();
    memcpy(&sent, data, data->cbSize < sizeof sent ? data->cbSize : sizeof sent);
    return shellAnswer;
}

// The import slot through which the linked-in product calls the shell.
extern "C" void* shellNotifyImport __asm__(
#ifdef _WIN64
    "__imp_Shell_NotifyIconA");
#else
    "__imp__Shell_NotifyIconA@8");
#endif

int clicks;  // left button releases reported for icon 1

LRESULT CALLBACK ownerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == TRAY_CALLBACK_MESSAGE && wParam == 1 && lParam == WM_LBUTTONUP) clicks++;
    return DefWindowProcA(window, message, wParam, lParam);
}

// Wine shows each icon as a window inside its standalone tray window.
size_t wineTrayIconCount(HWND* last = 0) {
    size_t count = 0;
    HWND tray = FindWindowA("__winex11_standalone_tray", 0);
    for (HWND icon = tray ? GetWindow(tray, GW_CHILD) : 0; icon != 0; icon = GetWindow(icon, GW_HWNDNEXT))
        if (IsWindowVisible(icon)) count++, last && (*last = icon);
    return count;
}

// The product's requests go to the fake shell unless a test asks for the real one.
class TrayIcon : public ::testing::Test {
protected:
    void SetUp() override {
        DWORD protection;
        VirtualProtect(&shellNotifyImport, sizeof(void*), PAGE_READWRITE, &protection);
        shellNotifyImport = (void*)fakeShellNotifyIcon;
        calls = clicks = 0;
        // Icon 135 lives in pexor.exe, which the build puts three levels up.
        char self[MAX_PATH];
        std::string path(self, GetModuleFileNameA(0, self, sizeof self));
        for (int up = 0; up < 3; up++) path.resize(path.find_last_of('\\'));
        program = LoadLibraryExA((path + "\\pexor.exe").c_str(), 0, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_TRUE(program != 0) << path << "\\pexor.exe (build pexor first)";
        instanceHandle = program;
        WNDCLASSA cls = {};
        cls.lpfnWndProc = ownerProc;
        cls.lpszClassName = "PexorTrayTestOwner";
        RegisterClassA(&cls);
        owner = CreateWindowExA(0, cls.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, 0, 0, 0, 0);
    }
    void TearDown() override {
        shellNotifyImport = realShell;
        DestroyWindow(owner);  // Wine removes an icon left behind with its owner
        instanceHandle = savedInstance;
        trayIconShown = savedShown;
        if (program != 0) FreeLibrary(program);
    }
    void* realShell = shellNotifyImport;
    HMODULE program = 0;
    HINSTANCE savedInstance = instanceHandle;
    int savedShown = trayIconShown;
    HWND owner = 0;
};

TEST_F(TrayIcon, RequestNamesOwnerIdIconAndTipCutTo63AndTheFlagFollowsTheRequest) {
    const std::string x63(63, 'x'), cut = std::string(60, 'x') + "\xE4\xF6\xFC", x64 = cut + "\xDF";
    const struct {
        DWORD message;
        int iconChoice;
        const char* tip;
        BOOL answer;
        UINT flags;
        std::string sentTip;
    } cases[] = {
        {NIM_ADD, 1, "Pexor", TRUE, NIF_MESSAGE | NIF_ICON | NIF_TIP, "Pexor"},
        {NIM_DELETE, 0, 0, TRUE, NIF_MESSAGE | NIF_ICON, ""},
        {NIM_ADD, -1, "Pexor", TRUE, NIF_MESSAGE | NIF_TIP, "Pexor"},  // no icon asked for
        {NIM_ADD, 1, "", TRUE, NIF_MESSAGE | NIF_ICON | NIF_TIP, ""},
        {NIM_ADD, 1, x63.c_str(), TRUE, NIF_MESSAGE | NIF_ICON | NIF_TIP, x63},
        {NIM_ADD, 1, x64.c_str(), TRUE, NIF_MESSAGE | NIF_ICON | NIF_TIP, cut},
        // Refused (no taskbar): the flag is set all the same, so a failed
        // add is not retried and the delete at exit is still sent.
        {NIM_ADD, 1, "Pexor", FALSE, NIF_MESSAGE | NIF_ICON | NIF_TIP, "Pexor"},
        {NIM_DELETE, 0, 0, FALSE, NIF_MESSAGE | NIF_ICON, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.message == NIM_ADD ? "add |" : "delete |") + (c.tip ? c.tip : "") + "|");
        calls = 0;
        shellAnswer = c.answer;
        trayIconShown = c.message == NIM_DELETE;
        EXPECT_EQ(notifyTrayIcon(owner, c.message, 7, c.iconChoice, c.tip), c.answer);
        EXPECT_EQ(trayIconShown, c.message == NIM_ADD ? 1 : 0);
        ASSERT_EQ(calls, 1);
        EXPECT_EQ(sentMessage, c.message);
        EXPECT_EQ(sent.cbSize, (DWORD)NOTIFYICONDATAA_V1_SIZE);  // 88 bytes on 32-bit Windows
        EXPECT_TRUE(sent.hWnd == owner && sent.uID == 7 && sent.uCallbackMessage == TRAY_CALLBACK_MESSAGE);
        EXPECT_EQ(sent.uFlags, c.flags);
        EXPECT_EQ(sent.hIcon != 0, c.iconChoice >= 0);
        EXPECT_EQ(std::string(sent.szTip), c.sentTip);
    }
}

TEST_F(TrayIcon, IconThatCannotBeLoadedSendsNothingAndKeepsTheFlag) {
    instanceHandle = GetModuleHandleA(0);  // the test program has no icon 135
    for (int shown : {0, 1}) {
        trayIconShown = shown;
        EXPECT_EQ(notifyTrayIcon(owner, NIM_ADD, 1, 1, "Pexor"), 0);
        EXPECT_EQ(notifyTrayIcon(owner, NIM_DELETE, 1, 0, 0), 0);
        EXPECT_EQ(trayIconShown, shown);
    }
    EXPECT_EQ(calls, 0);
    // Removing asks for no icon, so it is sent all the same.
    shellAnswer = TRUE;
    EXPECT_NE(removeTrayIcon(owner), 0);
    EXPECT_TRUE(calls == 1 && sentMessage == NIM_DELETE && sent.uID == TRAY_ICON_ID && sent.uFlags == NIF_MESSAGE);
    EXPECT_EQ(trayIconShown, 0);
}

TEST_F(TrayIcon, RealIconReportsClicksToItsOwnerUntilDeleted) {
    if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") == 0) GTEST_SKIP() << "Wine's tray only";
    shellNotifyImport = realShell;
    size_t before = wineTrayIconCount();
    HWND icon = 0;
    ASSERT_NE(notifyTrayIcon(owner, NIM_ADD, 1, 1, "Pexor"), 0);
    ASSERT_TRUE(harness::pumpUntil([&] { return wineTrayIconCount(&icon) == before + 1; }));
    RECT r;
    GetWindowRect(icon, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    EXPECT_TRUE(harness::pumpUntil([] { return clicks > 0; })) << "the click comes back to the owner";
    SetCursorPos(0, 700);
    ASSERT_NE(notifyTrayIcon(owner, NIM_DELETE, 1, 0, 0), 0);
    EXPECT_TRUE(harness::pumpUntil([&] { return wineTrayIconCount() == before; }));
}

}  // namespace
