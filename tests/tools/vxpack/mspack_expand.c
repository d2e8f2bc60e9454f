/* Expands SZDD files with libmspack's SZDD reader, an independent expander to check against.
 *   mspack_expand <in> <out> [<in> <out> ...]
 * Prints one line per pair, "<in> <libmspack error code>", and exits with the number of failed
 * pairs. */
#include <mspack.h>
#include <stdio.h>

int main(int argc, char **argv)
{
    struct msszdd_decompressor *szdd = mspack_create_szdd_decompressor(NULL);
    if (!szdd) {
        fprintf(stderr, "mspack_expand: cannot create the SZDD decompressor\n");
        return 255;
    }
    int failures = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        int err = szdd->decompress(szdd, argv[i], argv[i + 1]);
        printf("%s %d\n", argv[i], err);
        if (err != MSPACK_ERR_OK)
            ++failures;
    }
    mspack_destroy_szdd_decompressor(szdd);
    return failures;
}
