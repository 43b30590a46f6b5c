// The command history on the command bar's combo box and the real file system.
#ifndef PEXOR_HISTORY_WIN32_H
#define PEXOR_HISTORY_WIN32_H

#include <windows.h>

#include "history.h"

// The combo box as a HistoryList (its handle is the context).
HistoryList comboHistoryList(HWND combo);

// The history file at path; a finished new copy replaces the old file in one
// step where the system can (MoveFileExA), else by delete and move, but never
// a read-only file. Failures are told in a message box owned by owner.
HistoryFile historyFileAt(const char* path, HWND owner);

#endif
