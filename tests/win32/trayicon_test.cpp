// The tray icon: the request sent to the shell (watched through this
// program's import of Shell_NotifyIconA), the trayIconShown flag whatever the
// shell answers, and the icon in the real notification area.
#include "harness.h"

#include <shellapi.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "../../res/resource.h"
#include "ui/mainwindow.h"
#include "ui/trayicon.h"

namespace {

// Points this program's import of one function at a replacement while the
// guard lives. The product code is linked into the test program, so its calls
// go through this import table.
class ImportPatch {
public:
    ImportPatch(const char* dll, const char* function, void* replacement) {
        BYTE* base = (BYTE*)GetModuleHandleA(0);
        IMAGE_NT_HEADERS* nt = (IMAGE_NT_HEADERS*)(base + ((IMAGE_DOS_HEADER*)base)->e_lfanew);
        IMAGE_DATA_DIRECTORY imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        IMAGE_IMPORT_DESCRIPTOR* d = (IMAGE_IMPORT_DESCRIPTOR*)(base + imports.VirtualAddress);
        for (; d->Name != 0 && slot_ == 0; d++) {
            if (lstrcmpiA((const char*)(base + d->Name), dll) != 0) continue;
            IMAGE_THUNK_DATA* names = (IMAGE_THUNK_DATA*)(base + d->OriginalFirstThunk);
            IMAGE_THUNK_DATA* slots = (IMAGE_THUNK_DATA*)(base + d->FirstThunk);
            for (; names->u1.AddressOfData != 0; names++, slots++) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
                const char* name = (const char*)((IMAGE_IMPORT_BY_NAME*)(base + names->u1.AddressOfData))->Name;
                if (strcmp(name, function) == 0) {
                    slot_ = (void**)&slots->u1.Function;
                    break;
                }
            }
        }
        EXPECT_TRUE(slot_ != 0) << function << " is not imported from " << dll;
        if (slot_ != 0) original_ = exchange(replacement);
    }
    ~ImportPatch() {
        if (slot_ != 0) exchange(original_);
    }

private:
    void* exchange(void* value) {
        DWORD protection;
        VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &protection);
        void* old = *slot_;
        *slot_ = value;
        VirtualProtect(slot_, sizeof *slot_, protection, &protection);
        return old;
    }
    void** slot_ = 0;
    void* original_ = 0;
};

// Stands in for the shell: keeps every request and gives a chosen answer.
struct FakeShell {
    int calls = 0;
    DWORD message = 0;
    NOTIFYICONDATAA data = {};
    BOOL answer = TRUE;
};
FakeShell fakeShell;

BOOL WINAPI fakeShellNotifyIcon(DWORD message, PNOTIFYICONDATAA data) {
    fakeShell.calls++;
    fakeShell.message = message;
    memset(&fakeShell.data, 0, sizeof fakeShell.data);
    memcpy(&fakeShell.data, data, data->cbSize < sizeof fakeShell.data ? data->cbSize : sizeof fakeShell.data);
    return fakeShell.answer;
}

// Owner of the icon; counts the callback messages of the notification area.
struct CallbackLog {
    int count = 0;
    WPARAM id = 0;
    std::vector<LPARAM> mouse;
};
CallbackLog callbacks;

