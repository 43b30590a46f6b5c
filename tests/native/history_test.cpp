// The command history: loading (line ends, long lines, MaxHistory), recording,
// trimming, clearing, the F8 search and saving without ever losing the old file.
#include "state/history.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "interp/textutil.h"

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// Between bars, line ends and tabs made visible, long lines by their length.
std::string shown(const std::string& s) {
    if (s.size() > 40) return "|" + s.substr(0, 3) + "...(" + std::to_string(s.size()) + ")|";
    std::string out = "|";
    for (char c : s) out += c == '\r' ? "\\r" : c == '\n' ? "\\n" : c == '\t' ? "\\t" : std::string(1, c);
    return out + "|";
}
std::string shown(const Lines& lines) {
    std::string out;
    for (auto& l : lines) out += shown(l);
    return out;
}

// The combo box in memory; its search is the reference one.
struct MemoryList {
    Lines entries{""};
    std::string edit;
    int unreadable = -1;  // getText fails for this index

    static MemoryList* of(void* c) { return static_cast<MemoryList*>(c); }
    static unsigned count(void* c) { return (unsigned)of(c)->entries.size(); }
    static int getText(void* c, unsigned i, char* out, size_t capacity) {
        if (i >= count(c) || (int)i == of(c)->unreadable) return 0;
        return copyText(out, capacity, of(c)->entries[i].c_str()), 1;
    }
    static int insertAt(void* c, unsigned i, const char* text) {
        return i <= count(c) && (of(c)->entries.insert(of(c)->entries.begin() + i, text), true);
    }
    static void deleteAt(void* c, unsigned i) {
        if (i < count(c)) of(c)->entries.erase(of(c)->entries.begin() + i);
    }
    static int append(void* c, const char* text) { return insertAt(c, count(c), text); }
    static void reset(void* c) { of(c)->entries.clear(), of(c)->edit.clear(); }
    static int selectPrefix(void* c, int start, const char* prefix) {
        HistoryList l = of(c)->list();
        int index = findHistoryPrefix(&l, start, prefix);
        if (index >= 0) of(c)->edit = of(c)->entries[index];
        return index;
    }
    HistoryList list() { return {this, count, getText, insertAt, deleteAt, append, reset, selectPrefix}; }
    Lines lines() const { return Lines(entries.begin() + 1, entries.end()); }
};

// Bounded: a mistaken save could leave a link to an endless device in place.
std::string readBytes(const std::string& path) {
    std::string bytes;
    if (FILE* f = fopen(path.c_str(), "rb")) {
        for (int c; bytes.size() < 65536 && (c = fgetc(f)) != EOF;) bytes += (char)c;
        fclose(f);
    }
    return bytes;
}
void writeText(const std::string& path, const std::string& text) {  // text mode, as an editor would
    FILE* f = fopen(path.c_str(), "w");
    fputs(text.c_str(), f);
    fclose(f);
}
// What text mode puts on disk for text.
std::string onDisk(std::string text) {
#ifdef _WIN32
    for (size_t i = 0; (i = text.find('\n', i)) != std::string::npos; i += 2) text.insert(i, "\r");
#endif
    return text;
}

int renameInPlace(void*, const char* newPath, const char* oldPath) { return rename(newPath, oldPath) == 0; }
int refuseToReplace(void*, const char*, const char*) { return 0; }

class History : public testing::Test {
protected:
    std::string dir, path, newPath;
    HistoryFile file{};
    Settings s{};
    MemoryList box;
    HistoryList list = box.list();

