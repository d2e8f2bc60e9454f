/* Expands SZDD files with the platform's LZ expansion library, as the installer does.
 *   lz32_expand.exe <in> <out> [<in> <out> ...]
 * Prints one line per pair, "<in> <LZCopy result>", and exits with the number of failed pairs.
 * One process for many files, because each Wine start costs about a second. */
#include <windows.h>
#include <lzexpand.h>
#include <stdio.h>

int main(int argc, char **argv)
{
    int failures = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        OFSTRUCT ofIn, ofOut;
        LONG result = -1;
        INT hIn = LZOpenFileA(argv[i], &ofIn, OF_READ);
        /* The targets are fresh names in a scratch folder, so the library's habit of falling back
           to another name when the target cannot be created does not come into play. */
        INT hOut = LZOpenFileA(argv[i + 1], &ofOut, OF_CREATE | OF_WRITE);
        if (hIn >= 0 && hOut >= 0)
            result = LZCopy(hIn, hOut);
        if (hIn >= 0)
            LZClose(hIn);
        if (hOut >= 0)
            LZClose(hOut);
        printf("%s %ld\n", argv[i], (long)result);
        if (result < 0)
            ++failures;
    }
    return failures;
}
