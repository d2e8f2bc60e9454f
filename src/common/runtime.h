// The installer's own small runtime over Win32. vxsetup.exe links no C runtime (Windows 95 as
// shipped has no C runtime DLL), so the few services it needs come from here: the current
// folder, file existence, the environment, case-insensitive comparison, deleting and renaming,
// bounded string work and formatting, and text files read and written line by line.
//
// The functions named like their C runtime counterparts have the same meaning; they live in the
// namespace rt so that test programs, which link the C runtime too, call exactly this code.
#pragma once
#include <windows.h>
#include <stdarg.h>
#include <stddef.h>

namespace rt {

// --- Folders, files and the environment -----------------------------------------------------
char* _getcwd(char* buffer, int size);               // NULL when the folder does not fit
int _chdir(const char* path);                          // 0, or -1 on failure
int _access(const char* path, int mode);               // 0 exists (mode 2: and is writable)
char* getenv(const char* name);                        // value in the process environment, or NULL
int remove(const char* path);                          // 0, or -1 on failure
int rename(const char* oldPath, const char* newPath);  // 0, or -1 (also when newPath exists)

// --- Comparison: letter case folded by the system's character tables -----------------------
int _stricmp(const char* a, const char* b);
int _strnicmp(const char* a, const char* b, size_t count);

// --- Bounded strings ----------------------------------------------------------------------------
size_t StrLen(const char* text);
int StrCmp(const char* a, const char* b);
int StrNCmp(const char* a, const char* b, size_t count);
const char* StrStr(const char* text, const char* part);
const char* StrChr(const char* text, char c);
const char* StrRChr(const char* text, char c);
// Copy or append with the destination's full size; the result is always terminated. Both return
// FALSE when the text had to be cut.
BOOL CopyText(char* dest, size_t destSize, const char* src);
BOOL AppendText(char* dest, size_t destSize, const char* src);
// folder, one backslash, name. FALSE when the path does not fit: it is then no path to use.
BOOL JoinPath(char* path, size_t size, const char* folder, const char* name);

// printf-style formatting into a buffer of destSize characters, always terminated and cut to fit.
// Conversions: %d %i %u %x %X %c %s %% with flags '-' '0', a width, a precision for %s, and the
// length letter 'l' (ignored: every integer is 32 bits). Returns the number of characters stored.
int FormatText(char* dest, size_t destSize, const char* format, ...);
int FormatTextV(char* dest, size_t destSize, const char* format, va_list args);

// --- Text files --------------------------------------------------------------------------------
// Text mode as the classic runtime has it: reading turns CR LF into LF and stops at Ctrl-Z,
// writing turns LF into CR LF. Modes "r", "w" (create or truncate) and "a" (append).
struct TextFile {
    HANDLE handle;
    BOOL writing;
    BOOL atEnd;
    DWORD used;     // bytes in buffer
    DWORD next;     // next byte of buffer to read
    char buffer[512];
};
BOOL OpenTextFile(TextFile* file, const char* path, const char* mode);
// Like fgets: at most size - 1 characters, up to and including a line feed. FALSE at the end.
BOOL ReadTextLine(TextFile* file, char* line, int size);
BOOL WriteText(TextFile* file, const char* text);
void CloseTextFile(TextFile* file);

}  // namespace rt
