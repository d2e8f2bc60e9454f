// The setup log: "setup.log" in the current folder, one line appended per call.
#pragma once

// Appends text and a line end while logging is on; a log that cannot be opened loses the line.
void WriteLogLine(const char* text);
