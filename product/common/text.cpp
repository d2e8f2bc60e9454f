// Bounded text copies (see text.h). lstrcpynA always writes the terminating zero and never more
// than the count it is given, which includes that zero.
#include "text.h"

void CopyText(char *pszDest, int cchDest, const char *pszSource)
{
    if (cchDest > 0)
        lstrcpynA(pszDest, pszSource, cchDest);
}

void AppendText(char *pszDest, int cchDest, const char *pszSource)
{
    int cchUsed = lstrlenA(pszDest);
    if (cchUsed < cchDest - 1)
        lstrcpynA(pszDest + cchUsed, pszSource, cchDest - cchUsed);
}
