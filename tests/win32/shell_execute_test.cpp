// Lines through executeCommandLine, checked by what the started program saw:
// recorder.exe stands in for programs, the command interpreter program, the
// browser and the folder explorer. Which request a line makes is decided in
// the portable core; here it is carried out: ShellExecuteA, and CD with the
// real current directory, the per-drive table and the "=C:" record. The shell
// program comes from the real profile API and environment.
#include "harness.h"

namespace {

class Launch : public Win32Test {
protected:
    int run(const std::string& text) {
        char line[LINE_CAPACITY];
        copyText(line, sizeof line, text.c_str());
        return executeCommandLine(0, line);
    }
};

TEST_F(Launch, RequestsStartTheirProgramWithExactlyTheseParametersOrReturnTheShellsError) {
    const std::string record = temp.file("record.txt"), R = harness::recorderPath();
    const std::string blanks = temp.makeDirectory("Mit Leerzeichen") + "\\Mein Rekorder.exe";
    const std::string folder = temp.makeDirectory("Ordner");
    ASSERT_TRUE(CopyFileA(R.c_str(), blanks.c_str(), FALSE));
    undo.setEnvironment("PEXOR_RECORD", record.c_str());
    copyText(settings.Shell, sizeof settings.Shell, R.c_str());
    settings.CheckInternal = settings.Exit = 1;
    settings.CheckAlias = 0;
    const char drive = harness::lowerCase(temp.path())[0];
    copyText(driveDirectoryTable[drive - 'a'], PATH_CAPACITY, ("\\" + std::string(254, 'a')).c_str());
    // The recorder as the program for ".html" files and for the folder
    // explorer. Wine 8 takes associations from HKLM\Software\Classes only;
    // Windows also reads HKCU\Software\Classes, where a user's own choice
    // would win, and needs administrator rights here. Wine's registry has no
    // explore command; older Windows try a ddeexec key before the command.
    ASSERT_TRUE(undo.setRegistryString(HKEY_CLASSES_ROOT, ".html", nullptr, "PexorTest.Seite"));
    ASSERT_TRUE(undo.setRegistryString(HKEY_CLASSES_ROOT, "PexorTest.Seite\\shell\\open\\command", nullptr,
                                   "\"" + R + "\" \"%1\""));
    ASSERT_TRUE(undo.setRegistryString(HKEY_CLASSES_ROOT, "Folder\\shell\\explore\\command", nullptr,
                                   "\"" + R + "\" explore \"%1\""));
    // The browser is found through a probe file of a new name in the temp
    // directory: a file of the user's (the name once used) stays untouched,
    // and the probe goes (one left by an earlier run, a fault's, goes first).
    harness::writeFile("c:\\tmpurl.html", "meine Seite");
    const std::string tempDir = temp.path().substr(0, temp.path().rfind('\\') + 1);
    auto probe = [&] {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((tempDir + "pxu*").c_str(), &found);
        FindClose(search);
        return search == INVALID_HANDLE_VALUE ? std::string() : tempDir + found.cFileName;
    };
    for (std::string left; !(left = probe()).empty();) ASSERT_TRUE(DeleteFileA(left.c_str())) << left;
    const struct {
        std::string line;
        int result;
        std::string commandLine;  // of the program started, empty for none
    } cases[] = {
        {R + " eins  zwei \"drei vier\"\tf\xFCnf ", EXEC_DONE, "\"" + R + "\" eins  zwei \"drei vier\"\tf\xFCnf "},
        {"!", EXEC_DONE, "\"" + R + "\""},  // no parameters at all
        {"dir c:\\", EXEC_DONE, "\"" + R + "\"  /c dir c:\\"},
        {"\"" + blanks + "\" -a", EXEC_DONE, "\"" + blanks + "\" -a"},
        {"HtTp://example.com/a weitere W\xF6rter", EXEC_DONE, "\"" + R + "\" HtTp://example.com/a"},
        {folder, EXEC_DONE, "\"" + R + "\" explore \"" + folder + "\""},
        {temp.file("fehlt.exe") + " mit Parametern", 2, ""}, {"exit", EXEC_CLOSE, ""},
        {std::string(1, drive) + ":", EXEC_LINE_TOO_LONG, ""},  // "cd c:\aaa..." would be 260
    };
    std::vector<std::string> started;
    for (const auto& c : cases) {
        EXPECT_EQ(run(c.line), c.result) << "|" << c.line << "|";
        if (c.commandLine.empty()) continue;
        started.push_back(c.commandLine);
        ASSERT_TRUE(harness::waitForRecords(record, started.size())) << "|" << c.line << "|";
    }
    // What started, in order; a last run of the recorder of its own shows
    // that nothing else is still on its way.
    ASSERT_GT((INT_PTR)ShellExecuteA(0, "open", R.c_str(), "zuletzt", 0, SW_SHOWNORMAL), 32);
    started.push_back("\"" + R + "\" zuletzt");
    ASSERT_TRUE(harness::waitForRecords(record, started.size()));
    std::vector<std::string> seen;
    for (const auto& r : harness::readRecords(record)) seen.push_back(r.commandLine);
    EXPECT_EQ(seen, started);
    EXPECT_EQ(harness::readFile("c:\\tmpurl.html"), "meine Seite");
    DeleteFileA("c:\\tmpurl.html");
    EXPECT_EQ(probe(), "");
}

// The C runtime's _chdir sets the "=C:" record on Windows but not under Wine;
// the program sets it itself, so both see the same, and so does a program
// started afterwards. A failing cd shows what the system says about this very
// directory, changes nothing and counts as done.
TEST_F(Launch, CdChangesDirectoryDriveRecordAndTableLowerCasedOrShowsTheSystemsText) {
    const std::string record = temp.file("record.txt"), dir = temp.makeDirectory("\xC4RGER mit Leerzeichen");
    const std::string folded = harness::lowerCase(dir), variable = std::string("=") + (char)toupper(dir[0]) + ":";
    const std::string missing = temp.file("Fehlt") + "\\tiefer";
    undo.setEnvironment("PEXOR_RECORD", record.c_str());
    memset(driveDirectoryTable, 0, sizeof driveDirectoryTable);
    harness::Boxes boxes;
    EXPECT_EQ(run("cd  \"" + dir + "\""), EXEC_DONE);  // quoted, as cmd takes it
    ASSERT_FALSE(SetCurrentDirectoryA(missing.c_str()));
    char expected[MESSAGE_CAPACITY] = "", value[MAX_PATH] = "<unset>";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, 0, GetLastError(), 0, expected,
                   sizeof expected, 0);
    EXPECT_EQ(run("cd \"" + missing + "\""), EXEC_DONE);
    EXPECT_EQ(boxes.shown(), "Pexor - Hinweis: " + std::string(expected) + "\n");
    EXPECT_EQ(harness::currentDirectory(), folded);
    GetEnvironmentVariableA(variable.c_str(), value, sizeof value);
    EXPECT_EQ(value, folded);
    for (int d = 0; d < DRIVE_COUNT; ++d) EXPECT_STREQ(driveDirectoryTable[d], d == folded[0] - 'a' ? &folded[2] : "");
    ASSERT_EQ(run(harness::recorderPath()), EXEC_DONE);
    ASSERT_TRUE(harness::waitForRecords(record, 1));
    harness::Record r = harness::readRecords(record).back();
    EXPECT_EQ(r.currentDirectory, folded);
    EXPECT_EQ(r.driveVariables[variable], folded);
}

