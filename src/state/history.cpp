// The command history's rules: loading and saving the file, recording a line
// that ran, trimming, clearing and the F8 prefix search.
#include "history.h"

#include <string.h>

#include "../interp/textutil.h"

const char HISTORY_NEW_SUFFIX[] = ".new";

char lastRunLine[HISTORY_LINE_CAPACITY];
char historySearchText[HISTORY_LINE_CAPACITY];
int lastSearchHit;

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

void loadHistoryFrom(const HistoryList* list, FILE* file, uint16_t maxHistory) {
    if (!ensureEntryZero(list)) return;
    char text[HISTORY_READ_CAPACITY];
    unsigned added = 0;
    int pieceWasFull = 0;  // the last read filled the buffer and found no line end
    while (fgets(text, (int)sizeof text, file) != 0) {
        size_t length = strlen(text);
        int endsLine = length > 0 && text[length - 1] == '\n';
        // The line feed of a line exactly one piece long: it ends that piece.
        // As an entry of its own it would come back one more each save.
        if (pieceWasFull && length == 1 && endsLine) {
            pieceWasFull = 0;
            continue;
        }
        if (added >= maxHistory) break;
        if (endsLine) text[--length] = '\0';
        pieceWasFull = !endsLine && length == HISTORY_PIECE_LENGTH;
        if (!list->append(list->context, text)) break;
        ++added;
    }
}

void loadHistoryFile(const HistoryList* list, const char* path, uint16_t maxHistory) {
    FILE* file = fopen(path, "r");  // text mode: CR LF reads as a line feed
    if (file == 0) return;
    loadHistoryFrom(list, file, maxHistory);
    fclose(file);
}

int writeHistoryTo(const HistoryList* list, FILE* file) {
    char text[HISTORY_READ_CAPACITY];
    unsigned count = list->count(list->context);
    for (unsigned index = 1; index < count; ++index) {
        if (!list->getText(list->context, index, text, sizeof text)) return 0;
        if (fprintf(file, "%s\n", text) < 0) return 0;
    }
    return 1;
}

int saveHistoryFile(const HistoryList* list, const HistoryFile* file) {
    char newPath[PATH_CAPACITY + sizeof HISTORY_NEW_SUFFIX];
    if (file->path[0] == '\0' || !copyText(newPath, sizeof newPath, file->path) ||
        !appendText(newPath, sizeof newPath, HISTORY_NEW_SUFFIX))
        return 0;
    FILE* out = fopen(newPath, "w");
    if (out == 0) return 0;
    int written = writeHistoryTo(list, out);
    // Buffered data reaches the disk only now: a full disk shows here.
    if (fclose(out) != 0) written = 0;
    if (written && file->replace(file->context, newPath, file->path)) return 1;
    remove(newPath);
    return 0;
}

void recordRunLine(const HistoryList* list, const char* line, const Settings* s,
                   const HistoryFile* file) {
    if (strcmp(line, lastRunLine) == 0) return;
    if (!ensureEntryZero(list)) return;
    // Room for the new line; entry 0 stays even when no line may be kept.
    dropEntriesBeyond(list, s->MaxHistory > 0 ? s->MaxHistory : 1);
    if (s->MaxHistory > 0 && list->insertAt(list->context, 1, line))
        copyText(lastRunLine, sizeof lastRunLine, line);
    if (s->SaveHistory == 1) saveHistoryFile(list, file);
}

void trimHistory(const HistoryList* list, const Settings* s, const HistoryFile* file) {
    // Unsigned arithmetic: MaxHistory 65535 plus entry 0 must not wrap to 0.
    dropEntriesBeyond(list, (unsigned)s->MaxHistory + 1u);
    if (s->SaveHistory == 1) saveHistoryFile(list, file);
}

void clearHistory(const HistoryList* list, const HistoryFile* file) {
    list->reset(list->context);
    list->insertAt(list->context, 0, "");
    saveHistoryFile(list, file);
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
