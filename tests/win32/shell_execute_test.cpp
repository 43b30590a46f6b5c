// Lines that end in ShellExecuteA, checked by what the started program saw:
// recorder.exe stands in for programs, the command interpreter program, the
// browser and the folder explorer.
#include "harness.h"

#include <shellapi.h>
#include <string.h>

#include "interp/interpreter_win32.h"
#include "interp/textutil.h"
#include "ui/mainwindow.h"

using harness::readRecords;

namespace {

class Launch : public Win32Test {
protected:
    Launch() {
        environment.set("PEXOR_RECORD", record);
        copyText(settings.Shell, sizeof settings.Shell, recorder.c_str());
        settings.CheckInternal = 1;
        settings.CheckAlias = 0;  // macros are not what these tests are about
        settings.Exit = 1;
    }
    int run(const std::string& text) {
        copyText(line, sizeof line, text.c_str());
        return executeCommandLine(0, line);
    }
    // The next record shows program started with exactly these parameters
    // (the shell passes "program" in quotes, a blank, then the parameters).
    void expectStarted(const std::string& program, const std::string& parameters) {
        ASSERT_TRUE(harness::waitForRecords(record, ++started))
            << "nothing started; records so far:\n" << harness::readFile(record);
        harness::Record r = readRecords(record)[started - 1];
        EXPECT_EQ(lstrcmpiA(r.module.c_str(), program.c_str()), 0) << r.module;
        std::string expected = "\"" + program + "\"" + (parameters.empty() ? "" : " " + parameters);
        EXPECT_EQ(r.commandLine, expected);
    }
    // Starts the recorder straight away with a file of its own and waits for
    // it; whatever the test had started before has had the same time.
    void expectNothingStarted() {
        std::string sentinel = temp.file("sentinel.txt");
        environment.set("PEXOR_RECORD", sentinel);
        INT_PTR result =
            (INT_PTR)ShellExecuteA(0, "open", recorder.c_str(), "sentinel", 0, SW_SHOWNORMAL);
        ASSERT_GT(result, 32);
        ASSERT_TRUE(harness::waitForRecords(sentinel, ++sentinels));
        environment.set("PEXOR_RECORD", record);
        if (started == 0)
            EXPECT_FALSE(harness::fileExists(record)) << harness::readFile(record);
        else
            EXPECT_EQ(readRecords(record).size(), started);
    }

