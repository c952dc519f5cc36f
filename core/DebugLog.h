#pragma once

#include <QString>

#include <cstdio>

// The debug log in the data folder, opened (emptied) at start. Nothing writes lines to it
// yet; it is kept open for the run as a place for diagnostics.
void openDebugLog(const QString &path);
// Closes the log when it is open; safe to call more than once and from any thread.
void closeDebugLog();
bool isDebugLogOpen();
