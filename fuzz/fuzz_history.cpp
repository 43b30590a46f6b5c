// Loads arbitrary bytes as a history file into a list in memory, then runs
// random operations on it: recording lines, trimming, clearing, F8 presses and
// saves. After each one the list keeps its rules, the file on disk is exactly
// the list (or untouched while SaveHistory is off), and a save reads back as
// the same list.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "../tests/shared/history_list.h"

namespace {

void require(bool ok) { ok ? (void)0 : __builtin_trap(); }

// The list keeps its rules: entry 0 empty, at most maxHistory lines, none
// longer than a line of the file, none with a line feed.
void check(const MemoryList& box, unsigned maxHistory) {
    require(!box.entries.empty() && box.entries[0].empty() && box.entries.size() - 1 <= maxHistory);
    for (auto& e : box.entries) require(e.size() <= HISTORY_ENTRY_LENGTH && e.find('\n') == std::string::npos);
}

// Input read as it is needed; zeros once it runs out.
struct Input {
    const uint8_t* data; size_t size;
    uint8_t byte() { return size > 0 ? (--size, *data++) : 0; }
    unsigned word() { unsigned low = byte(); return low | (unsigned)byte() << 8; }
    // Up to a 0x00 byte: one typed line, as long as the edit field allows.
    std::string piece() {
        std::string text;
        for (uint8_t c; (c = byte()) != 0;)
            if (text.size() < HISTORY_LINE_CAPACITY - 1) text += (char)c;
        return text;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static std::string path = "/tmp/pexor-fuzz-" + std::to_string(getpid()) + ".his";
    [[maybe_unused]] static int cleanUp = atexit([] { remove(path.c_str()); });
    remove(path.c_str());
    Input in{data, size};
    Settings s{}; uint8_t flags = in.byte();
    s.MaxHistory = flags & 1 ? (uint16_t)in.word() : (uint16_t)(in.byte() % 8);
    s.SaveHistory = flags >> 1 & 3;
    MemoryList box;
    box.room = flags & 8 ? (size_t)(flags >> 4) + 1 : 0;
    HistoryList list = box.list();
    HistoryFile file{path.c_str(), 0, renameInPlace, 0, 0, 0};
    lastRunLine[0] = '\0', resetHistorySearch();

    // The file: a length, then its bytes, where 0x01 n stands for a run of
    // 1016 to 1031 bytes, so that lines around the read size come up often.
    std::string bytes;
    for (size_t n = in.word(); n > 0 && in.size > 0; --n) {
        if (uint8_t c = in.byte(); c != 1) bytes += (char)c;
        else bytes.append(1016 + in.byte() % 16, 'y');
    }
    if (!bytes.empty()) {
        FILE* f = fmemopen(&bytes[0], bytes.size(), "r");
        require(loadHistoryFrom(&list, f, s.MaxHistory) == 1);
        fclose(f);
    }
    check(box, s.MaxHistory);

    std::string disk;  // what the file must hold
    for (int steps = 0; steps < 64 && in.size > 0; ++steps) {
        uint8_t op = in.byte();
        switch (op % 8) {
        case 0: case 1: {  // a line ran; 1: the line that ran last, or one from the list
            std::string line = op % 8 == 0 ? in.piece() : in.byte() & 1 ? std::string(lastRunLine)
                                              : box.entries[in.byte() % box.entries.size()];
            line.resize(std::min(line.size(), (size_t)HISTORY_LINE_CAPACITY - 1));
            std::vector<std::string> before = box.entries;
            bool again = line == lastRunLine || line.find('\n') != std::string::npos;  // not recorded
            recordRunLine(&list, line.c_str(), &s, &file);
            if (again) require(box.entries == before);
            else if (s.MaxHistory > 0 && box.room == 0) require(box.entries[1] == line && line == lastRunLine);
            if (!again && s.SaveHistory == 1) disk = box.saved();
            break;
        }
        case 2:  // the properties dialog's OK with a new MaxHistory
            s.MaxHistory = in.byte() % 8, trimHistory(&list, &s, &file);
            if (s.SaveHistory == 1) disk = box.saved();
            break;
        case 3:  // Yes to the question
            clearHistory(&list, &file), disk = "";
            require(box.entries.size() == 1 && box.edit.empty());
            break;
        case 4: {  // F8, after typing or not: a hit begins with the search text; after a miss none does
            if (in.byte() & 1) box.edit = in.piece(), resetHistorySearch();
            std::string before = box.edit,
                        prefix = historySearchText[0] ? historySearchText : before.substr(0, HISTORY_LINE_CAPACITY - 1);
            int n = (int)box.entries.size(), start = historySearchText[0] ? lastSearchHit : 0;
            if (searchHistory(&list, before.c_str())) {
                require(lastSearchHit >= 1 && box.edit == box.entries[lastSearchHit] && prefix == historySearchText);
                require(beginsWithIgnoringCase(box.edit.c_str(), historySearchText));
                // Nothing between where the search started and the hit matches.
                for (int i = (start < 0 || start >= n ? 0 : start + 1) % n; i != lastSearchHit; i = (i + 1) % n)
                    require(!beginsWithIgnoringCase(box.entries[i].c_str(), prefix.c_str()));
            } else {
                require(historySearchText[0] == '\0' && box.edit == before);
                for (auto& e : box.entries)
                    require(prefix.empty() || !beginsWithIgnoringCase(e.c_str(), prefix.c_str()));
            }
            break;
        }
        case 5: resetHistorySearch(); break;
        case 6: {  // saved and read back: the same lines
            require(saveHistoryFile(&list, &file) == 1);
            disk = box.saved();
            MemoryList again; HistoryList l = again.list();
            HistoryFile back{path.c_str(), 0, renameInPlace, 0, 0, 0};
            loadHistoryFile(&l, &back, 65535);
            require(again.entries == box.entries);
            break;
        }
        case 7: s.SaveHistory = in.byte() % 3; break;
        }
        check(box, s.MaxHistory);
        require(readBytes(path) == disk);
    }
    return 0;
}
