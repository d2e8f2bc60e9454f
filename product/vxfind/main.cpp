// vxfind.exe: the VANTIX Find Utility, which searches the file listings of the sites in the site
// lists for a file name.
#include <windows.h>

#include "textwindow.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nCmdShow)
{
    return RunTextWindow(
        hInstance, nCmdShow, "VantixFindWindow", "VANTIX Find Utility",
        "VANTIX Find Utility\r\n\r\n"
        "Searches the sites of your site lists for files by name. Enter a name or a pattern "
        "(such as *.zip or readme*), choose the site lists to search, and the utility visits each "
        "site, reads its folder listings and shows every match with its site, folder, size and "
        "date.\r\n\r\n"
        "Double-click a match to download it with VANTIX Pro.\r\n");
}