    void SetUp() override {
        char name[] = "/tmp/pexor-history-XXXXXX";
        dir = mkdtemp(name);
        path = dir + "/pexor.his";
        newPath = path + HISTORY_NEW_SUFFIX;
        file = HistoryFile{path.c_str(), nullptr, renameInPlace};
        s.MaxHistory = 25;
        s.SaveHistory = 1;
        lastRunLine[0] = '\0';
        resetHistorySearch();
        lastSearchHit = 0;
    }
    void TearDown() override { fs::remove_all(dir); }
    void hold(const Lines& lines) {
        box.entries = {""};
        box.entries.insert(box.entries.end(), lines.begin(), lines.end());
    }
};
using HistoryLoad = History;
using HistoryRecord = History;
using HistoryFileEffects = History;
using HistorySearch = History;
using HistorySave = History;

const std::string A1023(1023, 'a'), B1023(1023, 'b'), NO_FILE = "(no file)";

TEST_F(HistoryLoad, AppendsFileLinesAfterEntryZeroUpToMaxHistory) {
    struct { const char* what; std::string file; uint16_t max; Lines lines; } cases[] = {
        {"missing file", NO_FILE, 25, {}},
        {"empty file", "", 25, {}},
        {"newest first", "a\nb\n", 25, {"a", "b"}},
        {"last line without line end", "a\nlast", 25, {"a", "last"}},
        {"empty lines are entries", "\n\nx\n\n", 25, {"", "", "x", ""}},
        {"blanks kept", " a\t \n", 25, {" a\t "}},
        {"longer than MaxHistory: the newest", "1\n2\n3\n4\n", 2, {"1", "2"}},
        {"MaxHistory 1", "1\n2\n", 1, {"1"}},
        {"MaxHistory 0: none", "1\n", 0, {}},
        {"1022 characters", std::string(1022, 'a') + "\n", 25, {std::string(1022, 'a')}},
        // The line end right after a full piece ends it; as an entry of its
        // own it would come back one more with every save and load.
        {"1023: one piece", A1023 + "\nz\n", 25, {A1023, "z"}},
        {"1023 then an empty line", A1023 + "\n\n", 25, {A1023, ""}},
        {"1023 at the end of the file", A1023, 25, {A1023}},
        {"1024: two pieces", A1023 + "c\n", 25, {A1023, "c"}},
        {"2046: two full pieces", A1023 + B1023 + "\n", 25, {A1023, B1023}},
        {"pieces count toward MaxHistory", A1023 + B1023 + "ccc\nd\n", 2, {A1023, B1023}},
    };
    for (auto& c : cases) {
        fs::remove(path);
        if (c.file != NO_FILE) writeText(path, c.file);
        hold({});
        loadHistoryFile(&list, path.c_str(), c.max);
        EXPECT_EQ(box.entries[0], "") << c.what;
        EXPECT_EQ(shown(box.lines()), shown(c.lines)) << c.what << " " << shown(c.file);
    }
}

TEST_F(HistoryLoad, LinesNeverTakeThePlaceOfEntryZero) {
    writeText(path, "a\n");
    box.entries.clear();
    loadHistoryFile(&list, path.c_str(), 25);
    EXPECT_EQ(box.entries, (Lines{"", "a"}));
    box.entries.clear();
    recordRunLine(&list, "b", &s, &file);
    EXPECT_EQ(box.entries, (Lines{"", "b"}));
}

TEST_F(HistoryRecord, InsertsNewestFirstUnlessTheLineJustRan) {
    struct { const char* what; uint16_t max; Lines loaded, runs, lines; } cases[] = {
        {"dir twice: once", 25, {}, {"dir", "dir"}, {"dir"}},
        {"dir cls dir: three", 25, {}, {"dir", "cls", "dir"}, {"dir", "cls", "dir"}},
        {"equal to a loaded line: again", 25, {"dir"}, {"dir"}, {"dir", "dir"}},
        {"case counts", 25, {}, {"dir", "DIR"}, {"DIR", "dir"}},
        {"a trailing blank counts", 25, {}, {"dir", "dir "}, {"dir ", "dir"}},
        {"MaxHistory 1: replaces", 1, {"old"}, {"a", "b"}, {"b"}},
        {"MaxHistory 2: oldest go first", 2, {"x", "y", "z"}, {"a"}, {"a", "x"}},
        {"MaxHistory 0: entry 0 alone", 0, {"x", "y"}, {"a", "b"}, {}},
    };
    for (auto& c : cases) {
        hold(c.loaded);
        lastRunLine[0] = '\0';
        s.MaxHistory = c.max;
        for (auto& line : c.runs) recordRunLine(&list, line.c_str(), &s, &file);
        EXPECT_EQ(box.entries[0], "") << c.what;
        EXPECT_EQ(shown(box.lines()), shown(c.lines)) << c.what << " runs " << shown(c.runs);
    }
}

