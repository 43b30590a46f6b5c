// The command history: loading (line ends, long lines, control characters,
// MaxHistory), recording, trimming, clearing, the F8 search, and saving
// without ever losing the old file or failing without a word.
#include "state/history.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "../shared/history_list.h"

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

void writeBytes(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

int refuseToReplace(void*, const char*, const char*) { return 0; }
void remember(void* told, const char* message) { static_cast<Lines*>(told)->push_back(message); }

class History : public testing::Test {
protected:
    std::string dir = mkdtemp(&std::string("/tmp/pexor-history-XXXXXX")[0]), path = dir + "/pexor.his",
                newPath = path + HISTORY_NEW_SUFFIX;
    Lines told;  // the messages the user saw
    HistoryFile file{path.c_str(), &told, renameInPlace, remember, 0, 0};
    Settings s{};
    MemoryList box;
    HistoryList list = box.list();

    void SetUp() override {
        s.MaxHistory = 25, s.SaveHistory = 1, lastRunLine[0] = '\0', lastSearchHit = 0, resetHistorySearch();
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string named(std::string message) { return message.replace(message.find('*'), 1, path); }
    void hold(const Lines& lines) {
        box.entries = {""};
        box.entries.insert(box.entries.end(), lines.begin(), lines.end());
    }
};

const std::string A1022(1022, 'a'), A1023(1023, 'a'), NO_FILE = "(no file)", FOLDER = "(a folder)";
const std::string UNREAD = "Die Historie in * konnte nicht gelesen werden. Die Datei wird nicht "
                           "überschrieben, solange sie nicht gelesen werden kann.";
const std::string NOT_SAVED = "Die Historie konnte nicht in * gespeichert werden. Die Datei bleibt, wie sie war.";

// Loaded into an empty list: entries, entry 0 included, and what the user is told.
TEST_F(History, LoadKeepsEveryByteButLineEndsAndEachLineIsOneEntry) {
    struct { const char* what; std::string file; uint16_t max; Lines entries; int unread; } cases[] = {
        {"missing file: the list is left alone", NO_FILE, 25, {}, 0}, {"empty file", "", 25, {""}, 0},
        {"a folder cannot be read: told, and never overwritten", FOLDER, 25, {""}, 1},
        {"newest first, the last line without line end", "a\r\nb\nlast", 25, {"", "a", "b", "last"}, 0},
        {"empty lines and blanks are entries", "\r\n x\t \r\n\r\n", 25, {"", "", " x\t ", ""}, 0},
        {"Ctrl-Z is a byte like any other", "a\x1A\r\nb\x1A\x1A" "c\r\nd\r\n", 25, {"", "a\x1A", "b\x1A\x1A" "c", "d"}, 0},
        {"a CR not before the line feed stays", "a\rb\r\r\n\r", 25, {"", "a\rb\r", "\r"}, 0},
        {"NUL bytes are dropped, the rest of the line kept", std::string("a\0b\r\n\0\n", 7), 25, {"", "ab", ""}, 0},
        {"longer than MaxHistory: the newest", "1\n2\n3\n", 2, {"", "1", "2"}, 0}, {"MaxHistory 0", "1\n", 0, {""}, 0},
        {"1022 characters and CR LF", A1022 + "\r\nz", 25, {"", A1022, "z"}, 0},
        {"1023 characters and CR LF", A1023 + "\r\nz", 25, {"", A1023, "z"}, 0},
        // Longer lines are one entry of their first 1023 bytes: no line that
        // long can run, and as several entries it would push others out.
        {"1024 and more: one entry", A1023 + "b\r\n" + A1023 + std::string(2000, 'c') + "\nz", 2, {"", A1023, A1023}, 0},
    };
    for (auto& c : cases) {
        fs::remove_all(path);
        if (c.file == FOLDER) fs::create_directory(path);
        else if (c.file != NO_FILE) writeBytes(path, c.file);
        box.entries.clear(), told.clear(), file.unread = file.told = 0;
        loadHistoryFile(&list, &file, c.max);
        EXPECT_EQ(box.entries, c.entries) << c.what;
        EXPECT_EQ(file.unread, c.unread) << c.what;
        EXPECT_EQ(told, c.unread ? Lines{named(UNREAD)} : Lines{}) << c.what;
    }
}

// From the lines loaded and the file "on disk": what running lines, trimming
// to MaxHistory (TRIM) and clearing (CLEAR) leave in the list and in the file.
const std::string TRIM = "(trim)", CLEAR = "(clear)", ON_DISK = "on disk\n";
TEST_F(History, RecordTrimAndClearKeepTheNewestLinesAndSaveWhenSaveHistoryIsOne) {
    struct { const char* what; uint16_t max; int32_t save; Lines loaded, runs, lines; bool saved; } cases[] = {
        {"dir twice: once", 25, 1, {}, {"dir", "dir"}, {"dir"}, 1},
        {"dir cls dir: three", 25, 1, {}, {"dir", "cls", "dir"}, {"dir", "cls", "dir"}, 1},
        {"equal to a loaded line: again", 25, 1, {"dir"}, {"dir"}, {"dir", "dir"}, 1},
        {"case and a trailing blank count", 25, 1, {}, {"dir", "DIR", "DIR "}, {"DIR ", "DIR", "dir"}, 1},
        {"MaxHistory 1: replaces", 1, 1, {"old"}, {"a", "b"}, {"b"}, 1},
        {"MaxHistory 2: oldest go first", 2, 1, {"x", "y", "z"}, {"a"}, {"a", "x"}, 1},
        {"MaxHistory 0: entry 0 alone, nothing remembered", 0, 1, {"x", "y"}, {"a", "b"}, {}, 1},
        {"a line feed in it would come back as two lines", 25, 1, {"x"}, {"a\nb", "c\r\nd"}, {"x"}, 0},
        {"SaveHistory 0", 25, 0, {"b", "a"}, {"c"}, {"c", "b", "a"}, 0},
        {"SaveHistory 2", 25, 2, {"b", "a"}, {"c"}, {"c", "b", "a"}, 0},
        {"trim to 1", 1, 1, {"b", "a"}, {TRIM}, {"b"}, 1},        {"trim, SaveHistory 0", 1, 0, {"b", "a"}, {TRIM}, {"b"}, 0},
        {"trim, SaveHistory 2", 1, 2, {"b", "a"}, {TRIM}, {"b"}, 0}, {"trim to 2", 2, 1, {"b", "a"}, {TRIM}, {"b", "a"}, 1},
        {"trim to 0", 0, 1, {"b", "a"}, {TRIM}, {}, 1},          {"trim to 65535", 65535, 1, {"b", "a"}, {TRIM}, {"b", "a"}, 1},
        {"clear", 25, 1, {"b", "a"}, {CLEAR}, {}, 1},             {"clear, SaveHistory 0", 25, 0, {"b", "a"}, {CLEAR}, {}, 1},
        {"clear, then the last line again", 25, 1, {}, {"dir", CLEAR, "dir"}, {}, 1},
    };
    for (auto& c : cases) {
        writeBytes(path, ON_DISK);
        hold(c.loaded);
        lastRunLine[0] = '\0';
        s.MaxHistory = c.max, s.SaveHistory = c.save;
        for (auto& run : c.runs)
            run == TRIM ? trimHistory(&list, &s, &file) : run == CLEAR ? clearHistory(&list, &file)
                                                                      : recordRunLine(&list, run.c_str(), &s, &file);
        EXPECT_EQ(box.entries[0], "") << c.what;
        EXPECT_EQ(box.lines(), c.lines) << c.what;
        EXPECT_EQ(readBytes(path), c.saved ? box.saved() : ON_DISK) << c.what;
        EXPECT_FALSE(fs::exists(newPath));
    }
    box.entries.clear();  // an empty list first gets its entry 0
    recordRunLine(&list, "b", &s, &file);
    EXPECT_EQ(box.entries, (Lines{"", "b"}));
}

// F8 presses: type (null: the edit field as the last press left it; else the
// user types this, which resets the search) and the index selected (-1: a
// beep, the edit field unchanged, the search text forgotten).
struct Press { const char* type; int hit; };

TEST_F(History, SearchWalksPrefixMatchesNewestFirstAndBeepsOnFailure) {
    struct { const char* what; Lines lines; std::vector<Press> presses; } cases[] = {
        {"alternates newest first", {"Net view", "notepad", "cmd"}, {{"n", 1}, {0, 2}, {0, 1}, {0, 2}}},
        {"wraps to the newest", {"ab", "x", "ac"}, {{"a", 1}, {0, 3}, {0, 1}}},
        {"a single match stays", {"dir", "cls"}, {{"c", 2}, {0, 2}}},
        {"no match beeps, twice", {"dir"}, {{"x", -1}, {0, -1}}},
        {"after a beep new text", {"dir", "cls"}, {{"x", -1}, {"c", 2}}},
        {"typing starts over", {"notepad", "nslookup"}, {{"n", 1}, {"ns", 2}, {0, 2}}},
        {"empty field beeps", {"dir"}, {{"", -1}}}, {"entry 0 never matches", {}, {{"a", -1}}},
        {"longer than the entry", {"no"}, {{"not", -1}}},
        {"letters in any case", {"ÄRGER", "ärmel"}, {{"är", 1}, {0, 2}}},
    };
    for (auto& c : cases) {
        hold(c.lines);
        int n = 0;
        for (auto& p : c.presses) {
            SCOPED_TRACE(std::string(c.what) + ", press " + std::to_string(++n));
            if (p.type != nullptr) box.edit = p.type, resetHistorySearch();
            std::string before = box.edit;
            EXPECT_EQ(searchHistory(&list, box.edit.c_str()), p.hit != -1) << "0: beep";
            EXPECT_EQ(lastSearchHit, p.hit);
            EXPECT_EQ(box.edit, p.hit == -1 ? before : box.entries[p.hit]);
            EXPECT_TRUE(p.hit != -1 || historySearchText[0] == '\0') << "forgotten";
        }
    }
}

// The reference for CB_SELECTSTRING (its start and wrap are the search's
// rows above): Windows-1252 letters in any case, ß only matching itself.
TEST(HistorySearch, ReferenceComparesWindows1252LettersInAnyCase) {
    struct { const char* text; const char* prefix; int begins; } letters[] = {
        {"Ärger", "är", 1}, {"ärger", "ÄR", 1}, {"école", "É", 1}, {"Öl", "öL", 1}, {"šk", "Š", 1}, {"ÿ", "Ÿ", 1},
        {"Zz", "zZ", 1}, {"Àþ", "àÞ", 1}, {"Straße", "STRAß", 1}, {"straße", "STRASSE", 0}, {"×", "÷", 0},
        {"a", "ab", 0}, {"[x", "{", 0}, {"@", "`", 0},
    };
    for (auto& c : letters)
        EXPECT_EQ(beginsWithIgnoringCase(c.text, c.prefix), c.begins) << "|" << c.text << "| |" << c.prefix << "|";
}

// The files as the replace found them.
std::string seenOld, seenNew;
int spyReplace(void*, const char* newPath, const char* oldPath) {
    seenOld = readBytes(oldPath), seenNew = readBytes(newPath);
    return renameInPlace(nullptr, newPath, oldPath);
}

// A failure anywhere keeps the old file byte for byte, with one message for a
// run of failed saves; the next success ends the run. Until the replace, the
// old file is whole and the new one complete: a crash at any point before it
// leaves the previous history.
TEST_F(History, SaveKeepsTheOldFileUntilTheNewOneIsCompleteAndTellsAFailureOnce) {
    enum Fault { NEW_FILE_BLOCKED, ENTRY_UNREADABLE, REPLACE_FAILS, DISK_FULL, HISTORY_IS_A_FOLDER };
    for (Fault fault : {NEW_FILE_BLOCKED, ENTRY_UNREADABLE, REPLACE_FAILS, DISK_FULL, HISTORY_IS_A_FOLDER}) {
        SCOPED_TRACE("fault " + std::to_string(fault));
        std::string old = "old 1\nold 2\n";
        fs::remove_all(path);
        if (fault == HISTORY_IS_A_FOLDER) fs::create_directories(path + "/inside"), old = "";
        else writeBytes(path, old);
        hold({"a", " b ", "", "x\ty\x1Az\r", "d:\\"}), told.clear();
        HistoryFile target = file;
        if (fault == ENTRY_UNREADABLE) box.unreadable = 2;
        if (fault == REPLACE_FAILS) target.replace = refuseToReplace;
        for (int again = 0; again < 2; again++) {
            if (fault == NEW_FILE_BLOCKED) fs::create_directories(newPath + "/inside");
            if (fault == DISK_FULL) fs::create_symlink("/dev/full", newPath);
            EXPECT_EQ(saveHistoryFile(&list, &target), 0);
        }
        EXPECT_EQ(readBytes(path), old);
        EXPECT_FALSE(fs::is_regular_file(newPath) || fs::is_symlink(newPath)) << "left behind";
        EXPECT_EQ(told, Lines{named(NOT_SAVED)});
        fs::remove_all(newPath), box.unreadable = -1, target.replace = spyReplace;
        if (fault == HISTORY_IS_A_FOLDER) fs::remove_all(path);
        EXPECT_EQ(saveHistoryFile(&list, &target), 1);
        EXPECT_EQ(seenOld, old);
        EXPECT_EQ(seenNew, "a\r\n b \r\n\r\nx\ty\x1Az\r\r\nd:\\\r\n");
        EXPECT_EQ(readBytes(path), seenNew);
        EXPECT_FALSE(fs::exists(newPath));
        target.replace = refuseToReplace;
        EXPECT_EQ(saveHistoryFile(&list, &target), 0);
        EXPECT_EQ(told.size(), 2u) << "told again after a success";
        box.entries.clear();  // no entry 0: the combo box is gone with the bar
        EXPECT_EQ(saveHistoryFile(&list, &file), 0);
        EXPECT_EQ(readBytes(path), seenNew);
    }
}

// A file that could not be read at start (locked by another program, say)
// is never overwritten: each save first reads it if it can, its lines after
// the newer ones. Only clearing, which the user asked for, empties it.
TEST_F(History, AFileThatCouldNotBeReadIsKeptAndJoinedOnceItCanBe) {
    s.MaxHistory = 3;
    for (bool clear : {false, true}) {
        SCOPED_TRACE(clear ? "cleared" : "joined");
        fs::remove(path), fs::create_directory(path);  // cannot be read
        box.entries.clear(), told.clear(), lastRunLine[0] = '\0', file.unread = file.told = 0;
        loadHistoryFile(&list, &file, s.MaxHistory);
        recordRunLine(&list, "first", &s, &file);  // still unreadable: left alone, not told again
        ASSERT_TRUE(fs::remove(path)) << "the folder stays";
        writeBytes(path, "old 1\r\nold 2\r\n");
        clear ? clearHistory(&list, &file) : recordRunLine(&list, "new", &s, &file);
        EXPECT_EQ(readBytes(path), clear ? "" : "new\r\nfirst\r\nold 1\r\n");
        EXPECT_EQ(told, Lines{named(UNREAD)});
        EXPECT_EQ(file.unread, 0);
    }
}

}  // namespace