// The shell's and the file dialog's functions are looked up when first
// needed; on an older Windows without them the user is told which is missing.
TEST_F(Launch, MissingLibraryOrFunctionIsNamedInAWarningAndGivesNothingToCall) {
    harness::Boxes boxes;
    EXPECT_TRUE(systemFunction(0, "pexor-fehlt.dll", "ShellExecuteA") == 0);
    EXPECT_TRUE(systemFunction(0, "comdlg32.dll", "GetOpenFileNameX") == 0);
    EXPECT_TRUE(systemFunction(0, "comdlg32.dll", "GetOpenFileNameA") != 0);
    EXPECT_EQ(boxes.shown(), "Pexor - Fehler: Die Datei pexor-fehlt.dll konnte nicht geladen werden.\n"
                             "Pexor - Fehler: Die Datei comdlg32.dll enth\xE4lt die Funktion GetOpenFileNameX nicht.\n");
}

// Each row a settings file of its own (nothing cached from another): the
// profile API's reading of integers, kept to their low 16 bits, and the shell
// program from the Shell key, else COMSPEC unless too long to be used whole,
// else cmd.exe (Wine reports the NT platform, as does every Windows since 2000).
TEST_F(Launch, TheShellProgramComesFromKeyComspecOrPlatformAndIntegersKeepTheirLow16Bits) {
    const std::string tooLong = "c:\\" + std::string(PATH_CAPACITY, 'x') + ".exe";
    const struct { const char* setup; const char* comspec; long checkInternal; const char* shell; } cases[] = {
        {"CheckInternal=65537\r\nShell=c:\\tools\\shell.exe\r\n", "c:\\winnt\\cmd.exe", 1, "c:\\tools\\shell.exe"},
        {"CheckInternal=-20\r\nShell=\r\n", "c:\\4dos\\4nt.exe", 65516, "c:\\4dos\\4nt.exe"},
        {"CheckInternal=12abc\r\n", nullptr, 12, "cmd.exe"}, {"CheckInternal=abc\r\n", tooLong.c_str(), 0, "cmd.exe"},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("|") + c.setup + "|" + (c.comspec ? c.comspec : "(no COMSPEC)") + "|");
        undo.setEnvironment("COMSPEC", c.comspec);
        copyText(iniPath, sizeof iniPath, temp.file("v" + std::to_string(n++) + ".ini").c_str());
        harness::writeFile(iniPath, std::string("[Setup]\r\n") + c.setup);
        readSettings();
        EXPECT_EQ(settings.CheckInternal, c.checkInternal);
        EXPECT_STREQ(settings.Shell, c.shell);
    }
}

}  // namespace