// MaxHistory 0 keeps no line but a usable list: entry 0, an empty file, F8
// beeps, and the line is not remembered, so raising MaxHistory records it.
TEST_F(HistoryRecord, MaxHistoryZeroKeepsEntryZeroAndRemembersNothing) {
    hold({"x"});
    s.MaxHistory = 0;
    recordRunLine(&list, "a", &s, &file);
    EXPECT_EQ(box.entries, Lines{""});
    EXPECT_EQ(shown(readBytes(path)), "||");
    EXPECT_EQ(shown(lastRunLine), "||");
    EXPECT_EQ(searchHistory(&list, "a"), 0);
    s.MaxHistory = 3;
    recordRunLine(&list, "a", &s, &file);
    EXPECT_EQ(box.lines(), Lines{"a"});
}

TEST_F(HistoryRecord, TrimKeepsTheNewestMaxHistoryLines) {
    struct { uint16_t max; Lines lines; } cases[] = {
        {3, {"a", "b", "c"}}, {2, {"a", "b"}}, {1, {"a"}}, {0, {}}, {65535, {"a", "b", "c"}},
    };
    for (auto& c : cases) {
        hold({"a", "b", "c"});
        s.MaxHistory = c.max;
        trimHistory(&list, &s, &file);
        EXPECT_EQ(box.entries[0], "") << "MaxHistory " << c.max;
        EXPECT_EQ(shown(box.lines()), shown(c.lines)) << "MaxHistory " << c.max;
    }
}

TEST_F(HistoryFileEffects, SaveHistoryDecidesExceptWhenClearing) {
    enum Op { RECORD, TRIM_TO_1, TRIM_NOTHING, CLEAR };
    struct { const char* what; Op op; int32_t saveHistory; std::string file; } cases[] = {
        {"record", RECORD, 1, "c\nb\na\n"},
        {"record", RECORD, 0, "on disk\n"},
        {"record, 2 is off", RECORD, 2, "on disk\n"},
        {"trim", TRIM_TO_1, 1, "b\n"},
        {"trim", TRIM_TO_1, 0, "on disk\n"},
        {"trim, 2 is off", TRIM_TO_1, 2, "on disk\n"},
        {"trim cutting nothing", TRIM_NOTHING, 1, "b\na\n"},
        {"clear", CLEAR, 1, ""},
        {"clear", CLEAR, 0, ""},
    };
    for (auto& c : cases) {
        writeText(path, "on disk\n");
        hold({"b", "a"});
        lastRunLine[0] = '\0';
        s.SaveHistory = c.saveHistory;
        s.MaxHistory = c.op == TRIM_TO_1 ? 1 : 25;
        if (c.op == RECORD) recordRunLine(&list, "c", &s, &file);
        if (c.op == TRIM_TO_1 || c.op == TRIM_NOTHING) trimHistory(&list, &s, &file);
        if (c.op == CLEAR) clearHistory(&list, &file);
        EXPECT_EQ(shown(readBytes(path)), shown(onDisk(c.file)))
            << c.what << ", SaveHistory " << c.saveHistory;
        EXPECT_FALSE(fs::exists(newPath)) << c.what;
    }
}

