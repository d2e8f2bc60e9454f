// vxscript.exe: the VANTIX Scripting Utility, which runs transfer scripts (*.vxs) unattended.
// Given a script name on its command line it names the script it would run.
#include <windows.h>

#include "text.h"
#include "textwindow.h"

namespace {

char g_szText[CCH_SCREEN];   // the text of the window

} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR pszArguments, int nCmdShow)
{
    CopyText(g_szText, sizeof g_szText,
             "VANTIX Scripting Utility\r\n\r\n"
             "Runs a transfer script: a plain text file of commands such as\r\n\r\n"
             "\tOPEN ftp.harrowby.com\r\n"
             "\tCD /pub/vantix\r\n"
             "\tGET vxpatch.zip\r\n"
             "\tCLOSE\r\n\r\n"
             "Scripts can be started from the command line or by a scheduling program, so that "
             "downloads run at night.\r\n\r\n");
    if (pszArguments && *pszArguments) {
        AppendText(g_szText, sizeof g_szText, "Script: ");
        AppendText(g_szText, sizeof g_szText, pszArguments);
    } else {
        AppendText(g_szText, sizeof g_szText, "No script was given: vxscript <script file>");
    }
    AppendText(g_szText, sizeof g_szText, "\r\n");
    return RunTextWindow(hInstance, nCmdShow, "VantixScriptWindow", "VANTIX Scripting Utility",
                         g_szText);
}
