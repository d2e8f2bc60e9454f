/* lz32_expand.exe <in> <out> [...]: the LZ library expands them all in one Wine start; exit: failures. */
#include <windows.h>
#include <lzexpand.h>
#include <stdio.h>

int main(int argc, char **argv)
{
    int failures = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        OFSTRUCT ofIn, ofOut;
        INT hIn = LZOpenFileA(argv[i], &ofIn, OF_READ);
        INT hOut = LZOpenFileA(argv[i + 1], &ofOut, OF_CREATE | OF_WRITE);
        LONG result = hIn >= 0 && hOut >= 0 ? LZCopy(hIn, hOut) : -1;
        if (hIn >= 0) LZClose(hIn);
        if (hOut >= 0) LZClose(hOut);
        printf("%s %ld\n", argv[i], (long)result);
        failures += result < 0;
    }
    return failures;
}
