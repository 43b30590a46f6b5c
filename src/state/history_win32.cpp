// Combo box messages and file replacement behind the history rules.
#include "history_win32.h"

#include "../base/textutil.h"
#include "../base/winutil_win32.h"

static HWND comboOf(void* context) { return static_cast<HWND>(context); }

static unsigned comboCount(void* context) {
    LRESULT count = SendMessageA(comboOf(context), CB_GETCOUNT, 0, 0);
    return count == CB_ERR ? 0 : (unsigned)count;
}

static int comboGetText(void* context, unsigned index, char* out, size_t capacity) {
    // CB_GETLBTEXT knows no buffer size: measure first. Entries come from the
    // history file or the edit field, so they fit one read of the file.
    LRESULT length = SendMessageA(comboOf(context), CB_GETLBTEXTLEN, index, 0);
    char text[HISTORY_READ_CAPACITY];
    if (length == CB_ERR || length >= (LRESULT)sizeof text) return 0;
    if (SendMessageA(comboOf(context), CB_GETLBTEXT, index, (LPARAM)text) == CB_ERR) return 0;
    copyText(out, capacity, text);
    return 1;
}

static int isListError(LRESULT result) { return result == CB_ERR || result == CB_ERRSPACE; }

static int comboInsertAt(void* context, unsigned index, const char* text) {
    return !isListError(SendMessageA(comboOf(context), CB_INSERTSTRING, index, (LPARAM)text));
}

static void comboDeleteAt(void* context, unsigned index) {
    SendMessageA(comboOf(context), CB_DELETESTRING, index, 0);
}

static int comboAppend(void* context, const char* text) {
    return !isListError(SendMessageA(comboOf(context), CB_ADDSTRING, 0, (LPARAM)text));
}

static void comboReset(void* context) { SendMessageA(comboOf(context), CB_RESETCONTENT, 0, 0); }

static int comboSelectPrefix(void* context, int start, const char* prefix) {
    LRESULT index = SendMessageA(comboOf(context), CB_SELECTSTRING, (WPARAM)start, (LPARAM)prefix);
    return index == CB_ERR ? -1 : (int)index;
}

HistoryList comboHistoryList(HWND combo) {
    HistoryList list = {combo,        comboCount, comboGetText,    comboInsertAt,
                        comboDeleteAt, comboAppend, comboReset,    comboSelectPrefix};
    return list;
}

static int replaceFile(void*, const char* newPath, const char* oldPath) {
    return replaceFileWith(newPath, oldPath);
}

static void tellUser(void* owner, const char* message) {
    showWarning(static_cast<HWND>(owner), message);
}

HistoryFile historyFileAt(const char* path, HWND owner) {
    HistoryFile file = {path, owner, replaceFile, tellUser, 0, 0};
    return file;
}