TEST_F(HistoryFileEffects, ClearingEmptiesListAndFileButKeepsTheLastLine) {
    recordRunLine(&list, "dir", &s, &file);
    ASSERT_EQ(searchHistory(&list, "d"), 1);
    fs::remove(path);
    clearHistory(&list, &file);
    EXPECT_EQ(box.entries, Lines{""});
    EXPECT_EQ(shown(box.edit), "||");
    EXPECT_TRUE(fs::exists(path) && readBytes(path).empty()) << "an empty file, created when missing";
    EXPECT_EQ(shown(lastRunLine), "|dir|");
    EXPECT_EQ(shown(historySearchText), "|d|");
    EXPECT_EQ(lastSearchHit, 1);
    recordRunLine(&list, "dir", &s, &file);  // the line that ran last: not again
    EXPECT_EQ(box.entries, Lines{""});
}

// F8 presses: type (null: the edit field as the last press left it; else the
// user types this, which resets the search) and the index selected (-1: a
// beep, the edit field unchanged, the search text forgotten).
struct Press { const char* type; int hit; };

TEST_F(HistorySearch, WalksPrefixMatchesNewestFirstAndBeepsOnFailure) {
    struct { const char* what; Lines lines; std::vector<Press> presses; } cases[] = {
        {"alternates newest first", {"Net view", "notepad", "cmd"}, {{"n", 1}, {0, 2}, {0, 1}, {0, 2}}},
        {"wraps to the newest", {"ab", "x", "ac"}, {{"a", 1}, {0, 3}, {0, 1}}},
        {"a single match stays", {"dir", "cls"}, {{"c", 2}, {0, 2}}},
        {"no match beeps, twice", {"dir"}, {{"x", -1}, {0, -1}}},
        {"after a beep new text", {"dir", "cls"}, {{"x", -1}, {"c", 2}}},
        {"typing starts over", {"notepad", "nslookup"}, {{"n", 1}, {"ns", 2}, {0, 2}}},
        {"empty field beeps", {"dir"}, {{"", -1}}},
        {"entry 0 never matches", {}, {{"a", -1}}},
        {"longer than the entry", {"no"}, {{"not", -1}}},
        {"letters in any case", {"ÄRGER", "ärmel"}, {{"är", 1}, {0, 2}}},
    };
    for (auto& c : cases) {
        hold(c.lines);
        int n = 0;
        for (auto& p : c.presses) {
            if (p.type != nullptr) box.edit = p.type, resetHistorySearch();
            std::string before = box.edit;
            int selected = searchHistory(&list, box.edit.c_str());
            std::string where = std::string(c.what) + ", press " + std::to_string(++n) + shown(before);
            EXPECT_EQ(lastSearchHit, p.hit) << where;
            EXPECT_EQ(selected, p.hit != -1) << where << " (0: beep)";
            EXPECT_EQ(shown(box.edit), shown(p.hit == -1 ? before : box.entries[p.hit])) << where;
            EXPECT_TRUE(p.hit != -1 || historySearchText[0] == '\0') << where << ": forgotten";
        }
    }
}

TEST_F(HistorySearch, ReferenceFollowsSelectStringStartAndWrap) {
    hold({"Net view", "notepad", "cmd", "NOTE"});
    struct { int start; const char* prefix; int index; } cases[] = {
        {-1, "", 0}, {-1, "n", 1}, {0, "n", 1}, {1, "n", 2}, {2, "note", 4}, {4, "n", 1},
        {3, "cmd", 3}, {2, "CMD", 3}, {7, "n", 1}, {1, "NET V", 1}, {0, "x", -1}, {0, "notepad2", -1},
    };
    for (auto& c : cases)
        EXPECT_EQ(findHistoryPrefix(&list, c.start, c.prefix), c.index) << c.start << shown(c.prefix);
}

