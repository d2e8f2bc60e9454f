// String-table texts and numbered inserts.
#pragma once
#include <windows.h>

// Loads text `id` of the installer's string table into buffer (bufferSize characters with the
// terminator; a longer text is cut). Returns 1 when loaded; otherwise the buffer holds
// "<id> DEBUG - Unable to load string", cut to fit, and the result is 0.
int LoadMessage(UINT id, char* buffer, int bufferSize);

// Expands the numbered inserts of pattern ("%1!s!" a text, "%2!u!" an unsigned 32-bit number)
// into buffer, which holds CCH_INSERTS characters. Returns the characters stored, 0 on failure.
int FormatInserts(char* buffer, const char* pattern, ...);
