// The site lists named by the main settings file VANTIX.ini: every section with a FILENAME key is
// one site list, shown in the site manager under the section's name ([MySites] is the user's own).
#pragma once
#include "text.h"

struct SITE_LIST {
    char szName[CCH_NAME];   // the section name, e.g. "MySites"
    char szPath[CCH_PATH];   // the FILENAME value; a bare name is taken from the folder of VANTIX.ini
    int nSites;              // sites in the file, or -1 when the file is missing
};

// Reads up to cMax site lists named by the INI file at pszIniPath into pLists, in file order.
// Returns how many were read, or -1 when that file does not exist.
int ReadSiteLists(const char *pszIniPath, SITE_LIST *pLists, int cMax);
