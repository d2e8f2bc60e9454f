// Parser of the uninstall command line (the grammar is in removeargs.h). A folder whose name holds
// " -d " or " -g " cannot be told from the next option; Setup never writes such a line for a folder
// it created, so the first match is taken.
#include "removeargs.h"

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsOptionLetter(char c)
{
    return c == 'f' || c == 'd' || c == 'g';
}

// True when p points at an option: a dash, an option letter, then a blank or the end.
bool IsOptionAt(const char *p)
{
    return p[0] == '-' && IsOptionLetter(p[1]) && (p[2] == '\0' || IsBlank(p[2]));
}

// The first option after p that follows a blank, or the end of the line.
const char *FindNextOption(const char *p)
{
    for (; *p; ++p) {
        if (IsBlank(*p) && IsOptionAt(p + 1))
            return p + 1;
    }
    return p;
}

const char *FindEnd(const char *p)
{
    while (*p)
        ++p;
    return p;
}

// Copies the text from pBegin to pEnd, without the blanks around it, into pszValue. A value that
// is only blanks says nothing: false, and pszValue is left as it was.
bool CopyValue(const char *pBegin, const char *pEnd, char *pszValue, int cchValue)
{
    while (pBegin < pEnd && IsBlank(*pBegin))
        ++pBegin;
    while (pEnd > pBegin && IsBlank(pEnd[-1]))
        --pEnd;
    if (pEnd == pBegin)
        return false;
    int cchCopy = static_cast<int>(pEnd - pBegin) + 1;   // with room for the terminator
    CopyText(pszValue, cchCopy < cchValue ? cchCopy : cchValue, pBegin);
    return true;
}

// Skips the program path: quoted up to the closing quote, otherwise up to the first blank.
const char *SkipProgramPath(const char *p)
{
    while (IsBlank(*p))
        ++p;
    if (*p == '"') {
        for (++p; *p && *p != '"'; ++p) {
        }
        return *p ? p + 1 : p;
    }
    while (*p && !IsBlank(*p))
        ++p;
    return p;
}

} // namespace

unsigned ParseRemoveCommandLine(const char *pszCommandLine, REMOVE_OPTIONS &options)
{
    options = REMOVE_OPTIONS();
    if (!pszCommandLine)
        return 0;

    unsigned found = 0;
    // Text between the program path and the first option is not an option value: passed over.
    const char *p = FindNextOption(SkipProgramPath(pszCommandLine));
    while (*p) {
        char letter = p[1];
        const char *pValue = p + 2;
        const char *pEnd = letter == 'g' ? FindEnd(pValue) : FindNextOption(pValue);
        p = pEnd;
        switch (letter) {
        case 'f':
            if (CopyValue(pValue, pEnd, options.szFiles, sizeof options.szFiles))
                found |= RM_FILES;
            break;
        case 'd':
            if (CopyValue(pValue, pEnd, options.szFolder, sizeof options.szFolder))
                found |= RM_FOLDER;
            break;
        default:
            if (CopyValue(pValue, pEnd, options.szGroup, sizeof options.szGroup))
                found |= RM_GROUP;
            break;
        }
    }
    return found;
}
