// Runs the start-up steps that depend on the Windows version and prints what they derived:
//   startup_probe <output file>
// writes "winNT=<0|1> major=<n> minor=<n> nV=<n> nM=<n>".
#include <stdio.h>

#include "app/settings.h"
#include "app/startup.h"
#include "common/globals.h"

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    g_hInstance = GetModuleHandleA(NULL);
    ReadInstallSettings();
    ReadWindowsVersion();
    DeriveInterfaceDefaults();
    FILE* out = fopen(argv[1], "w");
    if (out == NULL)
        return 1;
    fprintf(out, "winNT=%d major=%d minor=%d nV=%d nM=%d", g_bWinNT ? 1 : 0, g_nWinMajor, g_nWinMinor, g_nV, g_nM);
    fclose(out);
    return 0;
}
