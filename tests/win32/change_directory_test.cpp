// CD through executeCommandLine: the real current directory, the per-drive
// table, the "=C:" record and what started programs inherit.
#include "harness.h"

#include <ctype.h>

namespace {

class ChangeDirectory : public Win32Test {
protected:
    int run(const std::string& text) {
        copyText(line, sizeof line, text.c_str());
        return executeCommandLine(0, line);
    }
    char line[LINE_CAPACITY];
    harness::Boxes boxes;
};

// The C runtime's _chdir sets the "=C:" record on Windows but not under Wine;
// the program sets it itself, so both see the same, and so does a program
// started afterwards.
TEST_F(ChangeDirectory, CdChangesDirectoryDriveRecordAndTableLowerCasedAndChildrenInheritThem) {
    const std::string record = temp.file("record.txt");
    environment.set("PEXOR_RECORD", record);
    memset(driveDirectoryTable, 0, sizeof driveDirectoryTable);
    size_t started = 0;
    for (const char* name : {"Mit Leerzeichen", "\xC4RGER.Dir"}) {  // ÄRGER.Dir
        std::string dir = temp.makeDirectory(name), folded = harness::lowerCase(dir);
        const std::string variable = std::string("=") + (char)toupper(dir[0]) + ":";
        EXPECT_EQ(run("cd  \"" + dir + "\""), EXEC_DONE) << dir;  // quoted, as cmd takes it
        EXPECT_EQ(harness::currentDirectory(), folded);
        char value[MAX_PATH] = "<unset>";
        GetEnvironmentVariableA(variable.c_str(), value, sizeof value);
        EXPECT_EQ(value, folded);
        EXPECT_STREQ(driveDirectoryTable[folded[0] - 'a'], folded.substr(2).c_str());
        ASSERT_EQ(run(harness::recorderPath()), EXEC_DONE);
        ASSERT_TRUE(harness::waitForRecords(record, ++started));
        harness::Record r = harness::readRecords(record).back();
        EXPECT_EQ(r.currentDirectory, folded);
        EXPECT_EQ(r.driveVariables[variable], folded);
    }
    EXPECT_EQ(boxes.shown(), "");
}

// The box says what the system says about this very directory; nothing is
// remembered, and the line counts as done.
TEST_F(ChangeDirectory, FailingCdShowsTheSystemTextAndChangesNothing) {
    const std::string missing = temp.file("Fehlt") + "\\tiefer", before = harness::currentDirectory();
    ASSERT_FALSE(SetCurrentDirectoryA(missing.c_str()));
    char expected[MESSAGE_CAPACITY] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, 0, GetLastError(), 0, expected,
                   sizeof expected, 0);
    memset(driveDirectoryTable, 0, sizeof driveDirectoryTable);
    EXPECT_EQ(run("cd \"" + missing + "\""), EXEC_DONE);
    EXPECT_EQ(boxes.shown(), "Pexor - Hinweis: " + std::string(expected) + "\n");
    EXPECT_EQ(harness::currentDirectory(), before);
    for (int d = 0; d < DRIVE_COUNT; ++d) EXPECT_STREQ(driveDirectoryTable[d], "");
}

}  // namespace