LRESULT CALLBACK ownerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == TRAY_CALLBACK_MESSAGE) {
        callbacks.count++;
        callbacks.id = wParam;
        callbacks.mouse.push_back(lParam);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Icon 135 lives in pexor.exe, which the build puts two folders above the
// test program; the test program itself has no such icon.
std::string programPath() {
    char self[MAX_PATH];
    DWORD n = GetModuleFileNameA(0, self, sizeof self);
    std::string path(self, n);
    for (int up = 0; up < 3; up++) path = path.substr(0, path.find_last_of('\\'));
    return path + "\\pexor.exe";
}

bool underWine() { return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != 0; }

// Wine shows each icon as a window of its own inside the "Wine System Tray"
// window. (Windows draws them into a toolbar of Shell_TrayWnd instead.)
std::vector<HWND> wineTrayIcons() {
    std::vector<HWND> icons;
    HWND tray = FindWindowA("__winex11_standalone_tray", 0);
    for (HWND icon = tray ? GetWindow(tray, GW_CHILD) : 0; icon != 0; icon = GetWindow(icon, GW_HWNDNEXT))
        if (IsWindowVisible(icon)) icons.push_back(icon);
    return icons;
}

class TrayIcon : public ::testing::Test {
protected:
    void SetUp() override {
        program = LoadLibraryExA(programPath().c_str(), 0, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_TRUE(program != 0) << programPath() << " (build pexor.exe first)";
        savedInstance = instanceHandle;
        savedShown = trayIconShown;
        instanceHandle = program;
        WNDCLASSA cls = {};
        cls.lpfnWndProc = ownerProc;
        cls.hInstance = GetModuleHandleA(0);
        cls.lpszClassName = "PexorTrayTestOwner";
        RegisterClassA(&cls);
        owner = CreateWindowExA(0, cls.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, 0, 0, cls.hInstance, 0);
        ASSERT_TRUE(owner != 0);
        fakeShell = FakeShell();
        callbacks = CallbackLog();
    }
    void TearDown() override {
        NOTIFYICONDATAA data = {};
        data.cbSize = NOTIFYICONDATAA_V1_SIZE;
        data.hWnd = owner;
        data.uID = 1;
        Shell_NotifyIconA(NIM_DELETE, &data);  // whatever a failed test left behind
        DestroyWindow(owner);
        instanceHandle = savedInstance;
        trayIconShown = savedShown;
        if (program != 0) FreeLibrary(program);
    }
    HMODULE program = 0;
    HINSTANCE savedInstance = 0;
    int savedShown = 0;
    HWND owner = 0;
};

// ------------------------------------------------------- the request itself

TEST_F(TrayIcon, AddSendsIconTipAndCallbackAndDeleteSendsTheIconWithoutTip) {
    ImportPatch patch("shell32.dll", "Shell_NotifyIconA", (void*)fakeShellNotifyIcon);
    trayIconShown = 0;
    EXPECT_EQ(notifyTrayIcon(owner, NIM_ADD, 1, 1, "Pexor"), 1);
    EXPECT_EQ(trayIconShown, 1);
    ASSERT_EQ(fakeShell.calls, 1);
    const NOTIFYICONDATAA& add = fakeShell.data;
    EXPECT_EQ(fakeShell.message, (DWORD)NIM_ADD);
    // The first form of the record: 88 bytes on 32-bit Windows.
    EXPECT_EQ(add.cbSize, (DWORD)NOTIFYICONDATAA_V1_SIZE);
    if (sizeof(void*) == 4) {
        EXPECT_EQ(add.cbSize, 88u);
    }
    EXPECT_EQ(add.hWnd, owner);
    EXPECT_EQ(add.uID, 1u);
    EXPECT_EQ(add.uFlags, (UINT)(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(add.uCallbackMessage, (UINT)TRAY_CALLBACK_MESSAGE);
    EXPECT_TRUE(add.hIcon != 0);
    EXPECT_STREQ(add.szTip, "Pexor");

    EXPECT_EQ(notifyTrayIcon(owner, NIM_DELETE, 1, 0, 0), 1);
    EXPECT_EQ(trayIconShown, 0);
    ASSERT_EQ(fakeShell.calls, 2);
    EXPECT_EQ(fakeShell.message, (DWORD)NIM_DELETE);
    EXPECT_EQ(fakeShell.data.hWnd, owner);
    EXPECT_EQ(fakeShell.data.uID, 1u);
    EXPECT_EQ(fakeShell.data.uFlags, (UINT)(NIF_MESSAGE | NIF_ICON));
    EXPECT_STREQ(fakeShell.data.szTip, "");
}

TEST_F(TrayIcon, TipIsCutTo63Characters) {
    ImportPatch patch("shell32.dll", "Shell_NotifyIconA", (void*)fakeShellNotifyIcon);
    const std::string umlauts(70, '\xE4');  // ä
    const struct {
        std::string tip;
        std::string sent;
    } cases[] = {
        {"", ""},
        {std::string(62, 'x'), std::string(62, 'x')},
        {std::string(63, 'y'), std::string(63, 'y')},
        {std::string(64, 'z'), std::string(63, 'z')},
        {std::string(60, 'a') + "bcdefgh", std::string(60, 'a') + "bcd"},
        {umlauts, umlauts.substr(0, 63)},
    };
    for (const auto& c : cases) {
        notifyTrayIcon(owner, NIM_ADD, 1, 1, c.tip.c_str());
        EXPECT_EQ(fakeShell.data.uFlags & NIF_TIP, (UINT)NIF_TIP);
        EXPECT_EQ(std::string(fakeShell.data.szTip), c.sent) << "|" << c.tip << "|";
    }
}

TEST_F(TrayIcon, RefusedRequestStillSetsTheFlag) {
    ImportPatch patch("shell32.dll", "Shell_NotifyIconA", (void*)fakeShellNotifyIcon);
    fakeShell.answer = FALSE;  // as while no taskbar runs
    trayIconShown = 0;
    EXPECT_EQ(notifyTrayIcon(owner, NIM_ADD, 1, 1, "Pexor"), 0);
    EXPECT_EQ(trayIconShown, 1) << "a failed add counts as shown, so it is not retried";
    EXPECT_EQ(notifyTrayIcon(owner, NIM_DELETE, 1, 0, 0), 0);
    EXPECT_EQ(trayIconShown, 0);
}

TEST_F(TrayIcon, IconThatCannotBeLoadedSendsNothingAndKeepsTheFlag) {
    ImportPatch patch("shell32.dll", "Shell_NotifyIconA", (void*)fakeShellNotifyIcon);
    instanceHandle = GetModuleHandleA(0);  // the test program has no icon 135
    for (int shown : {0, 1}) {
        trayIconShown = shown;
        EXPECT_EQ(notifyTrayIcon(owner, NIM_ADD, 1, 1, "Pexor"), 0);
        EXPECT_EQ(notifyTrayIcon(owner, NIM_DELETE, 1, 0, 0), 0);
        EXPECT_EQ(trayIconShown, shown);
    }
    EXPECT_EQ(fakeShell.calls, 0);

    // A negative choice asks for no icon, so none has to be found.
    EXPECT_EQ(notifyTrayIcon(owner, NIM_ADD, 1, -1, "Pexor"), 1);
    ASSERT_EQ(fakeShell.calls, 1);
    EXPECT_EQ(fakeShell.data.uFlags, (UINT)(NIF_MESSAGE | NIF_TIP));
    EXPECT_TRUE(fakeShell.data.hIcon == 0);
    EXPECT_EQ(trayIconShown, 1);
}

// ------------------------------------------------- the real notification area

TEST_F(TrayIcon, IconShowsInTheNotificationAreaUntilDeletedAndReportsClicks) {
    size_t before = wineTrayIcons().size();
    trayIconShown = 0;
    ASSERT_NE(notifyTrayIcon(owner, NIM_ADD, 1, 1, "Pexor"), 0);
    EXPECT_EQ(trayIconShown, 1);
    if (underWine()) {
        ASSERT_TRUE(harness::pumpUntil([&] { return wineTrayIcons().size() == before + 1; }));
        // A click on the icon comes back as the callback message with the
        // icon's id and the mouse message.
        RECT r;
        GetWindowRect(wineTrayIcons().back(), &r);
        SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
        mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
        EXPECT_TRUE(harness::pumpUntil([&] {
            return std::find(callbacks.mouse.begin(), callbacks.mouse.end(), WM_LBUTTONUP) != callbacks.mouse.end();
        }));
        EXPECT_EQ(callbacks.id, 1u);
        EXPECT_NE(std::find(callbacks.mouse.begin(), callbacks.mouse.end(), WM_LBUTTONDOWN), callbacks.mouse.end());
        SetCursorPos(0, 700);
    }
    ASSERT_NE(notifyTrayIcon(owner, NIM_DELETE, 1, 0, 0), 0);
    EXPECT_EQ(trayIconShown, 0);
    if (underWine()) {
        EXPECT_TRUE(harness::pumpUntil([&] { return wineTrayIcons().size() == before; }));
    }
}

TEST_F(TrayIcon, ShellRefusesASecondAddAndADeleteOfNothingButTheFlagFollowsTheRequest) {
    ASSERT_NE(notifyTrayIcon(owner, NIM_ADD, 1, 1, "Pexor"), 0);
    trayIconShown = 0;
    EXPECT_EQ(notifyTrayIcon(owner, NIM_ADD, 1, 1, "Pexor"), 0) << "the pair of window and id is taken";
    EXPECT_EQ(trayIconShown, 1);
    EXPECT_EQ(notifyTrayIcon(owner, NIM_DELETE, 2, 0, 0), 0) << "a delete must name the pair of the add";
    EXPECT_EQ(trayIconShown, 0);
    EXPECT_NE(notifyTrayIcon(owner, NIM_DELETE, 1, 0, 0), 0);
    EXPECT_EQ(notifyTrayIcon(owner, NIM_DELETE, 1, 0, 0), 0);
    EXPECT_EQ(trayIconShown, 0);
}

// At exit the delete names the command bar after it has been destroyed.
TEST_F(TrayIcon, DeleteAfterTheOwnerIsGoneStillClearsTheFlag) {
    HWND gone = CreateWindowExA(0, "PexorTrayTestOwner", "", WS_POPUP, 0, 0, 10, 10, 0, 0, 0, 0);
    size_t before = wineTrayIcons().size();
    ASSERT_NE(notifyTrayIcon(gone, NIM_ADD, 1, 1, "Pexor"), 0);
    DestroyWindow(gone);
    // Wine removes the icon together with its owner window; Windows keeps it
    // until a delete naming the old pair (or the pointer passing over it)
    // removes it.
    if (underWine()) {
        ASSERT_TRUE(harness::pumpUntil([&] { return wineTrayIcons().size() == before; }));
    }
    int deleted = notifyTrayIcon(gone, NIM_DELETE, 1, 0, 0);
    EXPECT_EQ(trayIconShown, 0);
    if (underWine()) {
        EXPECT_EQ(deleted, 0) << "nothing left to delete";
    }
}

}  // namespace
