// vxsync.exe: the VANTIX Synchronize Utility, which keeps a local folder and a folder on an FTP
// site the same. The comparison rules come from vxsyncl.dll.
#include <windows.h>

#include "text.h"
#include "textwindow.h"
#include "vxsyncl.h"

namespace {

char g_szText[CCH_SCREEN];   // the text of the window

} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nCmdShow)
{
    char szRule[160];
    wsprintfA(szRule, "Two files whose times differ by no more than %lu seconds count as the same.",
              static_cast<unsigned long>(VxSyncGetToleranceSeconds()));
    CopyText(g_szText, sizeof g_szText,
             "VANTIX Synchronize Utility\r\n\r\n"
             "Compares a folder on this computer with a folder on an FTP site and copies whatever "
             "is newer or missing, in either direction or in one direction only.\r\n\r\n");
    AppendText(g_szText, sizeof g_szText, szRule);
    AppendText(g_szText, sizeof g_szText, "\r\n");
    return RunTextWindow(hInstance, nCmdShow, "VantixSyncWindow", "VANTIX Synchronize Utility",
                         g_szText);
}
