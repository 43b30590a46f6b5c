// CD and the drive switch through executeCommandLine: the real current
// directory, the per-drive table, the "=C:" record and what started programs
// inherit.
#include <ctype.h>
#include <string.h>

#include "base/textutil.h"
#include "harness.h"
#include "interp/interpreter_win32.h"

using harness::currentDirectory;
using harness::lowerCase;

namespace {

class ChangeDirectory : public Win32Test {
protected:
    ChangeDirectory() {
        memset(driveDirectoryTable, 0, sizeof driveDirectoryTable);
        environment.set("PEXOR_RECORD", record);
    }
    int run(const std::string& text) {
        copyText(line, sizeof line, text.c_str());
        return executeCommandLine(0, line);
    }
    static const char* slot(char drive) { return driveDirectoryTable[drive - 'a']; }
    // The "=C:" record of the directory's drive, or "<unset>".
    static std::string driveVariable(const std::string& dir) {
        std::string value = "<unset>";
        harness::environmentVariable((std::string("=") + (char)toupper(dir[0]) + ":").c_str(), &value);
        return value;
    }
    // The directory of the test program: a second drive (Z: under Wine).
    const std::string programDirectory = harness::recorderPath().substr(0, harness::recorderPath().rfind('\\'));
    const std::string record = temp.file("record.txt");
    char line[LINE_CAPACITY];
    harness::MessageBoxCatcher boxes;
};

// The C runtime's _chdir sets the "=C:" record on Windows but not under Wine;
// the program sets it itself, so both see the same.
TEST_F(ChangeDirectory, CdChangesDirectoryAndDriveRecordAndRemembersThemLowerCased) {
    for (const char* name : {"Projekte", "Mit Leerzeichen", "\xC4RGER.Dir"}) {  // ÄRGER.Dir
        std::string dir = temp.makeDirectory(name), folded = lowerCase(dir);
        EXPECT_EQ(run("cd  \"" + dir + "\""), EXEC_DONE) << dir;  // quoted, as cmd takes it
        EXPECT_EQ(currentDirectory(), folded);
        EXPECT_EQ(driveVariable(dir), folded);
        EXPECT_STREQ(slot(folded[0]), folded.substr(2).c_str());
        EXPECT_STREQ(line, ("cd  \"" + dir + "\"").c_str()) << "a CD line is not rewritten";
    }
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(ChangeDirectory, StartedProgramInheritsDirectoryAndDriveRecord) {
    size_t expected = 0;
    for (const std::string& dir : {temp.makeDirectory("Kind"), programDirectory}) {
        ASSERT_EQ(run("cd " + dir), EXEC_DONE) << dir;
        ASSERT_EQ(run(harness::recorderPath()), EXEC_DONE);
        ASSERT_TRUE(harness::waitForRecords(record, ++expected));
        harness::Record r = harness::readRecords(record).back();
        EXPECT_EQ(r.currentDirectory, lowerCase(dir));
        EXPECT_EQ(r.driveVariables[std::string("=") + (char)toupper(dir[0]) + ":"], lowerCase(dir));
    }
}

TEST_F(ChangeDirectory, DriveSwitchBecomesCdToTheRememberedDirectoryOrTheRoot) {
    std::string folded = lowerCase(temp.makeDirectory("Zurueck")), drive(1, folded[0]);
    EXPECT_EQ(run(drive + ":"), EXEC_DONE) << "nothing remembered";
    EXPECT_EQ(std::string(line), "cd " + drive + ":\\");
    EXPECT_EQ(currentDirectory(), drive + ":\\");
    EXPECT_STREQ(slot(drive[0]), "\\");
    ASSERT_EQ(run("cd " + folded), EXEC_DONE);
    for (char typed : {drive[0], (char)toupper(drive[0])}) {  // the letter keeps the case in which it was typed
        ASSERT_TRUE(SetCurrentDirectoryA(programDirectory.c_str()));  // away, the table stays
        EXPECT_EQ(run(std::string(1, typed) + ":"), EXEC_DONE) << typed;
        EXPECT_EQ(std::string(line), "cd " + std::string(1, typed) + folded.substr(1));
        EXPECT_EQ(currentDirectory(), folded);
    }
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(ChangeDirectory, FailingCdShowsTheSystemTextAndCountsAsDone) {
    std::string missing = temp.file("Fehlt"), before = currentDirectory();
    const struct { std::string typed, dir; } cases[] = {
        {"cd " + missing + "\\tiefer", missing + "\\tiefer"}, {"cd \"" + missing + "\"", missing},
        {"cd", ""},  // a bare cd does nothing and says nothing
    };
    size_t count = 0;
    for (const auto& c : cases) {
        char expected[MESSAGE_CAPACITY] = "";  // what the system says about this very directory
        if (!c.dir.empty()) {
            ASSERT_FALSE(SetCurrentDirectoryA(c.dir.c_str())) << c.dir;
            FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, 0, GetLastError(), 0,
                           expected, sizeof expected, 0);
            ASSERT_NE(expected[0], '\0');
            count++;
        }
        EXPECT_EQ(run(c.typed), EXEC_DONE) << c.typed;
        auto shown = boxes.boxes();
        ASSERT_EQ(shown.size(), count) << c.typed;
        if (!c.dir.empty()) {
            EXPECT_EQ(shown.back().caption, "Pexor - Hinweis");
            EXPECT_EQ(shown.back().text, expected) << c.typed;
        }
        EXPECT_EQ(currentDirectory(), before);
        for (int d = 0; d < DRIVE_COUNT; ++d) EXPECT_STREQ(driveDirectoryTable[d], "");
    }
}

}  // namespace
