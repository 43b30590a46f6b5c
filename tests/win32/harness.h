// Helpers for the tests that run against the real Win32 API (under Wine or
// Windows): temporary directories, files, the recorder's records, message
// pumping with a timeout, a message box catcher, and guards that put the
// environment, the registry and the process-wide records back as they were.
#ifndef PEXOR_TESTS_WIN32_HARNESS_H
#define PEXOR_TESTS_WIN32_HARNESS_H

#include <windows.h>

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "interp/interpreter.h"
#include "state/settings.h"

namespace harness {

enum { DEFAULT_TIMEOUT_MS = 10000 };

// A fresh directory under the temp directory (a Windows path, no trailing
// backslash), removed with everything in it at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "\\" + name; }
    // Creates path()\name and returns its path.
    std::string makeDirectory(const std::string& name) const;

private:
    std::string path_;
};

bool fileExists(const std::string& path);
std::string readFile(const std::string& path);  // empty when missing
void writeFile(const std::string& path, const std::string& text);
std::string currentDirectory();
std::string lowerCase(std::string text);  // CharLowerBuffA: the system's folding

// Dispatches this thread's messages until condition() holds; false when it
// still does not hold after timeoutMs.
bool pumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = DEFAULT_TIMEOUT_MS);

// One run of recorder.exe.
struct Record {
    std::string module;
    std::string commandLine;
    std::string currentDirectory;
    std::map<std::string, std::string> driveVariables;  // "=C:" -> "c:\temp"
};
// The complete records in the file, oldest first.
std::vector<Record> readRecords(const std::string& path);
// Pumps messages until the file holds at least count complete records.
bool waitForRecords(const std::string& path, size_t count);

// recorder.exe, which is built next to the test program.
std::string recorderPath();
// pexor.exe, which the build puts two folders above the test program.
std::string pexorPath();

// Watches this process for dialog boxes with a caption on a helper thread,
// notes caption and text of each and closes it with the button answer (IDOK,
// IDYES, IDNO...). Meant for MessageBoxA, which blocks the thread that calls
// it.
class MessageBoxCatcher {
public:
    struct Box {
        std::string caption;
        std::string text;
        bool offeredAnswer;  // the box had a button with the answer's id
    };
    explicit MessageBoxCatcher(int answer = IDOK);
    ~MessageBoxCatcher();
    MessageBoxCatcher(const MessageBoxCatcher&) = delete;
    MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;
    std::vector<Box> boxes() const;

private:
    void watch();
    int answer_;
    HANDLE stop_;
    mutable std::mutex mutex_;
    std::vector<Box> boxes_;
    std::thread thread_;
};

// Snapshot of the whole environment block, "=C:"-style variables included;
// the destructor puts every variable back and removes the ones added since.
class EnvironmentGuard {
public:
    EnvironmentGuard();
    ~EnvironmentGuard();
    EnvironmentGuard(const EnvironmentGuard&) = delete;
    EnvironmentGuard& operator=(const EnvironmentGuard&) = delete;
    void set(const char* name, const std::string& value);
    void unset(const char* name);

private:
    std::map<std::string, std::string> saved_;
};
// The value of an environment variable, and whether it is set at all.
bool environmentVariable(const char* name, std::string* value);

// Sets registry string values; the destructor restores the values it
// replaced and removes the values and keys it created.
class RegistryOverride {
public:
    RegistryOverride() = default;
    ~RegistryOverride();
    RegistryOverride(const RegistryOverride&) = delete;
    RegistryOverride& operator=(const RegistryOverride&) = delete;
    // name null: the key's default value.
    bool setString(HKEY root, const std::string& subkey, const char* name,
                   const std::string& value);

private:
    struct SavedValue {
        HKEY root;
        std::string subkey;
        bool defaultValue;
        std::string name;
        bool existed;
        DWORD type;
        std::vector<BYTE> data;
    };
    std::vector<SavedValue> values_;
    std::vector<std::pair<HKEY, std::string>> createdKeys_;  // shallow to deep
};

// The process-wide state the product keeps: settings and paths, the drive
// directory table, the main window handle, and the current directory.
class ProcessStateGuard {
public:
    ProcessStateGuard();
    ~ProcessStateGuard();
    ProcessStateGuard(const ProcessStateGuard&) = delete;
    ProcessStateGuard& operator=(const ProcessStateGuard&) = delete;

private:
    std::string directory_;
    Settings settings_;
    char iniPath_[PATH_CAPACITY];
    char historyPath_[PATH_CAPACITY];
    DriveDirectoryTable drives_;
    HWND mainWindow_;
};

// A window's text, up to 1023 characters.
std::string windowText(HWND window);

// The boxes (message boxes, file pickers) that runModalDialog answers.
struct DialogBoxes {
    WORD answer = IDOK;                  // the command each one gets
    std::vector<std::string> captions;   // in the order they opened
    std::vector<std::string> texts;      // per box: "|" and each control's text followed by "|"
};
enum { DIALOG_HUNG = -2 };
// Runs a modal dialog with a script inside its own message loop (a thread
// timer): open() shows the dialog (DialogBoxParamA or the like) and returns
// its result; script runs once dialog() names a visible window, and should
// end it. From then on every other dialog box of this thread is noted in
// boxes and answered with boxes->answer (one still there after its answer
// with IDCANCEL); without boxes each one fails the test. A dialog that never
// shows, or is still open DEFAULT_TIMEOUT_MS after the start, is ended with
// DIALOG_HUNG and the test fails, so that a fault cannot hang the test.
INT_PTR runModalDialog(const std::function<INT_PTR()>& open, const std::function<HWND()>& dialog,
                       const std::function<void(HWND)>& script, DialogBoxes* boxes = nullptr);

}  // namespace harness

// Base fixture: a temp directory of its own, and everything a test changes in
// the process put back afterwards. Members are destroyed in reverse order, so
// the current directory leaves the temp directory before it is removed.
class Win32Test : public ::testing::Test {
protected:
    harness::TempDir temp;
    harness::EnvironmentGuard environment;
    harness::ProcessStateGuard processState;
};

#endif
