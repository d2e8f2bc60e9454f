// INI file and path helpers shared by the VANTIX Pro programs and libraries.
#pragma once
#include <windows.h>

// Called once per section name, in file order; return false to stop.
typedef bool (*SECTION_VISITOR)(const char *pszSection, void *pContext);

// Calls pfnVisit for every section of the INI file pszIniPath. Nothing is called when the file
// has no sections or does not exist. Returns false when memory for the list ran out.
bool ForEachSection(const char *pszIniPath, SECTION_VISITOR pfnVisit, void *pContext);

// True when pszPath names an existing file (not a folder).
bool IsExistingFile(const char *pszPath);

// The folder part of pszPath, without a trailing backslash; "." when the path has no folder.
void GetFolderOf(const char *pszPath, char *pszFolder, int cchFolder);

// The folder that holds hModule (nullptr: the program itself), without a trailing backslash.
void GetModuleFolder(HMODULE hModule, char *pszFolder, int cchFolder);

// pszFolder + "\" + pszName into pszPath, or pszName alone when it is already a full path
// ("C:\..." or "\\server\...").
void JoinPath(const char *pszFolder, const char *pszName, char *pszPath, int cchPath);
