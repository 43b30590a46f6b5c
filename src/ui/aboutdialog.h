// The About dialog: version, pictures, freeware notice and two links.
#ifndef PEXOR_ABOUTDIALOG_H
#define PEXOR_ABOUTDIALOG_H

#include <windows.h>

// Runs the dialog modally with no owner; aboutDialogWindow (commandbar.h)
// holds its window while it is open.
void runAboutDialog(void);

INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The version text of the running program into buffer (VERSION_TEXT_CAPACITY
// bytes): "Pexor V" and its FileVersion, or "Pexor" when it has none.
void buildVersionText(char* buffer);
// The same for the program file at modulePath.
void buildVersionTextOf(const char* modulePath, char* buffer);

// A font of the given size in tenths of a point for dc; width 0 keeps the
// face's natural width. attributes: FONT_BOLD, FONT_ITALIC, FONT_UNDERLINE,
// FONT_STRIKEOUT (aboutinfo.h); escapement in tenths of a degree. With
// logical set the resolution is the one the device reports for text (its
// logical inch), otherwise its physical size. The caller deletes the font.
HFONT createPointFont(HDC dc, const char* face, int height, int width, int attributes,
                      int escapement, int logical);

#endif
