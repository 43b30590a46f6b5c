// Lines that end in ShellExecuteA, checked by what the started program saw:
// recorder.exe stands in for programs, the command interpreter program, the
// browser and the folder explorer.
#include "harness.h"

#include <shellapi.h>
#include <string.h>

#include "base/textutil.h"
#include "interp/interpreter_win32.h"

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
        EXPECT_EQ(r.commandLine, "\"" + program + "\"" + (parameters.empty() ? "" : " " + parameters));
    }
    // Starts the recorder straight away with a file of its own and waits for
    // it; whatever the test had started before has had the same time.
    void expectNothingStarted() {
        std::string sentinel = temp.file("sentinel.txt");
        environment.set("PEXOR_RECORD", sentinel);
        ASSERT_GT((INT_PTR)ShellExecuteA(0, "open", recorder.c_str(), "sentinel", 0, SW_SHOWNORMAL), 32);
        ASSERT_TRUE(harness::waitForRecords(sentinel, 1));
        environment.set("PEXOR_RECORD", record);
        EXPECT_EQ(readRecords(record).size(), started);
    }

    const std::string record = temp.file("record.txt");
    const std::string recorder = harness::recorderPath();
    char line[LINE_CAPACITY];
    size_t started = 0;
    harness::MessageBoxCatcher boxes;
};

TEST_F(Launch, LinesStartTheirProgramWithExactlyTheseParameters) {
    const std::string& R = recorder;
    const struct { std::string line, parameters; } cases[] = {  // all start the recorder
        {R + " eins  zwei \"drei vier\"\tf\xFCnf ", "eins  zwei \"drei vier\"\tf\xFCnf "},
        {R, ""},
        // built-in commands and "!" lines through the command interpreter program
        {"dir c:\\", " /c dir c:\\"},
        {"chdir x", " /c chdir x"},
        {"!", ""},
        {"!notepad", " /c notepad "},
    };
    std::string before = harness::currentDirectory();
    for (const auto& c : cases) {
        EXPECT_EQ(run(c.line), EXEC_DONE) << c.line;
        expectStarted(R, c.parameters);
        EXPECT_EQ(readRecords(record).back().currentDirectory, before);
    }
    EXPECT_EQ(harness::currentDirectory(), before) << "chdir does not move Pexor itself";
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(Launch, QuotedProgramPathMayContainBlanks) {
    std::string program = temp.makeDirectory("Mit Leerzeichen") + "\\Mein Rekorder.exe";
    ASSERT_TRUE(CopyFileA(recorder.c_str(), program.c_str(), FALSE));
    EXPECT_EQ(run("\"" + program + "\" -a"), EXEC_DONE);
    expectStarted(program, "-a");
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
    ASSERT_TRUE(registry.setString(HKEY_CLASSES_ROOT, "PexorTest.Seite\\shell\\open\\command", nullptr,
                                   "\"" + recorder + "\" \"%1\""));
    // The browser is found through a probe file of a new name in the temp
    // directory: a file of the user's (the name once used) stays untouched.
    harness::writeFile("c:\\tmpurl.html", "meine Seite");
    EXPECT_EQ(run("HtTp://example.com/a weitere W\xF6rter"), EXEC_DONE);
    expectStarted(recorder, "HtTp://example.com/a");  // words after the URL are dropped
    EXPECT_EQ(run("www.example.com/suche?q=1"), EXEC_DONE);
    expectStarted(recorder, "www.example.com/suche?q=1");
    EXPECT_EQ(harness::readFile("c:\\tmpurl.html"), "meine Seite");
    DeleteFileA("c:\\tmpurl.html");
    char tempDir[MAX_PATH];
    GetTempPathA(sizeof tempDir, tempDir);
    WIN32_FIND_DATAA found;
    HANDLE left = FindFirstFileA((std::string(tempDir) + "pxu*").c_str(), &found);
    EXPECT_EQ(left, INVALID_HANDLE_VALUE) << "the probe file is removed: " << found.cFileName;
    if (left != INVALID_HANDLE_VALUE) FindClose(left);
}

TEST_F(Launch, FolderIsOpenedWithTheExploreVerb) {
    std::string folder = temp.makeDirectory("Ordner"), file = temp.file("datei.txt");
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

// The shell's error code comes back for the caller to report.
TEST_F(Launch, MissingProgramReturnsFileNotFoundAndStartsNothing) {
    EXPECT_EQ(run(temp.file("fehlt.exe") + " mit Parametern"), 2);
    for (int32_t value : {0, 2}) {  // "dir" goes as typed unless CheckInternal is exactly 1
        settings.CheckInternal = value;
        EXPECT_EQ(run("dir c:\\"), 2) << "CheckInternal " << value;
    }
    EXPECT_TRUE(boxes.boxes().empty());
    expectNothingStarted();
}

TEST_F(Launch, OverlongRewritesAreRefusedAndStartNothing) {
    std::string drive(1, harness::lowerCase(temp.path())[0]);
    copyText(driveDirectoryTable[drive[0] - 'a'], PATH_CAPACITY, ("\\" + std::string(254, 'a')).c_str());
    std::string before = harness::currentDirectory();
    EXPECT_EQ(run(drive + ":"), EXEC_LINE_TOO_LONG);  // "cd c:\aaa..." would be 260 characters
    EXPECT_STREQ(line, (drive + ":").c_str()) << "the line stays as typed";
    EXPECT_EQ(harness::currentDirectory(), before);
    // One " /c " wrap of a line that fits 259 characters always fits the
    // parameters' 299; wrapped twice, with the shell's path in it, it can not.
    ASSERT_GT(4 + recorder.size() + 1 + 8 + 254, 299u);
    EXPECT_EQ(run("!dir " + std::string(254, 'z')), EXEC_LINE_TOO_LONG);
    EXPECT_TRUE(boxes.boxes().empty());
    expectNothingStarted();
}

// EXIT asks the caller to close the program when Exit is exactly 1.
TEST_F(Launch, ExitAsksToCloseOnlyWhenExitIsOne) {
    const struct { int32_t exit; const char* line; int result; } cases[] = {
        {1, "exit", EXEC_CLOSE}, {1, "EXIT jetzt", EXEC_CLOSE}, {0, "exit", EXEC_DONE}, {2, "Exit", EXEC_DONE},
    };
    for (const auto& c : cases) {
        settings.Exit = c.exit;
        EXPECT_EQ(run(c.line), c.result) << c.line << " with Exit " << c.exit;
    }
    expectNothingStarted();
}

}  // namespace
