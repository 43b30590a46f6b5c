// The command history's rules: loading and saving the file, recording a line
// that ran, trimming, clearing and the F8 prefix search.
#include "history.h"

#include <errno.h>
#include <string.h>

#include "../base/textutil.h"

const char HISTORY_NEW_SUFFIX[] = ".new";

char lastRunLine[HISTORY_LINE_CAPACITY];
char historySearchText[HISTORY_LINE_CAPACITY];
int lastSearchHit;

// The messages, with the file's path in them; 0 when it did not fit.
static int historyUnreadMessage(const char* path, char* out, size_t capacity);
static int historyNotSavedMessage(const char* path, char* out, size_t capacity);

// Lines only ever go after entry 0: a line appended to an empty list would
// take its place and never be saved.
static int ensureEntryZero(const HistoryList* list) {
    return list->count(list->context) > 0 || list->insertAt(list->context, 0, "");
}

// Deletes from the end until at most keep entries remain. Counted down from
// the count seen once, so an entry that refuses to go cannot stall the loop.
static void dropEntriesBeyond(const HistoryList* list, unsigned keep) {
    unsigned count = list->count(list->context);
    while (count > keep) list->deleteAt(list->context, --count);
}

// The file read a block at a time: getc locks the stream for every byte in
// some C libraries (msvcrt among them), and a full history has some 250,000.
enum { READ_BLOCK_SIZE = 4096 };
struct BlockReader {
    FILE* file;
    size_t next, filled;
    unsigned char block[READ_BLOCK_SIZE];
};

static int nextByte(BlockReader* reader) {
    if (reader->next == reader->filled) {
        reader->filled = fread(reader->block, 1, sizeof reader->block, reader->file);
        reader->next = 0;
        if (reader->filled == 0) return EOF;
    }
    return reader->block[reader->next++];
}

// One line of the file into out: every byte up to the line feed but NUL,
// without the line end (LF, or CR LF); bytes beyond the buffer are skipped, so
// an over-long line stays one entry. 0 at the end of the file.
static int readLine(BlockReader* reader, char* out, size_t capacity) {
    size_t length = 0;
    int c, any = 0, lastKept = 0;  // lastKept: the last byte went into out
    while ((c = nextByte(reader)) != EOF && c != '\n') {
        any = 1;
        if (c == '\0') continue;  // cannot be part of a text
        lastKept = length + 1 < capacity;
        if (lastKept) out[length++] = (char)c;
    }
    if (c == '\n' && lastKept && out[length - 1] == '\r') --length;
    out[length] = '\0';
    return c == '\n' || any;
}

int loadHistoryFrom(const HistoryList* list, FILE* file, uint16_t maxHistory) {
    if (!ensureEntryZero(list)) return 1;
    char text[HISTORY_READ_CAPACITY];
    BlockReader reader;
    reader.file = file;
    reader.next = reader.filled = 0;
    unsigned lines = list->count(list->context) - 1;
    while (lines < maxHistory && readLine(&reader, text, sizeof text)) {
        if (!list->append(list->context, text)) break;
        ++lines;
    }
    return !ferror(file);
}

static void tellOnce(HistoryFile* file, int (*message)(const char*, char*, size_t)) {
    if (file->told || file->tell == 0) return;
    char text[HISTORY_MESSAGE_CAPACITY];
    if (!message(file->path, text, sizeof text)) return;
    file->told = 1;
    file->tell(file->context, text);
}

// Reads the file's lines after those of the list. 0 when the file is there
// but cannot be read; the list is then as before.
static int readAfterList(const HistoryList* list, const HistoryFile* file, uint16_t maxHistory) {
    FILE* in = fopen(file->path, "rb");
    if (in == 0) return errno == ENOENT;  // missing: nothing to keep
    unsigned before = ensureEntryZero(list) ? list->count(list->context) : 0;
    int read = loadHistoryFrom(list, in, maxHistory);
    fclose(in);
    if (!read) dropEntriesBeyond(list, before);  // half a file would come back twice
    return read;
}

void loadHistoryFile(const HistoryList* list, HistoryFile* file, uint16_t maxHistory) {
    if (file->path[0] == '\0') return;
    if (readAfterList(list, file, maxHistory)) return;
    file->unread = 1;
    tellOnce(file, historyUnreadMessage);
}

// Writes entries 1 .. count-1, each followed by CR LF. Returns the bytes
// written, or -1 when an entry could not be read or a write failed.
static long writeHistoryTo(const HistoryList* list, FILE* file) {
    char text[HISTORY_READ_CAPACITY];
    long written = 0;
    unsigned count = list->count(list->context);
    for (unsigned index = 1; index < count; ++index) {
        if (!list->getText(list->context, index, text, sizeof text)) return -1;
        size_t length = strlen(text);
        if (fwrite(text, 1, length, file) != length || fwrite("\r\n", 1, 2, file) != 2) return -1;
        written += (long)length + 2;
    }
    return written;
}

// 1 when every byte is in the file. A full disk shows at the flush at the
// latest; some runtimes report it only in the stream's error state and its
// position, not in fflush's or fclose's result.
static int writeWhole(const HistoryList* list, FILE* out) {
    long written = writeHistoryTo(list, out);
    int whole = written >= 0 && fflush(out) == 0 && !ferror(out) && ftell(out) == written;
    return fclose(out) == 0 && whole;
}