TEST_F(HistorySearch, LettersMatchWithoutRegardToCase) {
    struct { const char* text; const char* prefix; int begins; } cases[] = {
        {"Ärger", "är", 1}, {"ärger", "ÄR", 1}, {"école", "É", 1}, {"Öl", "öL", 1}, {"šk", "Š", 1},
        {"ÿ", "Ÿ", 1}, {"Straße", "STRAß", 1}, {"straße", "STRASSE", 0}, {"×", "÷", 0}, {"a", "ab", 0},
        {"[x", "{", 0}, {"@", "`", 0},
    };
    for (auto& c : cases)
        EXPECT_EQ(beginsWithIgnoringCase(c.text, c.prefix), c.begins) << shown(c.text) << shown(c.prefix);
}

TEST_F(HistorySave, WritesEachLineNewestFirstAndEntryZeroNever) {
    struct { Lines lines; std::string file; } cases[] = {
        {{"a", " b ", "", "x\ty"}, "a\n b \n\nx\ty\n"}, {{}, ""}, {{"d:\\"}, "d:\\\n"},
    };
    for (auto& c : cases) {
        hold(c.lines);
        EXPECT_EQ(saveHistoryFile(&list, &file), 1) << shown(c.lines);
        EXPECT_EQ(shown(readBytes(path)), shown(onDisk(c.file))) << shown(c.lines);
        EXPECT_FALSE(fs::exists(newPath));
    }
}

TEST_F(HistorySave, AFailureAnywhereKeepsTheOldFileByteForByte) {
    enum Fault { NEW_FILE_BLOCKED, ENTRY_UNREADABLE, REPLACE_FAILS, DISK_FULL };
    struct { const char* what; Fault fault; } cases[] = {
        {"the new file cannot be created", NEW_FILE_BLOCKED},
        {"an entry cannot be read", ENTRY_UNREADABLE},
        {"the replace operation fails", REPLACE_FAILS},
#ifdef __linux__
        {"the disk is full", DISK_FULL},
#endif
    };
    for (auto& c : cases) {
        writeText(path, "old 1\nold 2\n");
        std::string before = readBytes(path);
        hold({"new 1", "new 2", "new 3"});
        HistoryFile target = file;
        if (c.fault == NEW_FILE_BLOCKED) fs::create_directories(newPath + "/inside");
        if (c.fault == ENTRY_UNREADABLE) box.unreadable = 2;
        if (c.fault == REPLACE_FAILS) target.replace = refuseToReplace;
        if (c.fault == DISK_FULL) fs::create_symlink("/dev/full", newPath);
        EXPECT_EQ(saveHistoryFile(&list, &target), 0) << c.what;
        EXPECT_EQ(shown(readBytes(path)), shown(before)) << c.what;
        EXPECT_FALSE(fs::is_regular_file(newPath) || fs::is_symlink(newPath)) << c.what << ": left behind";
        fs::remove_all(newPath);
        box.unreadable = -1;
    }
}

// Until the replace, the old file is whole and the new one complete: a crash
// at any point before it leaves the previous history.
TEST_F(HistorySave, TheOldFileStaysWholeUntilTheNewOneIsComplete) {
    struct Seen { std::string old, fresh; } seen;
    auto spy = [](void* c, const char* newPath, const char* oldPath) {
        static_cast<Seen*>(c)->old = readBytes(oldPath);
        static_cast<Seen*>(c)->fresh = readBytes(newPath);
        return renameInPlace(nullptr, newPath, oldPath);
    };
    writeText(path, "old\n");
    hold({"new 1", "new 2"});
    HistoryFile target{path.c_str(), &seen, spy};
    EXPECT_EQ(saveHistoryFile(&list, &target), 1);
    EXPECT_EQ(shown(seen.old), shown(onDisk("old\n")));
    EXPECT_EQ(shown(seen.fresh), shown(onDisk("new 1\nnew 2\n")));
    EXPECT_EQ(shown(readBytes(path)), shown(onDisk("new 1\nnew 2\n")));
}

}  // namespace
