// Loads arbitrary bytes as a history file into a list in memory, then runs
// random operations on it: recording lines, trimming, clearing, F8 presses,
// saves and reloads. After each one the list's rules must hold, and the file
// on disk must be exactly the list (or untouched, when SaveHistory is off).
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "interp/textutil.h"
#include "state/history.h"

namespace {

#define CHECK(condition) \
    if (!(condition)) __builtin_trap()

// The combo box in memory, holding at most room entries (0: no limit).
struct MemoryList {
    std::vector<std::string> entries{""};
    std::string edit;
    size_t room = 0;

    static MemoryList* of(void* c) { return static_cast<MemoryList*>(c); }
    static unsigned count(void* c) { return (unsigned)of(c)->entries.size(); }
    static int getText(void* c, unsigned i, char* out, size_t capacity) {
        if (i >= of(c)->entries.size()) return 0;
        copyText(out, capacity, of(c)->entries[i].c_str());
        return 1;
    }
    static int insertAt(void* c, unsigned i, const char* text) {
        MemoryList* m = of(c);
        if (i > m->entries.size() || (m->room != 0 && m->entries.size() >= m->room)) return 0;
        m->entries.insert(m->entries.begin() + i, text);
        return 1;
    }
    static void deleteAt(void* c, unsigned i) {
        if (i < of(c)->entries.size()) of(c)->entries.erase(of(c)->entries.begin() + i);
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
    std::string saved() const {
        std::string text;
        for (size_t i = 1; i < entries.size(); ++i) text += entries[i] + "\n";
        return text;
    }
};

// One history file per process, on a memory file system where there is one.
char historyFile[96];

void removeFiles() {
    char newFile[sizeof historyFile + 8];
    snprintf(newFile, sizeof newFile, "%s%s", historyFile, HISTORY_NEW_SUFFIX);
    remove(newFile);
    remove(historyFile);
}

void nameTheFile() {
    if (historyFile[0] != '\0') return;
    snprintf(historyFile, sizeof historyFile, "%s/pexor-fuzz-%d.his",
             access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp", (int)getpid());
    atexit(removeFiles);
}

std::string fileBytes() {
    std::string bytes;
    if (FILE* f = fopen(historyFile, "rb")) {
        char chunk[4096];
        for (size_t n; (n = fread(chunk, 1, sizeof chunk, f)) > 0;) bytes.append(chunk, n);
        fclose(f);
    }
    return bytes;
}

int renameInPlace(void*, const char* newPath, const char* oldPath) { return rename(newPath, oldPath) == 0; }

// Input read as it is needed; zeros once it runs out.
struct Input {
    const uint8_t* data;
    size_t size;
    uint8_t byte() { return size > 0 ? (--size, *data++) : 0; }
    unsigned word() {
        unsigned low = byte();
        return low | (unsigned)byte() << 8;
    }
    // Up to a 0x00 byte: one typed line, as long as the edit field allows,
    // without a line feed (the field holds one line).
    std::string piece() {
        std::string text;
        while (size > 0 && *data != 0) {
            if (text.size() < HISTORY_LINE_CAPACITY - 1) text += *data == '\n' ? ' ' : (char)*data;
            ++data, --size;
        }
        byte();
        return text;
    }
};

void checkList(const MemoryList& m) {
    CHECK(!m.entries.empty() && m.entries[0].empty());
    for (auto& e : m.entries) CHECK(e.size() <= HISTORY_PIECE_LENGTH && e.find('\n') == std::string::npos);
}

// An F8 press: the hit begins with the captured prefix and nothing between
// the start and the hit does; a miss means that nothing matches at all.
void checkSearch(MemoryList& m, HistoryList* list, bool typed, const std::string& typedText) {
    if (typed) m.edit = typedText, resetHistorySearch();
    std::string before = m.edit;
    int start = historySearchText[0] != '\0' ? lastSearchHit : 0;
    std::string prefix = historySearchText[0] != '\0' ? historySearchText
                                                      : before.substr(0, HISTORY_LINE_CAPACITY - 1);
    int selected = searchHistory(list, before.c_str());
    int n = (int)m.entries.size();
    if (!selected) {
        CHECK(historySearchText[0] == '\0' && m.edit == before);
        if (!prefix.empty())
            for (auto& e : m.entries) CHECK(!beginsWithIgnoringCase(e.c_str(), prefix.c_str()));
        return;
    }
    CHECK(lastSearchHit >= 1 && lastSearchHit < n);
    CHECK(prefix == historySearchText && m.edit == m.entries[lastSearchHit]);
    CHECK(beginsWithIgnoringCase(m.edit.c_str(), prefix.c_str()));
    if (start < 0 || start >= n) start = -1;
    for (int i = (start + 1) % n; i != lastSearchHit; i = (i + 1) % n)
        CHECK(!beginsWithIgnoringCase(m.entries[i].c_str(), prefix.c_str()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    nameTheFile();
    removeFiles();
    Input in{data, size};
    Settings s{};
    uint8_t flags = in.byte();
    s.MaxHistory = flags & 1 ? (uint16_t)in.word() : (uint16_t)(in.byte() % 8);
    s.SaveHistory = flags >> 1 & 3;
    MemoryList box;
    box.room = flags & 8 ? (size_t)(flags >> 4) + 1 : 0;
    HistoryList list = box.list();
    HistoryFile file{historyFile, 0, renameInPlace};
    lastRunLine[0] = '\0';
    resetHistorySearch();
    lastSearchHit = 0;

    size_t fileLength = in.word();
    if (fileLength > in.size) fileLength = in.size;
    if (fileLength > 0) {
        // 0x01 n in the file stands for a run of 1016 to 1031 bytes, so that
        // lines around the read size come up often.
        std::string bytes;
        for (size_t i = 0; i < fileLength; ++i) {
            if (in.data[i] == 1 && i + 1 < fileLength) bytes.append(1016 + in.data[++i] % 16, 'y');
            else bytes += (char)in.data[i];
        }
        FILE* f = fmemopen(&bytes[0], bytes.size(), "r");
        CHECK(f != 0);
        loadHistoryFrom(&list, f, s.MaxHistory);
        fclose(f);
        in.data += fileLength, in.size -= fileLength;
    }
    checkList(box);
    CHECK(box.entries.size() - 1 <= s.MaxHistory);

    std::string disk = fileBytes();  // what the file must hold
    for (int steps = 0; steps < 64 && in.size > 0; ++steps) {
        uint8_t op = in.byte();
        switch (op % 8) {
        case 0:
        case 1: {  // a line ran; 1: the line that ran last, or one from the list
            std::string line = op % 8 == 0 ? in.piece() : in.byte() & 1 ? std::string(lastRunLine)
                                              : box.entries[in.byte() % box.entries.size()];
            if (line.size() >= HISTORY_LINE_CAPACITY) line.resize(HISTORY_LINE_CAPACITY - 1);
            bool again = line == lastRunLine;
            std::vector<std::string> before = box.entries;
            recordRunLine(&list, line.c_str(), &s, &file);
            if (again) {
                CHECK(box.entries == before);
                break;
            }
            CHECK(box.entries.size() - 1 <= s.MaxHistory);
            if (s.MaxHistory > 0 && box.room == 0) CHECK(box.entries[1] == line && line == lastRunLine);
            if (s.SaveHistory == 1) disk = box.saved();
            break;
        }
        case 2:  // the properties dialog's OK with a new MaxHistory
            s.MaxHistory = in.byte() % 8;
            trimHistory(&list, &s, &file);
            CHECK(box.entries.size() - 1 <= s.MaxHistory);
            if (s.SaveHistory == 1) disk = box.saved();
            break;
        case 3:  // Yes to the question
            clearHistory(&list, &file);
            CHECK(box.entries.size() == 1 && box.edit.empty());
            disk = "";
            break;
        case 4: {
            bool typed = in.byte() & 1;
            checkSearch(box, &list, typed, typed ? in.piece() : std::string());
            break;
        }
        case 5:
            resetHistorySearch();
            break;
        case 6: {  // saved and read back: the same lines
            CHECK(saveHistoryFile(&list, &file) == 1);
            disk = box.saved();
            MemoryList again;
            HistoryList l = again.list();
            loadHistoryFile(&l, historyFile, 65535);
            CHECK(again.entries == box.entries);
            break;
        }
        case 7:
            s.SaveHistory = in.byte() % 3;
            break;
        }
        checkList(box);
        CHECK(fileBytes() == disk);
    }
    return 0;
}
