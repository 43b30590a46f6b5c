// Test helpers for the Win32 tier; see harness.h.
#include "harness.h"

#include <string.h>

#include "ui/mainwindow.h"

namespace harness {

static void removeTree(const std::string& path) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            std::string child = path + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                removeTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

TempDir::TempDir() {
    char base[MAX_PATH];
    DWORD n = GetTempPathA(sizeof base, base);
    EXPECT_TRUE(n > 0 && n < sizeof base);
    // Mixed case on purpose: the program folds directories to lower case.
    // Wine reuses process ids quickly, so a name may already be taken.
    std::string stem = std::string(base) + "Pexor-Test-" + std::to_string(GetCurrentProcessId());
    for (unsigned i = 1; i < 1000; ++i) {
        path_ = stem + "-" + std::to_string(i);
        if (CreateDirectoryA(path_.c_str(), 0)) return;
        if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    ADD_FAILURE() << "cannot create a directory like " << path_;
}

// A program started from the directory may still be on its way out and hold
// its file: try again until it is gone.
TempDir::~TempDir() {
    pumpUntil([this] {
        removeTree(path_);
        return !fileExists(path_);
    });
}

std::string TempDir::makeDirectory(const std::string& name) const {
    std::string dir = file(name);
    EXPECT_TRUE(CreateDirectoryA(dir.c_str(), 0)) << dir;
    return dir;
}

bool fileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string readFile(const std::string& path) {
    std::string text;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, 0,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, 0);
    if (file == INVALID_HANDLE_VALUE) return text;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, 0) && got > 0) text.append(chunk, got);
    CloseHandle(file);
    return text;
}

void writeFile(const std::string& path, const std::string& text) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, 0, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, 0);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file, text.data(), (DWORD)text.size(), &written, 0));
    EXPECT_EQ(written, text.size());
    CloseHandle(file);
}

std::string currentDirectory() {
    char dir[MAX_PATH];
    DWORD n = GetCurrentDirectoryA(sizeof dir, dir);
    return n > 0 && n < sizeof dir ? std::string(dir) : std::string();
}

std::string lowerCase(std::string text) {
    if (!text.empty()) CharLowerBuffA(&text[0], (DWORD)text.size());
    return text;
}

bool pumpUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (condition()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        // Wake on the next message, or look again a little later.
        MsgWaitForMultipleObjects(0, 0, FALSE, 20, QS_ALLINPUT);
    }
}

std::vector<Record> readRecords(const std::string& path) {
    std::vector<Record> records;
    Record current;
    std::string text = readFile(path);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) break;  // a line still being written
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (line == "end") {
            records.push_back(current);
            current = Record();
            continue;
        }
        size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        if (key == "module") current.module = value;
        if (key == "cmdline") current.commandLine = value;
        if (key == "cwd") current.currentDirectory = value;
        if (key == "env") {
            // "=C:=c:\temp": the name's own "=" comes first.
            size_t split = value.find('=', 1);
            if (split != std::string::npos)
                current.driveVariables[value.substr(0, split)] = value.substr(split + 1);
        }
    }
    return records;
}

bool waitForRecords(const std::string& path, size_t count) {
    return pumpUntil([&] { return readRecords(path).size() >= count; });
}

std::string recorderPath() {
    char self[MAX_PATH];
    DWORD n = GetModuleFileNameA(0, self, sizeof self);
    EXPECT_TRUE(n > 0 && n < sizeof self);
    std::string path(self, n);
    return path.substr(0, path.find_last_of('\\') + 1) + "recorder.exe";
}

std::string pexorPath() {
    std::string path = recorderPath();
    for (int up = 0; up < 3; up++) path = path.substr(0, path.find_last_of('\\'));
    return path + "\\pexor.exe";
}

MessageBoxCatcher::MessageBoxCatcher(int answer)
    : answer_(answer), stop_(CreateEventA(0, TRUE, FALSE, 0)), thread_([this] { watch(); }) {}

MessageBoxCatcher::~MessageBoxCatcher() {
    SetEvent(stop_);
    thread_.join();
    CloseHandle(stop_);
}

std::vector<MessageBoxCatcher::Box> MessageBoxCatcher::boxes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return boxes_;
}