int saveHistoryFile(const HistoryList* list, HistoryFile* file) {
    if (file->unread || list->count(list->context) == 0) return 0;
    char newPath[PATH_CAPACITY + sizeof HISTORY_NEW_SUFFIX];
    int saved = 0;
    if (file->path[0] != '\0' && copyText(newPath, sizeof newPath, file->path) &&
        appendText(newPath, sizeof newPath, HISTORY_NEW_SUFFIX)) {
        FILE* out = fopen(newPath, "wb");
        saved = out != 0 && writeWhole(list, out) &&
                file->replace(file->context, newPath, file->path);
        if (!saved) remove(newPath);
    }
    if (saved)
        file->told = 0;
    else
        tellOnce(file, historyNotSavedMessage);
    return saved;
}

// A save after a change: a file that could not be read at start is read
// first, if it can be now; until then it is left alone.
static void saveChanged(const HistoryList* list, HistoryFile* file, uint16_t maxHistory) {
    if (file->unread && readAfterList(list, file, maxHistory)) file->unread = 0;
    if (!file->unread) saveHistoryFile(list, file);
}

void recordRunLine(const HistoryList* list, const char* line, const Settings* s,
                   HistoryFile* file) {
    if (strcmp(line, lastRunLine) == 0 || strchr(line, '\n') != 0) return;
    if (!ensureEntryZero(list)) return;
    // Room for the new line; entry 0 stays even when no line may be kept.
    dropEntriesBeyond(list, s->MaxHistory > 0 ? s->MaxHistory : 1);
    if (s->MaxHistory > 0 && list->insertAt(list->context, 1, line))
        copyText(lastRunLine, sizeof lastRunLine, line);
    if (isOnWhenOne(s->SaveHistory)) saveChanged(list, file, s->MaxHistory);
}

void trimHistory(const HistoryList* list, const Settings* s, HistoryFile* file) {
    // Unsigned arithmetic: MaxHistory 65535 plus entry 0 must not wrap to 0.
    dropEntriesBeyond(list, (unsigned)s->MaxHistory + 1u);
    if (isOnWhenOne(s->SaveHistory)) saveChanged(list, file, s->MaxHistory);
}

void clearHistory(const HistoryList* list, HistoryFile* file) {
    list->reset(list->context);
    list->insertAt(list->context, 0, "");
    file->unread = 0;
    saveHistoryFile(list, file);
}

static int pathMessage(const char* before, const char* path, const char* after, char* out,
                       size_t capacity) {
    int whole = copyText(out, capacity, before);
    whole = appendText(out, capacity, path) && whole;
    return appendText(out, capacity, after) && whole;
}

static int historyUnreadMessage(const char* path, char* out, size_t capacity) {
    return pathMessage("Die Historie in ", path,
                       " konnte nicht gelesen werden. Die Datei wird nicht überschrieben, "
                       "solange sie nicht gelesen werden kann.",
                       out, capacity);
}

static int historyNotSavedMessage(const char* path, char* out, size_t capacity) {
    return pathMessage("Die Historie konnte nicht in ", path,
                       " gespeichert werden. Die Datei bleibt, wie sie war.", out, capacity);
}

int searchHistory(const HistoryList* list, const char* editText) {
    if (historySearchText[0] == '\0') {
        copyText(historySearchText, sizeof historySearchText, editText);
        lastSearchHit = 0;  // the first press looks at index 1 first
        if (historySearchText[0] == '\0') {
            lastSearchHit = -1;
            return 0;
        }
    }
    lastSearchHit = list->selectPrefix(list->context, lastSearchHit, historySearchText);
    if (lastSearchHit != -1) return 1;
    resetHistorySearch();
    return 0;
}

void resetHistorySearch() { historySearchText[0] = '\0'; }

// Windows-1252 capitals to small letters; ß and ÿ's capital Ÿ are the odd ones.
static unsigned char smallLetter(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return (unsigned char)(c + 0x20);
    if (c == 0x8A || c == 0x8C || c == 0x8E) return (unsigned char)(c + 0x10);  // Š Œ Ž
    if (c == 0x9F) return 0xFF;                                                 // Ÿ
    return c;
}

int beginsWithIgnoringCase(const char* text, const char* prefix) {
    for (; *prefix != '\0'; ++text, ++prefix)
        if (smallLetter((unsigned char)*text) != smallLetter((unsigned char)*prefix)) return 0;
    return 1;
}

int findHistoryPrefix(const HistoryList* list, int start, const char* prefix) {
    unsigned count = list->count(list->context);
    if (count == 0) return -1;
    unsigned first = start < 0 || (unsigned)start >= count ? 0 : (unsigned)start + 1;
    char text[HISTORY_READ_CAPACITY];
    for (unsigned step = 0; step < count; ++step) {
        unsigned index = (first + step) % count;
        if (list->getText(list->context, index, text, sizeof text) &&
            beginsWithIgnoringCase(text, prefix))
            return (int)index;
    }
    return -1;
}
