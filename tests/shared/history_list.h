// The command bar's combo box in memory, for the history tests and the
// history fuzzer (its prefix search is the reference one), and the file
// helpers both use.
#ifndef PEXOR_TESTS_HISTORY_LIST_H
#define PEXOR_TESTS_HISTORY_LIST_H

#include <stdio.h>

#include <fstream>
#include <string>
#include <vector>

#include "base/textutil.h"
#include "state/history.h"

struct MemoryList {
    std::vector<std::string> entries{""};
    std::string edit;
    size_t room = 0;      // most entries it takes; 0: no limit
    int unreadable = -1;  // getText fails for this index

    static MemoryList* of(void* c) { return static_cast<MemoryList*>(c); }
    static unsigned count(void* c) { return (unsigned)of(c)->entries.size(); }
    static int getText(void* c, unsigned i, char* out, size_t capacity) {
        if (i >= count(c) || (int)i == of(c)->unreadable) return 0;
        return copyText(out, capacity, of(c)->entries[i].c_str()), 1;
    }
    static int insertAt(void* c, unsigned i, const char* text) {
        MemoryList* m = of(c);
        if (i > m->entries.size() || (m->room != 0 && m->entries.size() >= m->room)) return 0;
        return m->entries.insert(m->entries.begin() + i, text), 1;
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
    std::vector<std::string> lines() const { return {entries.begin() + 1, entries.end()}; }
    std::string saved() const {  // the file a save writes
        std::string text;
        for (size_t i = 1; i < entries.size(); ++i) text += entries[i] + "\r\n";
        return text;
    }
};

// Up to the first NUL (a saved file holds none), so that a link to an
// endless device cannot stall a test.
inline std::string readBytes(const std::string& path) {
    std::string bytes;
    std::ifstream in(path, std::ios::binary);
    std::getline(in, bytes, '\0');
    return bytes;
}

inline int renameInPlace(void*, const char* newPath, const char* oldPath) { return rename(newPath, oldPath) == 0; }

#endif
