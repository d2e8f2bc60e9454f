// The installer's settings file "install.ini": which file, and the [INSTALL] keys.
// Owns: g_bLogging, g_bAllowReboot, g_bSilent, g_bNoPass, gbInstallBonusPack, g_iconLocation,
//       g_bExplore, g_szLine1, g_szLine2, g_szIniFile.
// The carried template names its sections "[RenameThisSectionTo:...]", so as carried every key
// takes its default; a distributor renames the sections to switch the keys on.
#include "app/settings.h"
#include "common/globals.h"
#include "common/runtime.h"
#include "common/setup_log.h"

BOOL g_bLogging = FALSE;
BOOL g_bAllowReboot = FALSE;
BOOL g_bSilent = FALSE;
BOOL g_bNoPass = FALSE;
BOOL gbInstallBonusPack = FALSE;
int g_iconLocation = 0;
BOOL g_bExplore = FALSE;
char g_szLine1[CCH_LINE];
char g_szLine2[CCH_LINE];
char g_szIniFile[CCH_PATH];

namespace {

const char SETTINGS_SECTION[] = "INSTALL";
const char SETTINGS_FILE_NAME[] = "\\install.ini";

BOOL FindSettingsInCurrentFolder()
{
    if (rt::_getcwd(g_szIniFile, sizeof(g_szIniFile)) == NULL)
        return FALSE;
    // A current folder too long to take the file name is treated as holding no file.
    return rt::AppendText(g_szIniFile, sizeof(g_szIniFile), SETTINGS_FILE_NAME)
        && rt::_access(g_szIniFile, 0) == 0;
}

BOOL FindSettingsBesideInstaller()
{
    DWORD length = GetModuleFileNameA(g_hInstance, g_szIniFile, sizeof(g_szIniFile));
    if (length == 0 || length >= sizeof(g_szIniFile))
        return FALSE;
    char* lastBackslash = (char*)rt::StrRChr(g_szIniFile, '\\');
    if (lastBackslash == NULL)
        return FALSE;
    *lastBackslash = '\0';
    return rt::AppendText(g_szIniFile, sizeof(g_szIniFile), SETTINGS_FILE_NAME)
        && rt::_access(g_szIniFile, 0) == 0;
}

void UseDefaultSettings()
{
    g_bLogging = FALSE;
    g_bAllowReboot = TRUE;
    g_bSilent = FALSE;
    g_bNoPass = FALSE;
    g_bExplore = TRUE;
    gbInstallBonusPack = TRUE;
    g_iconLocation = 0;
    g_szLine1[0] = '\0';
    g_szLine2[0] = '\0';
}

BOOL ReadSwitch(const char* key, const char* defaultValue, IniBoolKind kind)
{
    char value[CCH_PATH];
    GetPrivateProfileStringA(SETTINGS_SECTION, key, defaultValue, value, sizeof(value), g_szIniFile);
    return ParseIniBool(value, kind);
}

void LogNumber(const char* format, int value)
{
    char line[CCH_LOG_LINE];
    rt::FormatText(line, sizeof(line), format, value);
    WriteLogLine(line);
}

void ReadLine(const char* key, char* target, const char* logFormat)
{
    GetPrivateProfileStringA(SETTINGS_SECTION, key, "", target, CCH_LINE, g_szIniFile);
    char line[CCH_LOG_LINE];
    rt::FormatText(line, sizeof(line), logFormat, target);
    WriteLogLine(line);
}

}  // namespace

BOOL ParseIniBool(const char* value, IniBoolKind kind)
{
    if (kind == INI_ON_WHEN_TRUE)
        return rt::_stricmp(value, "TRUE") == 0 || rt::StrCmp(value, "1") == 0;
    return !(rt::_stricmp(value, "FALSE") == 0 || rt::StrCmp(value, "0") == 0);
}

void ReadInstallSettings()
{
    g_szIniFile[0] = '\0';
    if (!FindSettingsInCurrentFolder()) {
        g_szIniFile[0] = '\0';
        if (!FindSettingsBesideInstaller())
            g_szIniFile[0] = '\0';
    }
    if (g_szIniFile[0] == '\0') {
        UseDefaultSettings();
        return;
    }

    // LOGGING is decided first, so the lines of one run are either all written or none.
    g_bLogging = ReadSwitch("LOGGING", "FALSE", INI_OFF_WHEN_FALSE);
    g_bAllowReboot = ReadSwitch("ALLOWRBT", "FALSE", INI_ON_WHEN_TRUE);
    g_bSilent = ReadSwitch("QUIET", "FALSE", INI_ON_WHEN_TRUE);
    LogNumber("g_bSilent=%d", g_bSilent ? 1 : 0);
    g_bNoPass = ReadSwitch("NOPASSWORD", "FALSE", INI_ON_WHEN_TRUE);
    LogNumber("g_bNoPass=%d", g_bNoPass ? 1 : 0);
    gbInstallBonusPack = ReadSwitch("BONUS", "TRUE", INI_ON_WHEN_TRUE);
    LogNumber("gbInstallBonusPack=%d", gbInstallBonusPack ? 1 : 0);
    g_iconLocation = ReadSwitch("DESKTOP", "TRUE", INI_ON_WHEN_TRUE) ? 0 : 1;
    LogNumber("g_iconLocation=%d", g_iconLocation);
    g_bExplore = ReadSwitch("EXPLORER", "TRUE", INI_OFF_WHEN_FALSE);
    LogNumber("g_bExplore=%d", g_bExplore ? 1 : 0);
    ReadLine("LINE1", g_szLine1, "g_szLine1=\"%s\"");
    ReadLine("LINE2", g_szLine2, "g_szLine2=\"%s\"");
}