namespace {
struct DialogSearch {
    HWND found;
};

BOOL CALLBACK findDialog(HWND window, LPARAM param) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char className[32];
    // The command bar is a dialog too, but one without a caption.
    if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
        (GetWindowLongA(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION &&
        GetClassNameA(window, className, sizeof className) && strcmp(className, "#32770") == 0) {
        reinterpret_cast<DialogSearch*>(param)->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK findText(HWND child, LPARAM param) {
    char className[32];
    char text[1024];
    std::string* out = reinterpret_cast<std::string*>(param);
    // The message box's icon is a static too, but one without text.
    if (GetClassNameA(child, className, sizeof className) && lstrcmpiA(className, "Static") == 0 &&
        GetWindowTextA(child, text, sizeof text) > 0 && out->empty()) {
        *out = text;
    }
    return TRUE;
}
}  // namespace

void MessageBoxCatcher::watch() {
    HWND last = 0;
    while (WaitForSingleObject(stop_, 10) == WAIT_TIMEOUT) {
        if (last != 0 && !IsWindow(last)) last = 0;
        DialogSearch search = {0};
        EnumWindows(findDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found == 0 || search.found == last) continue;
        Box box;
        char caption[256];
        GetWindowTextA(search.found, caption, sizeof caption);
        box.caption = caption;
        EnumChildWindows(search.found, findText, reinterpret_cast<LPARAM>(&box.text));
        HWND button = GetDlgItem(search.found, answer_);
        box.offeredAnswer = button != 0;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            boxes_.push_back(box);
        }
        last = search.found;
        PostMessageA(search.found, WM_COMMAND, MAKEWPARAM(answer_, BN_CLICKED), (LPARAM)button);
    }
}

static std::map<std::string, std::string> environmentSnapshot() {
    std::map<std::string, std::string> variables;
    char* block = GetEnvironmentStringsA();
    for (const char* p = block; p != 0 && *p != '\0'; p += strlen(p) + 1) {
        const char* eq = strchr(p + 1, '=');  // a name may begin with "="
        if (eq != 0) variables[std::string(p, eq)] = eq + 1;
    }
    if (block != 0) FreeEnvironmentStringsA(block);
    return variables;
}

EnvironmentGuard::EnvironmentGuard() : saved_(environmentSnapshot()) {}

EnvironmentGuard::~EnvironmentGuard() {
    for (const auto& now : environmentSnapshot())
        if (saved_.find(now.first) == saved_.end()) SetEnvironmentVariableA(now.first.c_str(), 0);
    for (const auto& before : saved_)
        SetEnvironmentVariableA(before.first.c_str(), before.second.c_str());
}

void EnvironmentGuard::set(const char* name, const std::string& value) {
    EXPECT_TRUE(SetEnvironmentVariableA(name, value.c_str())) << name;
}

void EnvironmentGuard::unset(const char* name) { SetEnvironmentVariableA(name, 0); }

bool environmentVariable(const char* name, std::string* value) {
    char text[32768];
    SetLastError(0);
    DWORD n = GetEnvironmentVariableA(name, text, sizeof text);
    if (n == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return false;
    *value = n < sizeof text ? std::string(text, n) : std::string();
    return true;
}

static bool keyExists(HKEY root, const std::string& subkey) {
    HKEY key;
    if (RegOpenKeyExA(root, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

bool RegistryOverride::setString(HKEY root, const std::string& subkey, const char* name,
                                 const std::string& value) {
    for (size_t end = 0; end != std::string::npos;) {
        end = subkey.find('\\', end + 1);
        std::string part = subkey.substr(0, end);
        if (!keyExists(root, part)) createdKeys_.push_back(std::make_pair(root, part));
    }
    HKEY key;
    if (RegCreateKeyExA(root, subkey.c_str(), 0, 0, 0, KEY_ALL_ACCESS, 0, &key, 0) != ERROR_SUCCESS)
        return false;
    SavedValue saved;
    saved.root = root;
    saved.subkey = subkey;
    saved.defaultValue = name == 0;
    saved.name = name != 0 ? name : "";
    saved.type = REG_NONE;
    DWORD size = 0;
    saved.existed = RegQueryValueExA(key, name, 0, &saved.type, 0, &size) == ERROR_SUCCESS;
    if (saved.existed) {
        saved.data.resize(size);
        RegQueryValueExA(key, name, 0, &saved.type, saved.data.data(), &size);
    }
    values_.push_back(saved);
    LONG result = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                 (DWORD)value.size() + 1);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

RegistryOverride::~RegistryOverride() {
    for (auto v = values_.rbegin(); v != values_.rend(); ++v) {
        HKEY key;
        if (RegOpenKeyExA(v->root, v->subkey.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
            continue;
        const char* name = v->defaultValue ? 0 : v->name.c_str();
        if (v->existed)
            RegSetValueExA(key, name, 0, v->type, v->data.data(), (DWORD)v->data.size());
        else
            RegDeleteValueA(key, name);
        RegCloseKey(key);
    }
    for (auto k = createdKeys_.rbegin(); k != createdKeys_.rend(); ++k)
        RegDeleteKeyA(k->first, k->second.c_str());
}

std::string windowText(HWND window) {
    char text[1024];
    GetWindowTextA(window, text, sizeof text);
    return text;
}

namespace {
struct ModalRun {
    std::function<HWND()> dialog;
    std::function<void(HWND)> script;
    DialogBoxes* boxes;
    DWORD started;
    bool ran, timedOut;
    HWND window;
};
ModalRun* modalRun;

// Only the box on top is enabled; one still there after its answer (a file
// picker after its "not found" box, say) is cancelled. After the time-out
// every dialog of the thread is ended, whatever it answers to.
BOOL CALLBACK answerBox(HWND box, LPARAM) {
    char className[16];
    if (!GetClassNameA(box, className, sizeof className) || strcmp(className, "#32770") != 0) return TRUE;
    if (modalRun->timedOut) {
        EndDialog(box, DIALOG_HUNG);
        return TRUE;
    }
    if (box == modalRun->window || !IsWindowVisible(box) || !IsWindowEnabled(box)) return TRUE;
    bool again = GetPropA(box, "answered") != 0;
    if (!again) {
        SetPropA(box, "answered", (HANDLE)1);
        modalRun->boxes->captions.push_back(windowText(box));
        std::string texts = "|";
        for (HWND child = GetWindow(box, GW_CHILD); child != 0; child = GetWindow(child, GW_HWNDNEXT))
            texts += windowText(child) + "|";
        modalRun->boxes->texts.push_back(texts);
    }
    PostMessageA(box, WM_COMMAND, again ? IDCANCEL : modalRun->boxes->answer, 0);
    return TRUE;
}

// The boxes' own loops dispatch this thread timer too. A dialog that never
// names itself is ended through the quit message, which a modal loop passes on.
void CALLBACK driveModal(HWND, UINT, UINT_PTR, DWORD) {
    if (modalRun == 0) return;
    HWND dialog = modalRun->dialog();
    if (!modalRun->timedOut && GetTickCount() - modalRun->started > DEFAULT_TIMEOUT_MS) {
        modalRun->timedOut = true;
        ADD_FAILURE() << (modalRun->ran ? "the dialog is still open" : "the dialog never showed");
        if (dialog == 0) PostQuitMessage(DIALOG_HUNG);
    }
    if (!modalRun->ran && !modalRun->timedOut && dialog != 0 && IsWindowVisible(dialog)) {
        modalRun->ran = true;
        modalRun->window = dialog;
        modalRun->script(dialog);
    } else if (modalRun->ran || modalRun->timedOut) {
        EnumThreadWindows(GetCurrentThreadId(), answerBox, 0);
    }
}
}  // namespace

INT_PTR runModalDialog(const std::function<INT_PTR()>& open, const std::function<HWND()>& dialog,
                       const std::function<void(HWND)>& script, DialogBoxes* boxes) {
    DialogBoxes unexpected;
    ModalRun run = {dialog, script, boxes ? boxes : &unexpected, GetTickCount(), false, false, 0};
    ModalRun* outer = modalRun;
    modalRun = &run;
    UINT_PTR timer = SetTimer(0, 0, 10, driveModal);
    INT_PTR result = open();
    KillTimer(0, timer);
    MSG quit;
    if (run.timedOut) PeekMessageA(&quit, 0, WM_QUIT, WM_QUIT, PM_REMOVE);
    modalRun = outer;
    EXPECT_TRUE(run.ran) << "the script never ran";
    for (const std::string& caption : unexpected.captions) ADD_FAILURE() << "a box: " << caption;
    return result;
}

ProcessStateGuard::ProcessStateGuard()
    : directory_(currentDirectory()), settings_(settings), mainWindow_(mainWindow) {
    memcpy(iniPath_, iniPath, sizeof iniPath_);
    memcpy(historyPath_, historyPath, sizeof historyPath_);
    memcpy(drives_, driveDirectoryTable, sizeof drives_);
}

ProcessStateGuard::~ProcessStateGuard() {
    SetCurrentDirectoryA(directory_.c_str());
    settings = settings_;
    memcpy(iniPath, iniPath_, sizeof iniPath_);
    memcpy(historyPath, historyPath_, sizeof historyPath_);
    memcpy(driveDirectoryTable, drives_, sizeof drives_);
    mainWindow = mainWindow_;
}

}  // namespace harness
