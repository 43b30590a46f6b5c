// The alias file read through the Windows C runtime: text mode, the default
// path on drive C, and silence when the file is missing.
#include <string.h>

#include "base/textutil.h"
#include "harness.h"
#include "interp/aliasfile.h"
#include "interp/interpreter_win32.h"

namespace {

class AliasFileOnWindows : public Win32Test {
protected:
    AliasFileOnWindows() {
        settings.CheckAlias = 1;
        settings.CheckInternal = 0;
        copyText(settings.Shell, sizeof settings.Shell, "cmd.exe");
    }
    ~AliasFileOnWindows() override { freeMacroTable(); }
    std::vector<std::string> load(const std::string& path) {
        copyText(settings.AliasFile, sizeof settings.AliasFile, path.c_str());
        loadMacroTable();
        std::vector<std::string> out;
        for (const MacroEntry* e = macroTable; e != nullptr; e = e->next)
            out.push_back(std::string(e->name) + "=" + e->body);
        return out;
    }
};

TEST_F(AliasFileOnWindows, ReadsDoskeyLinesWithCrLfInFileOrderAndTheMacroRuns) {
    std::string path = temp.file("Autoexec.bat");
    harness::writeFile(path,
                       "@ECHO OFF\r\ndoskey ls=dir /w $*\r\nREM DOSKEY X=Y\r\nC:\\DOS\\DOSKEY.COM Gr\xF6\xDF"
                       "e=echo $1\r\n   DOSKEY  cp = copy $1 $2");  // the last line without a line end
    EXPECT_EQ(load(path), (std::vector<std::string>{"LS=DIR /W $*", "GR\xD6SSE=ECHO $1", "CP=COPY $1 $2"}));

    // The body is upper case, so the program word is the recorder's path in
    // upper case; the file system does not mind.
    std::string record = temp.file("record.txt");
    environment.set("PEXOR_RECORD", record);
    harness::writeFile(path, "DOSKEY rec=\"" + harness::recorderPath() + "\" A $1\r\n");
    ASSERT_EQ(load(path).size(), 1u);
    char line[LINE_CAPACITY] = "Rec eins zwei";
    EXPECT_EQ(executeCommandLine(0, line), EXEC_DONE);
    ASSERT_TRUE(harness::waitForRecords(record, 1));
    std::string commandLine = harness::readRecords(record)[0].commandLine;
    EXPECT_NE(commandLine.find(" A eins"), std::string::npos) << commandLine;
}

TEST_F(AliasFileOnWindows, MissingOrUnreadableFileLeavesTheTableEmptyWithoutAMessage) {
    harness::MessageBoxCatcher boxes;
    EXPECT_TRUE(load(temp.file("missing.bat")).empty());
    EXPECT_TRUE(load(temp.path()).empty());
    EXPECT_TRUE(boxes.boxes().empty());
}

// The prefix's drive C may or may not hold an autoexec.bat; either way it is
// read without a message, and what it defines is loaded.
TEST_F(AliasFileOnWindows, DefaultPathIsAutoexecOnDriveC) {
    EXPECT_STREQ(DEFAULT_ALIAS_FILE, "c:\\autoexec.bat");
    std::string original = harness::readFile(DEFAULT_ALIAS_FILE);
    bool existed = harness::fileExists(DEFAULT_ALIAS_FILE);
    harness::writeFile(DEFAULT_ALIAS_FILE, original + "\r\nDOSKEY PEXORTEST=echo ok\r\n");
    std::vector<std::string> loaded = load(DEFAULT_ALIAS_FILE);
    if (existed)
        harness::writeFile(DEFAULT_ALIAS_FILE, original);
    else
        DeleteFileA(DEFAULT_ALIAS_FILE);
    ASSERT_FALSE(loaded.empty());
    EXPECT_EQ(loaded.back(), "PEXORTEST=ECHO OK");
}

}  // namespace
