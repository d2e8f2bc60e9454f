// vxremove.exe: the "Uninstall VANTIX Pro" program that Windows starts from Add/Remove Programs
// with the command line Setup recorded (see removeargs.h). It shows what it was asked to remove;
// the removal itself is done by VANTIX Pro Setup's Remove choice, which this window points to.
#include <windows.h>

#include "removeargs.h"
#include "text.h"
#include "textwindow.h"

namespace {

REMOVE_OPTIONS g_options;      // what the command line asked for
char g_szText[CCH_SCREEN];     // the text of the window

void AppendOption(const char *pszLabel, unsigned found, unsigned bit, const char *pszValue)
{
    AppendText(g_szText, sizeof g_szText, pszLabel);
    AppendText(g_szText, sizeof g_szText, (found & bit) ? pszValue : "(not given)");
    AppendText(g_szText, sizeof g_szText, "\r\n");
}

void DescribeRemoval(const char *pszCommandLine)
{
    unsigned found = ParseRemoveCommandLine(pszCommandLine, g_options);

    CopyText(g_szText, sizeof g_szText, "Uninstall VANTIX Pro\r\n\r\n");
    AppendOption("Installed files:\t", found, RM_FILES, g_options.szFiles);
    AppendOption("Folder to remove:\t", found, RM_FOLDER, g_options.szFolder);
    AppendOption("Program group:\t", found, RM_GROUP, g_options.szGroup);
    AppendText(g_szText, sizeof g_szText, "\r\n");
    if (found != (RM_FILES | RM_FOLDER | RM_GROUP)) {
        AppendText(g_szText, sizeof g_szText,
                   "This command line is incomplete. Start the removal from Add/Remove Programs "
                   "in the Control Panel, or run VANTIX Pro Setup and choose Remove.\r\n");
    } else {
        AppendText(g_szText, sizeof g_szText,
                   "To remove VANTIX Pro, its program group and its settings, run VANTIX Pro "
                   "Setup and choose Remove. Your site lists (*.ini) are kept unless you agree "
                   "to delete them.\r\n");
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nCmdShow)
{
    DescribeRemoval(GetCommandLineA());
    return RunTextWindow(hInstance, nCmdShow, "VantixRemoveWindow", "Uninstall VANTIX Pro", g_szText);
}
