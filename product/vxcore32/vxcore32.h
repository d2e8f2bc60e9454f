// vxcore32.dll: the VANTIX Pro core library, loaded by vantix32.exe: the product version and the
// site-list files.
//
// A site-list file is an INI file in which every section that has a non-empty HOST key is one FTP
// site; the section name is the site's name as shown in the site manager:
//
//   [Harrowby Updates]
//   HOST=ftp.harrowby.com
//   DIR=/pub/vantix
//   USER=anonymous
//   PASS=
//   DESC=Patches and add-ons for VANTIX Pro
//
// An empty USER means "anonymous"; an empty PASS means the address in MAILADDR of VANTIX.ini.
// Sections without HOST (such as the list's own [_list_] header) are not sites.
#pragma once
#include <windows.h>

extern "C" {

// The product version as text, for example "2.10".
LPCSTR VxCoreGetVersionString(void);

// The number of sites in the site-list file pszPath, or -1 when there is no such file.
int VxCoreCountSites(LPCSTR pszPath);

} // extern "C"
