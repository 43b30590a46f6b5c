// Helpers for the tests that run against the real Win32 API (under Wine or
// Windows), and the product's headers they share: a temporary directory, files, the recorder's records, message
// pumping with a timeout, boxes answered and noted, and guards that put the
// environment, the registry and the process-wide records back as they were.
#ifndef PEXOR_TESTS_WIN32_HARNESS_H
#define PEXOR_TESTS_WIN32_HARNESS_H

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <string.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../../res/resource.h"
#include "base/textutil.h"
#include "base/winutil_win32.h"
#include "interp/interpreter_win32.h"
#include "state/settings_win32.h"
#include "tooltips/tooltips.h"
#include "ui/commandbar.h"
#include "ui/mainwindow.h"
#include "ui/trayicon.h"

namespace harness {


// A fresh directory under the temp directory (a Windows path, no trailing
// backslash), removed with everything in it at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
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
std::string windowText(HWND window);      // up to 1023 characters

// Dispatches this thread's messages until condition() holds; false when it
// still does not hold after timeoutMs.
bool pumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000);

// One run of recorder.exe.
struct Record {
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

// The built pexor.exe loaded as data while it lives: its templates, bitmaps
// and icons are the product's instance handle (ProcessStateGuard puts the
// handle back).
struct ProgramResources {
    HMODULE module = LoadLibraryExA(pexorPath().c_str(), 0, LOAD_LIBRARY_AS_DATAFILE);
    ProgramResources() {
        EXPECT_TRUE(module != 0) << pexorPath() << " (build pexor.exe first)";
        instanceHandle = module;
    }
    ~ProgramResources() {
        if (module != 0) FreeLibrary(module);
    }
};

// Answers every dialog box this thread shows while it lives (through a
// thread timer, which the boxes' own loops dispatch too) and notes caption
// and message (the first static with a text) of each. A box still there
// after its answer is cancelled (a file picker after its "not found" box).
// The innermost one answers; the dialog a runModalDialog script drives is
// left alone. Given a process id, it answers that process's boxes instead.
class Boxes {
public:
    explicit Boxes(WORD answer = IDOK, DWORD process = 0);
    ~Boxes();
    std::string shown() const;  // "caption: text\n" per box
    WORD answer;
    std::vector<std::string> captions, texts;

private:
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD);
    DWORD process_;
    UINT_PTR timer_;
    Boxes* outer_;
};

// Runs a modal dialog (or a message loop) with a script inside it (a thread
// timer): open() shows the dialog (DialogBoxParamA or the like) and returns
// its result; script runs once dialog() names a visible window, and should
// end it. Boxes the dialog opens go to the caller's Boxes; without one each
// box fails the test. A dialog that hangs is ended with the test program by
// ctest's time limit.
INT_PTR runModalDialog(const std::function<INT_PTR()>& open, const std::function<HWND()>& dialog,
                       const std::function<void(HWND)>& script);

// What a test changes in the process, its environment and the registry, put
// back when it ends, the last change first. From its start it keeps the
// process-wide state the product keeps: settings and paths, the drive
// directory table, the main window and instance handles and the current
// directory.
class Undo {
public:
    Undo();
    ~Undo();
    void setEnvironment(const char* name, const char* value);  // value null: unset
    // name null: the key's default value.
    bool setRegistryString(HKEY root, const std::string& subkey, const char* name, const std::string& value);

private:
    std::vector<std::function<void()>> steps_;
};

}  // namespace harness

// Base fixture: a temp directory of its own, and everything a test changes in
// the process put back afterwards. Members are destroyed in reverse order, so
// the current directory leaves the temp directory before it is removed.
class Win32Test : public ::testing::Test {
protected:
    harness::TempDir temp;
    harness::Undo undo;
};

#endif
