// CD and the drive switch through executeCommandLine: the real current
// directory, the per-drive table, the "=C:" record and what started programs
// inherit.
#include <ctype.h>
#include <string.h>

#include "harness.h"
#include "interp/interpreter_win32.h"
#include "interp/textutil.h"

using harness::currentDirectory;
using harness::lowerCase;

namespace {

class ChangeDirectory : public Win32Test {
protected:
    ChangeDirectory() {
        memset(driveDirectoryTable, 0, sizeof driveDirectoryTable);
        environment.set("PEXOR_RECORD", temp.file("record.txt"));
    }
    int run(const std::string& text) {
        copyText(line, sizeof line, text.c_str());
        return executeCommandLine(0, line);
    }
    static const char* slot(char drive) { return driveDirectoryTable[drive - 'a']; }
    // The directory of the test program: a second drive (Z: under Wine).
    static std::string programDirectory() {
        std::string recorder = harness::recorderPath();
        return recorder.substr(0, recorder.find_last_of('\\'));
    }
    char line[LINE_CAPACITY];
    harness::MessageBoxCatcher boxes;
};

TEST_F(ChangeDirectory, CdChangesTheProcessDirectoryAndRemembersItLowerCased) {
    const std::string names[] = {"Projekte", "Mit Leerzeichen", "\xC4RGER.Dir"};  // ÄRGER.Dir
    for (const std::string& name : names) {
        std::string dir = temp.makeDirectory(name);
        std::string folded = lowerCase(dir);
        EXPECT_EQ(run("cd " + dir), EXEC_DONE) << "|" << dir << "|";
        EXPECT_EQ(currentDirectory(), folded);
        ASSERT_EQ(folded[1], ':');
        EXPECT_STREQ(slot(folded[0]), folded.substr(2).c_str());
        EXPECT_STREQ(line, ("cd " + dir).c_str()) << "a CD line is not rewritten";
    }
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(ChangeDirectory, CdRecordsTheDriveDirectoryInTheEnvironment) {
    std::string dir = temp.makeDirectory("Umgebung");
    ASSERT_EQ(run("cd " + dir), EXEC_DONE);
    // The C runtime's _chdir sets this record on Windows but not under Wine;
    // the program sets it itself, so both see the same.
    std::string name = std::string("=") + (char)toupper(dir[0]) + ":", value;
    ASSERT_TRUE(harness::environmentVariable(name.c_str(), &value)) << name;
    EXPECT_EQ(value, lowerCase(dir));
}

TEST_F(ChangeDirectory, StartedProgramInheritsDirectoryAndDriveRecord) {
    const std::string dirs[] = {temp.makeDirectory("Kind"), programDirectory()};
    std::string record = temp.file("record.txt");
    size_t expected = 0;
    for (const std::string& dir : dirs) {
        ASSERT_EQ(run("cd " + dir), EXEC_DONE) << dir;
        ASSERT_EQ(run(harness::recorderPath()), EXEC_DONE);
        ASSERT_TRUE(harness::waitForRecords(record, ++expected));
        harness::Record r = harness::readRecords(record).back();
        std::string folded = lowerCase(dir);
        EXPECT_EQ(r.currentDirectory, folded);
        std::string name = std::string("=") + (char)toupper(dir[0]) + ":";
        EXPECT_EQ(r.driveVariables[name], folded) << name;
    }
}

TEST_F(ChangeDirectory, DriveSwitchBecomesCdToTheRememberedDirectory) {
    std::string dir = temp.makeDirectory("Zurueck");
    std::string folded = lowerCase(dir);
    ASSERT_EQ(run("cd " + dir), EXEC_DONE);
    const struct {
        std::string typed;
        std::string rewritten;
    } cases[] = {
        {std::string(1, folded[0]) + ":", "cd " + folded},
        // the letter keeps the case in which it was typed
        {std::string(1, (char)toupper(folded[0])) + ":",
         "cd " + std::string(1, (char)toupper(folded[0])) + folded.substr(1)},
    };
    for (const auto& c : cases) {
        // Away without the program, so that the remembered directory stays.
        ASSERT_TRUE(SetCurrentDirectoryA(programDirectory().c_str()));
        EXPECT_EQ(run(c.typed), EXEC_DONE) << "|" << c.typed << "|";
        EXPECT_STREQ(line, c.rewritten.c_str()) << "|" << c.typed << "|";
        EXPECT_EQ(currentDirectory(), folded) << "|" << c.typed << "|";
    }
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(ChangeDirectory, DriveSwitchWithNothingRememberedGoesToTheRoot) {
    std::string drive(1, lowerCase(temp.path())[0]);
    EXPECT_EQ(run(drive + ":"), EXEC_DONE);
    EXPECT_STREQ(line, ("cd " + drive + ":\\").c_str());
    EXPECT_EQ(currentDirectory(), drive + ":\\");
    EXPECT_STREQ(slot(drive[0]), "\\");
}

TEST_F(ChangeDirectory, FailingCdShowsTheSystemTextAndCountsAsDone) {
    std::string missing = temp.file("Fehlt");
    // The directory as typed: quotes are not removed; "cd" alone passes an
    // empty text, which the system refuses as well.
    const std::string parameters[] = {missing, missing + "\\tiefer", "\"" + temp.path() + "\"", ""};
    std::string before = currentDirectory();
    size_t count = 0;
    for (const std::string& p : parameters) {
        // What the system says about this very directory.
        SetLastError(0);
        ASSERT_FALSE(SetCurrentDirectoryA(p.c_str())) << p;
        DWORD error = GetLastError();
        char expected[MESSAGE_CAPACITY] = "";
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, 0, error, 0,
                       expected, sizeof expected, 0);
        ASSERT_NE(expected[0], '\0') << "error " << error;

        EXPECT_EQ(run(p.empty() ? "cd" : "cd " + p), EXEC_DONE) << "|" << p << "|";
        auto shown = boxes.boxes();
        ASSERT_EQ(shown.size(), ++count) << "|" << p << "|";
        EXPECT_EQ(shown.back().caption, "Pexor - Hinweis");
        EXPECT_EQ(shown.back().text, expected) << "|" << p << "| error " << error;
        EXPECT_EQ(currentDirectory(), before);
        for (int d = 0; d < DRIVE_COUNT; ++d) EXPECT_STREQ(driveDirectoryTable[d], "");
    }
}

TEST_F(ChangeDirectory, CdLookalikesAreNotChangesOfDirectory) {
    std::string before = currentDirectory();
    // "cd.." and "cd\" are program words of their own; no such files exist.
    EXPECT_EQ(run("cd.."), 2);
    EXPECT_EQ(run("cd\\"), 2);
    EXPECT_EQ(currentDirectory(), before);
    EXPECT_TRUE(boxes.boxes().empty());
}

}  // namespace