    const std::string record = temp.file("record.txt");
    const std::string recorder = harness::recorderPath();
    char line[LINE_CAPACITY];
    size_t started = 0;
    size_t sentinels = 0;
    harness::MessageBoxCatcher boxes;
};

TEST_F(Launch, LinesStartTheirProgramWithExactlyTheseParameters) {
    const std::string& R = recorder;
    const struct {
        int32_t checkInternal;
        std::string line;
        std::string parameters;  // all cases start the recorder
    } cases[] = {
        {1, R + " eins  zwei \"drei vier\"\tf\xFCnf ", "eins  zwei \"drei vier\"\tf\xFCnf "},
        {1, "   " + R + "   x", "x"},
        {1, R, ""},
        // built-in commands and "!" lines through the command interpreter program
        {1, "dir c:\\", " /c dir c:\\"},
        {1, "DiR", " /c DiR "},
        {1, "chdir x", " /c chdir x"},
        {1, "!", ""},
        {1, "!notepad", " /c notepad "},
        {0, "! dir /w", " /c dir /w"},
        {0, "!dir", " /c dir "},
        // a "!" line whose word is a built-in command is wrapped twice
        {1, "! dir /w", " /c " + R + "  /c dir /w"},
        {1, "!dir", " /c " + R + "  /c dir "},
    };
    std::string before = harness::currentDirectory();
    for (const auto& c : cases) {
        SCOPED_TRACE("|" + c.line + "| CheckInternal " + std::to_string(c.checkInternal));
        settings.CheckInternal = c.checkInternal;
        EXPECT_EQ(run(c.line), EXEC_DONE);
        expectStarted(R, c.parameters);
        EXPECT_EQ(readRecords(record).back().currentDirectory, before);
    }
    EXPECT_EQ(harness::currentDirectory(), before) << "chdir does not move Pexor itself";
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(Launch, BuiltInCommandsGoAsTypedUnlessCheckInternalIsExactlyOne) {
    for (int32_t value : {0, 2}) {
        settings.CheckInternal = value;
        EXPECT_EQ(run("dir c:\\"), 2) << "CheckInternal " << value;  // no program "dir"
    }
    expectNothingStarted();
}

TEST_F(Launch, QuotedProgramPathMayContainBlanks) {
    std::string program = temp.makeDirectory("Mit Leerzeichen") + "\\Mein Rekorder.exe";
    ASSERT_TRUE(CopyFileA(recorder.c_str(), program.c_str(), FALSE));
    EXPECT_EQ(run("\"" + program + "\" -a"), EXEC_DONE);
    expectStarted(program, "-a");
    EXPECT_EQ(run("\"" + program + "\""), EXEC_DONE);
    expectStarted(program, "");
    EXPECT_EQ(run("\"" + program), EXEC_DONE) << "the closing quote may be missing";
    expectStarted(program, "");
}

TEST_F(Launch, UrlOpensTheHtmlProgramWithTheUrlAlone) {
    // Make the recorder the program for ".html" files, for this test only.
    // Wine 8 takes associations from HKLM\Software\Classes (what HKCR shows)
    // only; Windows also reads HKCU\Software\Classes, where a user's own
    // choice would win over this one, and needs administrator rights here.
    harness::RegistryOverride registry;
    ASSERT_TRUE(registry.setString(HKEY_CLASSES_ROOT, ".html", nullptr, "PexorTest.Seite"));
    ASSERT_TRUE(registry.setString(HKEY_CLASSES_ROOT, "PexorTest.Seite\\shell\\open\\command",
                                   nullptr, "\"" + recorder + "\" \"%1\""));
    const struct {
        const char* line;
        const char* url;
    } cases[] = {
        {"http://example.com/seite.html", "http://example.com/seite.html"},
        // words after the URL are dropped
        {"HtTp://example.com/a weitere W\xF6rter", "HtTp://example.com/a"},
        {"www.example.com/suche?q=1", "www.example.com/suche?q=1"},
        {"ftp://ftp.example.com/pub/", "ftp://ftp.example.com/pub/"},
        {"FTP.example.com", "FTP.example.com"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("|") + c.line + "|");
        EXPECT_EQ(run(c.line), EXEC_DONE);
        expectStarted(recorder, c.url);
    }
    EXPECT_FALSE(harness::fileExists("c:\\tmpurl.html")) << "the probe file is removed";
}

TEST_F(Launch, FolderIsOpenedWithTheExploreVerb) {
    std::string folder = temp.makeDirectory("Ordner");
    std::string file = temp.file("datei.txt");
    harness::writeFile(file, "x");
    EXPECT_EQ(isDirectory(folder.c_str()), 1);
    EXPECT_EQ(isDirectory(file.c_str()), 0);
    EXPECT_EQ(isDirectory(temp.file("fehlt").c_str()), 0);

    // The recorder stands in for the folder explorer and notes the verb.
    // Wine's registry has no command for this verb; Windows has one, and
    // older versions a ddeexec key that they try before the command.
    harness::RegistryOverride registry;
    ASSERT_TRUE(registry.setString(HKEY_CLASSES_ROOT, "Folder\\shell\\explore\\command", nullptr,
                                   "\"" + recorder + "\" explore \"%1\""));
    EXPECT_EQ(run(folder), EXEC_DONE);
    expectStarted(recorder, "explore \"" + folder + "\"");
}

TEST_F(Launch, MissingProgramReturnsFileNotFoundWithItsGermanText) {
    EXPECT_EQ(run(temp.file("fehlt.exe")), 2);
    EXPECT_EQ(run(temp.file("fehlt.exe") + " mit Parametern"), 2);
    const char* text = execErrorText(2);
    EXPECT_STREQ(text, "Die angegebene Datei íst nicht vorhanden.");
    // Windows-1252, one byte per letter: "í" is 0xED, not UTF-8's 0xC3 0xAD.
    ASSERT_EQ(strlen(text), 41u);
    EXPECT_EQ((unsigned char)text[21], 0xEDu);
    EXPECT_TRUE(boxes.boxes().empty()) << "the caller reports the error";
    expectNothingStarted();
}

TEST_F(Launch, OverlongRewritesAreRefusedAndStartNothing) {
    std::string drive(1, harness::lowerCase(temp.path())[0]);
    std::string remembered = "\\" + std::string(254, 'a');
    copyText(driveDirectoryTable[drive[0] - 'a'], PATH_CAPACITY, remembered.c_str());
    std::string before = harness::currentDirectory();

    EXPECT_EQ(run(drive + ":"), EXEC_LINE_TOO_LONG);  // "cd c:\aaa..." would be 260 characters
    EXPECT_STREQ(line, (drive + ":").c_str()) << "the line stays as typed";
    EXPECT_EQ(harness::currentDirectory(), before);

    // The parameter text holds 299 characters. One " /c " wrap of a line
    // that fits 259 always fits; wrapped twice, with the shell's path in it,
    // it can not.
    std::string twice = "!dir " + std::string(254, 'z');  // 259 characters
    ASSERT_GT(4 + recorder.size() + 1 + 8 + 254, 299u);
    EXPECT_EQ(run(twice), EXEC_LINE_TOO_LONG);
    EXPECT_TRUE(boxes.boxes().empty());
    expectNothingStarted();
}

// EXIT posts WM_CLOSE to the main window when Exit is exactly 1.
class ExitCommand : public Launch {
protected:
    ExitCommand() {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = mainWindowProc;
        windowClass.hInstance = GetModuleHandleA(0);
        windowClass.lpszClassName = "PexorTestMain";
        RegisterClassA(&windowClass);
        mainWindow = CreateWindowExA(0, "PexorTestMain", "Pexor", WS_OVERLAPPED, 0, 0, 10, 10, 0, 0,
                                     GetModuleHandleA(0), 0);
        closes = markers = 0;
    }
    ~ExitCommand() override { DestroyWindow(mainWindow); }

    // Posted messages arrive in order: once a marker posted after the call has
    // arrived, a WM_CLOSE posted by the call has arrived too.
    int closesAfter(const std::string& text) {
        EXPECT_EQ(run(text), EXEC_DONE);
        int seen = markers;
        PostMessageA(mainWindow, MARKER, 0, 0);
        EXPECT_TRUE(harness::pumpUntil([&] { return markers > seen; }));
        return closes;
    }
    static LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
        if (message == WM_CLOSE)
            ++closes;  // and the test window stays
        else if (message == MARKER)
            ++markers;
        else
            return DefWindowProcA(window, message, w, l);
        return 0;
    }
    static const UINT MARKER = WM_APP + 1;
    static int closes, markers;
};
int ExitCommand::closes, ExitCommand::markers;

TEST_F(ExitCommand, ClosesTheMainWindowOnlyWhenExitIsOne) {
    ASSERT_NE(mainWindow, (HWND)0);
    const struct {
        int32_t exit;
        const char* line;
        int closes;
    } cases[] = {
        {1, "exit", 1},
        {1, "EXIT jetzt", 1},  // parameters are ignored
        {0, "exit", 0},
        {2, "Exit", 0},
    };
    for (const auto& c : cases) {
        settings.Exit = c.exit;
        closes = 0;
        EXPECT_EQ(closesAfter(c.line), c.closes) << "|" << c.line << "| Exit=" << c.exit;
    }
    expectNothingStarted();
}

}  // namespace
