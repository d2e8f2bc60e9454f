// The installer's runtime services over Win32 (see runtime.h).
// Owns: s_environment, this file's cached pointer to the process environment block.
#include "common/runtime.h"

// The ANSI environment block under its suffixed name, which every Win32 since Windows NT 3.5 and
// Windows 95 exports. The headers still map it to the unsuffixed name of Windows NT 3.1, kept
// only for compatibility.
#undef GetEnvironmentStringsA
extern "C" __declspec(dllimport) LPCH WINAPI GetEnvironmentStringsA(void);

namespace rt {

namespace {

// The environment block is fetched once and kept for the run, as the classic runtime keeps its
// own copy: the installer never changes its environment.
const char* s_environment = NULL;

char FoldCase(char c)
{
    // CharLowerA with a character (not a pointer) in the low word folds by the system's tables.
    return (char)(BYTE)(ULONG_PTR)CharLowerA((LPSTR)(ULONG_PTR)(BYTE)c);
}

}  // namespace

char* _getcwd(char* buffer, int size)
{
    if (buffer == NULL || size <= 0)
        return NULL;
    DWORD length = GetCurrentDirectoryA((DWORD)size, buffer);
    if (length == 0 || length >= (DWORD)size) {
        buffer[0] = '\0';
        return NULL;
    }
    return buffer;
}

int _chdir(const char* path)
{
    return SetCurrentDirectoryA(path) ? 0 : -1;
}

int _access(const char* path, int mode)
{
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return -1;
    if ((mode & 2) && (attributes & FILE_ATTRIBUTE_READONLY))
        return -1;
    return 0;
}

char* getenv(const char* name)
{
    if (name == NULL || name[0] == '\0')
        return NULL;
    if (s_environment == NULL)
        s_environment = GetEnvironmentStringsA();
    if (s_environment == NULL)
        return NULL;
    size_t nameLength = StrLen(name);
    for (const char* entry = s_environment; *entry != '\0'; entry += StrLen(entry) + 1) {
        if (_strnicmp(entry, name, nameLength) == 0 && entry[nameLength] == '=')
            return (char*)entry + nameLength + 1;
    }
    return NULL;
}

int remove(const char* path)
{
    return DeleteFileA(path) ? 0 : -1;
}

int rename(const char* oldPath, const char* newPath)
{
    return MoveFileA(oldPath, newPath) ? 0 : -1;
}

int _stricmp(const char* a, const char* b)
{
    for (;; ++a, ++b) {
        int diff = (BYTE)FoldCase(*a) - (BYTE)FoldCase(*b);
        if (diff != 0 || *a == '\0')
            return diff;
    }
}

int _strnicmp(const char* a, const char* b, size_t count)
{
    for (; count > 0; --count, ++a, ++b) {
        int diff = (BYTE)FoldCase(*a) - (BYTE)FoldCase(*b);
        if (diff != 0 || *a == '\0')
            return diff;
    }
    return 0;
}

size_t StrLen(const char* text)
{
    size_t length = 0;
    while (text[length] != '\0')
        ++length;
    return length;
}

int StrCmp(const char* a, const char* b)
{
    for (; *a != '\0' && *a == *b; ++a, ++b) {
    }
    return (BYTE)*a - (BYTE)*b;
}

int StrNCmp(const char* a, const char* b, size_t count)
{
    for (; count > 0; --count, ++a, ++b) {
        if (*a != *b || *a == '\0')
            return (BYTE)*a - (BYTE)*b;
    }
    return 0;
}

const char* StrStr(const char* text, const char* part)
{
    size_t partLength = StrLen(part);
    for (; *text != '\0'; ++text) {
        if (StrNCmp(text, part, partLength) == 0)
            return text;
    }
    return partLength == 0 ? text : NULL;
}

const char* StrChr(const char* text, char c)
{
    for (;; ++text) {
        if (*text == c)
            return text;
        if (*text == '\0')
            return NULL;
    }
}

const char* StrRChr(const char* text, char c)
{
    const char* found = NULL;
    for (;; ++text) {
        if (*text == c)
            found = text;
        if (*text == '\0')
            return found;
    }
}

BOOL CopyText(char* dest, size_t destSize, const char* src)
{
    if (destSize == 0)
        return FALSE;
    size_t i = 0;
    for (; src[i] != '\0'; ++i) {
        if (i + 1 >= destSize) {
            dest[i] = '\0';
            return FALSE;
        }
        dest[i] = src[i];
    }
    dest[i] = '\0';
    return TRUE;
}

BOOL AppendText(char* dest, size_t destSize, const char* src)
{
    size_t used = 0;
    while (used < destSize && dest[used] != '\0')
        ++used;
    if (used >= destSize)
        return FALSE;
    return CopyText(dest + used, destSize - used, src);
}

BOOL JoinPath(char* path, size_t size, const char* folder, const char* name)
{
    return CopyText(path, size, folder) && AppendText(path, size, "\\") && AppendText(path, size, name);
}

// --- Formatting ----------------------------------------------------------------------------

namespace {

struct Output {
    char* dest;
    size_t size;
    size_t length;
};

void Put(Output* out, char c)
{
    if (out->length + 1 < out->size)
        out->dest[out->length++] = c;
}

void PutPadded(Output* out, const char* text, size_t textLength, int width, BOOL leftAlign, char pad)
{
    int padding = width > (int)textLength ? width - (int)textLength : 0;
    if (!leftAlign) {
        // A zero pad goes after the sign, as "%05d" of -42 gives "-0042".
        if (pad == '0' && textLength > 0 && text[0] == '-') {
            Put(out, '-');
            ++text;
            --textLength;
        }
        for (; padding > 0; --padding)
            Put(out, pad);
    }
    for (size_t i = 0; i < textLength; ++i)
        Put(out, text[i]);
    for (; padding > 0; --padding)
        Put(out, ' ');
}

size_t FormatNumber(char* digits, unsigned long value, unsigned base, BOOL upper, BOOL negative)
{
    const char* symbols = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    char reversed[16];
    size_t count = 0;
    do {
        reversed[count++] = symbols[value % base];
        value /= base;
    } while (value != 0);
    size_t length = 0;
    if (negative)
        digits[length++] = '-';
    while (count > 0)
        digits[length++] = reversed[--count];
    return length;
}

}  // namespace

int FormatTextV(char* dest, size_t destSize, const char* format, va_list args)
{
    Output out = { dest, destSize, 0 };
    if (destSize == 0)
        return 0;
    for (const char* p = format; *p != '\0'; ++p) {
        if (*p != '%') {
            Put(&out, *p);
            continue;
        }
        ++p;
        BOOL leftAlign = FALSE;
        char pad = ' ';
        for (; *p == '-' || *p == '0'; ++p) {
            if (*p == '-')
                leftAlign = TRUE;
            else
                pad = '0';
        }
        int width = 0;
        for (; *p >= '0' && *p <= '9'; ++p)
            width = width * 10 + (*p - '0');
        int precision = -1;
        if (*p == '.') {
            precision = 0;
            for (++p; *p >= '0' && *p <= '9'; ++p)
                precision = precision * 10 + (*p - '0');
        }
        while (*p == 'l' || *p == 'h')
            ++p;
        char digits[24];
        switch (*p) {
        case 'd':
        case 'i': {
            int value = va_arg(args, int);
            unsigned long magnitude = value < 0 ? 0UL - (unsigned long)value : (unsigned long)value;
            size_t length = FormatNumber(digits, magnitude, 10, FALSE, value < 0);
            PutPadded(&out, digits, length, width, leftAlign, leftAlign ? ' ' : pad);
            break;
        }
        case 'u':
        case 'x':
        case 'X': {
            unsigned value = va_arg(args, unsigned);
            size_t length = FormatNumber(digits, value, *p == 'u' ? 10 : 16, *p == 'X', FALSE);
            PutPadded(&out, digits, length, width, leftAlign, leftAlign ? ' ' : pad);
            break;
        }
        case 'c':
            digits[0] = (char)va_arg(args, int);
            PutPadded(&out, digits, 1, width, leftAlign, ' ');
            break;
        case 's': {
            const char* text = va_arg(args, const char*);
            if (text == NULL)
                text = "(null)";
            size_t length = 0;
            while (text[length] != '\0' && (precision < 0 || length < (size_t)precision))
                ++length;
            PutPadded(&out, text, length, width, leftAlign, ' ');
            break;
        }
        case '%':
            Put(&out, '%');
            break;
        case '\0':
            --p;  // a lone '%' at the end is dropped
            break;
        default:
            Put(&out, '%');
            Put(&out, *p);
            break;
        }
    }
    dest[out.length] = '\0';
    return (int)out.length;
}

int FormatText(char* dest, size_t destSize, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    int length = FormatTextV(dest, destSize, format, args);
    va_end(args);
    return length;
}

// --- Text files ------------------------------------------------------------------------------

BOOL OpenTextFile(TextFile* file, const char* path, const char* mode)
{
    file->handle = INVALID_HANDLE_VALUE;
    file->writing = mode[0] != 'r';
    file->atEnd = FALSE;
    file->used = 0;
    file->next = 0;
    DWORD access = file->writing ? GENERIC_WRITE : GENERIC_READ;
    DWORD disposition = mode[0] == 'r' ? OPEN_EXISTING : mode[0] == 'w' ? CREATE_ALWAYS : OPEN_ALWAYS;
    file->handle = CreateFileA(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, disposition, FILE_ATTRIBUTE_NORMAL, NULL);
    return file->handle != INVALID_HANDLE_VALUE;
}

namespace {

// Next byte of a file open for reading, or -1 at its end (or at a Ctrl-Z, the text-mode end).
int ReadByte(TextFile* file)
{
    if (file->atEnd)
        return -1;
    if (file->next == file->used) {
        DWORD got = 0;
        if (!ReadFile(file->handle, file->buffer, sizeof(file->buffer), &got, NULL) || got == 0) {
            file->atEnd = TRUE;
            return -1;
        }
        file->used = got;
        file->next = 0;
    }
    BYTE c = (BYTE)file->buffer[file->next++];
    if (c == 0x1A) {
        file->atEnd = TRUE;
        return -1;
    }
    return c;
}

int PeekByte(TextFile* file)
{
    int c = ReadByte(file);
    if (c >= 0)
        --file->next;  // ReadByte left the byte in the buffer
    return c;
}

}  // namespace

BOOL ReadTextLine(TextFile* file, char* line, int size)
{
    if (file->handle == INVALID_HANDLE_VALUE || file->writing || size <= 0)
        return FALSE;
    int length = 0;
    while (length < size - 1) {
        int c = ReadByte(file);
        if (c < 0)
            break;
        if (c == '\r' && PeekByte(file) == '\n')
            c = ReadByte(file);
        line[length++] = (char)c;
        if (c == '\n')
            break;
    }
    line[length] = '\0';
    return length > 0;
}

BOOL WriteText(TextFile* file, const char* text)
{
    if (file->handle == INVALID_HANDLE_VALUE || !file->writing)
        return FALSE;
    // Append mode writes at the end every time, whoever else wrote meanwhile.
    SetFilePointer(file->handle, 0, NULL, FILE_END);
    char chunk[512];
    DWORD used = 0;
    for (const char* p = text;; ++p) {
        if (*p == '\0' || used + 2 > sizeof(chunk)) {
            DWORD written = 0;
            if (used > 0 && (!WriteFile(file->handle, chunk, used, &written, NULL) || written != used))
                return FALSE;
            used = 0;
            if (*p == '\0')
                return TRUE;
        }
        if (*p == '\n')
            chunk[used++] = '\r';
        chunk[used++] = *p;
    }
}

void CloseTextFile(TextFile* file)
{
    if (file->handle != INVALID_HANDLE_VALUE)
        CloseHandle(file->handle);
    file->handle = INVALID_HANDLE_VALUE;
}

}  // namespace rt
