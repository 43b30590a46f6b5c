// Feeds arbitrary bytes through every text operation inside a small bounded
// buffer; the sanitizers catch any write past it.
#include <stdint.h>
#include <string.h>

#include "base/textutil.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    // First bytes choose the capacity, column and position; the rest is split
    // into text, search and replacement at the first two 0x01 bytes.
    size_t capacity = 1 + data[0] % 64;
    uint16_t column = data[1] % 5;  // 4 is outside the table on purpose
    uint16_t position = data[2];
    data += 3, size -= 3;
    char pieces[3][80] = {{0}};
    int piece = 0; size_t at = 0;
    for (size_t i = 0; i < size && piece < 3; ++i) {
        if (data[i] == 1) { ++piece; at = 0; continue; }
        if (at + 1 < sizeof pieces[0] && data[i] != 0) pieces[piece][at++] = (char)data[i];
    }
    // The text sits in an exactly sized heap block so ASan sees every overrun.
    char* text = new char[capacity];
    copyText(text, capacity, pieces[0]);
    size_t before = strlen(text);
    switch (position % 7) {
        case 0: trimLeft(text); trimRight(text); break;
        case 1: insertAt(text, capacity, pieces[1], position); break;
        case 2: if (pieces[1][0]) replaceAll(text, capacity, pieces[1], pieces[2]); break;
        case 3: if (toUpper(text, capacity, column) && upperLength(pieces[0], column) < capacity &&
                    strlen(text) != upperLength(pieces[0], column)) __builtin_trap();
                break;
        case 4: toLower(text, column); if (strlen(text) != before) __builtin_trap(); break;
        case 5: appendText(text, capacity, pieces[1]); break;
        default: { char number[INT_TEXT_CAPACITY]; int32_t v; memcpy(&v, pieces[0], sizeof v); intToText(v, number); }
    }
    if (strlen(text) >= capacity) __builtin_trap();
    delete[] text;
    return 0;
}
