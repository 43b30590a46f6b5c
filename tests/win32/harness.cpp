// Test helpers for the Win32 tier; see harness.h.
#include "harness.h"

#include <fstream>
#include <iterator>
#include <memory>

namespace harness {

// A fresh name; mixed case on purpose: the program folds directories to lower case.
TempDir::TempDir() {
    char base[MAX_PATH], name[MAX_PATH];
    EXPECT_TRUE(GetTempPathA(sizeof base, base) && GetTempFileNameA(base, "Pex", 0, name)) << base;
    path_ = name;
    DeleteFileA(name);
    EXPECT_TRUE(CreateDirectoryA(name, 0)) << name;
}

// A program started from the directory may still be on its way out and hold
// its file: try again until it is gone.
TempDir::~TempDir() {
    const std::string from = path_ + '\0';  // a list of names, ended by an empty one
    SHFILEOPSTRUCTA remove = {0, FO_DELETE, from.c_str(), 0, FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI, 0, 0, 0};
    pumpUntil([&] { return SHFileOperationA(&remove), !fileExists(path_); });
}

std::string TempDir::makeDirectory(const std::string& name) const {
    std::string dir = file(name);
    EXPECT_TRUE(CreateDirectoryA(dir.c_str(), 0)) << dir;
    return dir;
}

bool fileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    EXPECT_TRUE(file << text) << path;
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

std::string windowText(HWND window) {
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
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

// The recorder writes "key=value" lines and "end" after each run.
std::vector<Record> readRecords(const std::string& path) {
    std::vector<Record> records(1);
    std::string text = readFile(path);
    for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        std::string line = text.substr(start, end - start);
        size_t eq = line.find('=', 1);  // "env==C:=c:\temp": the name's own "=" comes first
        std::string key = line.substr(0, eq), value = eq == std::string::npos ? "" : line.substr(eq + 1);
        if (line == "end") records.emplace_back();
        if (key == "cmdline") records.back().commandLine = value;
        if (key == "cwd") records.back().currentDirectory = value;
        size_t split = value.find('=', 1);
        if (key == "env" && split != std::string::npos)
            records.back().driveVariables[value.substr(0, split)] = value.substr(split + 1);
    }
    records.pop_back();  // a record still being written
    return records;
}

bool waitForRecords(const std::string& path, size_t count) {
    return pumpUntil([&] { return readRecords(path).size() >= count; });
}

std::string recorderPath() {
    char self[MAX_PATH];
    std::string path(self, GetModuleFileNameA(0, self, sizeof self));
    return path.substr(0, path.find_last_of('\\') + 1) + "recorder.exe";
}

std::string pexorPath() {
    std::string path = recorderPath();
    for (int up = 0; up < 3; up++) path = path.substr(0, path.find_last_of('\\'));
    return path + "\\pexor.exe";
}

namespace {
struct ModalRun {
    std::function<HWND()> dialog;
    std::function<void(HWND)> script;
    bool ran;
};
ModalRun* modalRun;
Boxes* innermost;

// Dialog boxes only: those with a caption (the command bar is a dialog
// without one) that are visible and enabled (only the box on top is).
BOOL CALLBACK answerBox(HWND box, LPARAM process) {
    char className[16];
    DWORD owner = 0;
    GetWindowThreadProcessId(box, &owner);
    if ((modalRun != 0 && box == modalRun->dialog()) || (process != 0 && owner != (DWORD)process) ||
        !IsWindowVisible(box) || !IsWindowEnabled(box) ||
        (GetWindowLongA(box, GWL_STYLE) & WS_CAPTION) != WS_CAPTION ||
        !GetClassNameA(box, className, sizeof className) || strcmp(className, "#32770") != 0)
        return TRUE;
    bool again = GetPropA(box, "answered") != 0;
    if (!again) {
        SetPropA(box, "answered", (HANDLE)1);
        std::string text;
        for (HWND c = 0; text.empty() && (c = FindWindowExA(box, c, "Static", 0)) != 0;) text = windowText(c);
        innermost->captions.push_back(windowText(box));
        innermost->texts.push_back(text);
    }
    PostMessageA(box, WM_COMMAND, again ? IDCANCEL : innermost->answer, 0);
    return TRUE;
}

void CALLBACK driveModal(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = modalRun != 0 && !modalRun->ran ? modalRun->dialog() : 0;
    if (dialog != 0 && IsWindowVisible(dialog)) {
        modalRun->ran = true;
        modalRun->script(dialog);
    }
}
}  // namespace

Boxes::Boxes(WORD answer, DWORD process)
    : answer(answer), process_(process), timer_(SetTimer(0, 0, 10, tick)), outer_(innermost) {
    innermost = this;
}

Boxes::~Boxes() {
    KillTimer(0, timer_);
    innermost = outer_;
}

void CALLBACK Boxes::tick(HWND, UINT, UINT_PTR, DWORD) {
    if (innermost != 0 && innermost->process_ != 0) EnumWindows(answerBox, innermost->process_);
    if (innermost != 0 && innermost->process_ == 0) EnumThreadWindows(GetCurrentThreadId(), answerBox, 0);
}

std::string Boxes::shown() const {
    std::string all;
    for (size_t i = 0; i < captions.size(); i++) all += captions[i] + ": " + texts[i] + "\n";
    return all;
}

INT_PTR runModalDialog(const std::function<INT_PTR()>& open, const std::function<HWND()>& dialog,
                       const std::function<void(HWND)>& script) {
    std::unique_ptr<Boxes> unexpected(innermost == 0 ? new Boxes : 0);
    ModalRun run = {dialog, script, false};
    ModalRun* outer = modalRun;
    modalRun = &run;
    UINT_PTR timer = SetTimer(0, 0, 10, driveModal);
    INT_PTR result = open();
    KillTimer(0, timer);
    modalRun = outer;
    EXPECT_TRUE(run.ran) << "the script never ran";
    if (unexpected) {
        EXPECT_EQ(unexpected->shown(), "") << "boxes";
    }
    return result;
}

Undo::Undo() {
    const std::string directory = currentDirectory();
    const Settings kept = settings;
    const HWND main = mainWindow;
    const HINSTANCE instance = instanceHandle;
    char ini[PATH_CAPACITY], his[PATH_CAPACITY];
    DriveDirectoryTable drives;
    memcpy(ini, iniPath, sizeof ini);
    memcpy(his, historyPath, sizeof his);
    memcpy(drives, driveDirectoryTable, sizeof drives);
    steps_.push_back([=] {
        SetCurrentDirectoryA(directory.c_str());
        settings = kept;
        memcpy(iniPath, ini, sizeof ini);
        memcpy(historyPath, his, sizeof his);
        memcpy(driveDirectoryTable, drives, sizeof drives);
        mainWindow = main;
        instanceHandle = instance;
    });
}

Undo::~Undo() {
    for (auto step = steps_.rbegin(); step != steps_.rend(); ++step) (*step)();
}

void Undo::setEnvironment(const char* name, const char* value) {
    char before[32768];
    const DWORD n = GetEnvironmentVariableA(name, before, sizeof before);
    const bool existed = n > 0 && n < sizeof before;
    const std::string key = name, old = existed ? before : "";
    steps_.push_back([=] { SetEnvironmentVariableA(key.c_str(), existed ? old.c_str() : 0); });
    EXPECT_TRUE(SetEnvironmentVariableA(name, value) || value == 0) << name;
}

bool Undo::setRegistryString(HKEY root, const std::string& subkey, const char* name, const std::string& value) {
    HKEY key;
    for (size_t end = 0; end != std::string::npos;) {
        const std::string part = subkey.substr(0, end = subkey.find('\\', end + 1));
        if (RegOpenKeyExA(root, part.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS)
            RegCloseKey(key);
        else
            steps_.push_back([=] { RegDeleteKeyA(root, part.c_str()); });
    }
    if (RegCreateKeyExA(root, subkey.c_str(), 0, 0, 0, KEY_ALL_ACCESS, 0, &key, 0) != ERROR_SUCCESS) return false;
    DWORD type = REG_NONE, size = 0;
    const bool existed = RegQueryValueExA(key, name, 0, &type, 0, &size) == ERROR_SUCCESS;
    std::vector<BYTE> data(size);
    if (existed) RegQueryValueExA(key, name, 0, &type, data.data(), &size);
    const std::string valueName = name ? name : "";
    steps_.push_back([=] {
        HKEY k;
        if (RegOpenKeyExA(root, subkey.c_str(), 0, KEY_ALL_ACCESS, &k) != ERROR_SUCCESS) return;
        if (existed)
            RegSetValueExA(k, valueName.c_str(), 0, type, data.data(), (DWORD)data.size());
        else
            RegDeleteValueA(k, valueName.c_str());
        RegCloseKey(k);
    });
    LONG result = RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)value.c_str(), (DWORD)value.size() + 1);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

}  // namespace harness
