// The wizard driver: install or remove, the source and destination folders, the interfaces, the
// install itself, the records written after it and the closing message. A silent run takes
// every decision itself and reports only to the setup log.
// Owns: nothing process-wide; opens g_hwndProgress for the install and closes it after, sets
// g_szBrowseName and g_pfnIconPlacementDlgProc before the questions that need them, raises and
// clears g_bRebootNeeded.
//
// Known gap: removal is not built yet; choosing it ends the wizard (see RunSetupWizard).
#include "wizard/wizard.h"
#include "common/globals.h"
#include "common/messages.h"
#include "common/runtime.h"
#include "common/setup_log.h"
#include "common/window_helpers.h"
#include "install/install_sequence.h"
#include "payload/catalogue.h"
#include "payload/placement.h"
#include "resources/resource.h"
#include "uninstall/uninstall_flow.h"
#include "wizard/dialogs.h"

const char DEFAULT_MAIL_ADDRESS[] = "vxguest@";
const char OLD_MAIL_PLACEHOLDER[] = "user@host.com";

namespace {

const char ERROR_CAPTION[] = "VANTIX Pro Installation";

void LogFolder(const char* format, const char* folder)
{
    char line[CCH_LOG_LINE + CCH_LONG_PATH];
    rt::FormatText(line, sizeof(line), format, folder);
    WriteLogLine(line);
}

void ShowError(HWND owner, UINT messageId)
{
    char text[CCH_LONG_TEXT];
    LoadMessage(messageId, text, sizeof(text));
    MessageBoxA(owner, text, ERROR_CAPTION, MB_ICONHAND);
}

// The installer's current folder (the temporary folder), ending in a backslash.
void GetSourceFolder(char* folder)
{
    if (rt::_getcwd(folder, CCH_LONG_PATH) == NULL)
        folder[0] = '\0';
    size_t length = rt::StrLen(folder);
    if (length > 0 && folder[length - 1] != '\\')
        rt::AppendText(folder, CCH_LONG_PATH, "\\");
}

// A profile value that filled its buffer may have been cut, and a cut folder names another one:
// such a value is not used, and the log says so.
BOOL TakeWholeValue(DWORD length, const char* key)
{
    if (length < CCH_LONG_PATH - 1)
        return TRUE;
    char line[CCH_LOG_LINE];
    rt::FormatText(line, sizeof(line), "%s is too long for a folder; not used", key);
    WriteLogLine(line);
    return FALSE;
}

// The default, then DIR32 of the settings file, then the folder of an earlier install.
void ProposeDestination(char* folder)
{
    ChooseDefaultDestination(folder);
    char value[CCH_LONG_PATH];
    if (g_szIniFile[0] != '\0') {
        DWORD length = GetPrivateProfileStringA(WININI_SECTION, "DIR32", folder, value, sizeof(value), g_szIniFile);
        if (TakeWholeValue(length, "DIR32") && rt::StrCmp(value, folder) != 0)
            rt::CopyText(folder, CCH_LONG_PATH, value);
    }
    // The folder of an earlier install is read into as much room as a folder typed may take.
    DWORD length = GetProfileStringA(WININI_SECTION, "DIR", folder, value, sizeof(value));
    if (TakeWholeValue(length, "DIR") && value[0] != '\0')
        rt::CopyText(folder, CCH_LONG_PATH, value);
}

// Silent: only the exact source folder is refused; a folder that cannot be created ends the run.
BOOL SettleDestinationSilently(const char* source, char* dest)
{
    if (rt::StrCmp(dest, source) == 0) {
        LogFolder("SourceDir=DestDir \"%s\"", source);
        return FALSE;
    }
    if (!CreateFolderPath(dest)) {
        LogFolder("Failed to create DestDir \"%s\"", dest);
        return FALSE;
    }
    return TRUE;
}

// Interactive: asked until a folder outside the source folder is created, or the question is
// cancelled.
BOOL AskDestination(HWND owner, const char* source, char* dest)
{
    char prompt[CCH_LINE];
    LoadMessage(IDS_DESTINATION_PROMPT, prompt, sizeof(prompt));
    size_t sourceLength = rt::StrLen(source);
    while (AskFolder(owner, g_hInstance, prompt, dest, dest)) {
        // The source's trailing backslash is left out, so the folder itself and every folder
        // whose path merely begins with it are refused.
        if (sourceLength > 0 && rt::_strnicmp(source, dest, sourceLength - 1) == 0) {
            ShowError(owner, IDS_DESTINATION_IS_SOURCE);
            continue;
        }
        if (CreateFolderPath(dest))
            return TRUE;
        char pattern[CCH_LINE];
        char text[CCH_INSERTS];
        LoadMessage(IDS_FOLDER_CREATION_FAILED, pattern, sizeof(pattern));
        FormatInserts(text, pattern, dest, 0u);
        MessageBoxA(owner, text, ERROR_CAPTION, MB_ICONHAND);
    }
    ShowError(owner, IDS_NO_DESTINATION);
    return FALSE;
}

DWORD BuildSelection(int nV)
{
    DWORD selection = 0;
    if (nV & IFACE_CLASSIC)
        selection |= SEL_CLASSIC;
    if (nV & IFACE_EXPLORER)
        selection |= SEL_EXPLORER;
    if (gbInstallBonusPack)
        selection |= SEL_BONUS;
    if (g_bSilent)
        selection |= SEL_SILENT;
    return selection;
}

void ReportInstallFailure(HWND owner, const char* failureText)
{
    char text[CCH_LINE + 2 + CCH_LINE];
    LoadMessage(IDS_INSTALL_FAILED, text, CCH_LINE);
    if (failureText[0] != '\0') {
        rt::AppendText(text, sizeof(text), g_bSilent ? " " : "\r\n");
        rt::AppendText(text, sizeof(text), failureText);
    }
    // A silent install says it too, on one line of the log: a failure that only the summary
    // names (a registry key that refuses the base class, say) would otherwise be reported nowhere.
    if (g_bSilent)
        WriteLogLine(text);
    else
        MessageBoxA(owner, text, NULL, MB_OK);
}

void WriteInstallRecords(const char* dest)
{
    WriteProfileStringA(WININI_SECTION, "DEFDIR", dest);
    WriteProfileStringA(WININI_SECTION, "INSTOPTS", "12");
    WriteProfileStringA(WININI_SECTION, "PRO", "990218");
}

// The restart prompt replaces the success message when something waits for the next start.
void ShowClosingMessage(HWND owner)
{
    char caption[CCH_LONG_TEXT];
    char text[CCH_LONG_TEXT];
    if (g_bRebootNeeded) {
        if (g_bSilent) {
            if (!g_bAllowReboot)
                g_bRebootNeeded = FALSE;
            return;
        }
        LoadMessage(IDS_RESTART_AFTER_INSTALL, text, sizeof(text));
        LoadMessage(IDS_CONGRATULATIONS, caption, sizeof(caption));
        if (MessageBoxA(owner, text, caption, MB_OKCANCEL | MB_SYSTEMMODAL) == IDCANCEL)
            g_bRebootNeeded = FALSE;
        return;
    }
    if (g_bSilent)
        return;
    LoadMessage(IDS_INSTALL_SUCCEEDED, text, sizeof(text));
    LoadMessage(IDS_CONGRATULATIONS, caption, sizeof(caption));
    MessageBoxA(owner, text, caption, MB_OK);
}

}  // namespace

void ChooseDefaultDestination(char* folder)
{
    OSVERSIONINFOA version;
    version.dwOSVersionInfoSize = sizeof(version);
    const char* tail = "\\VANTIX";
    if (GetVersionExA(&version)) {
        if (version.dwPlatformId != VER_PLATFORM_WIN32s && version.dwMajorVersion >= 4)
            tail = "\\Program Files\\VANTIX Pro";
        else if (version.dwPlatformId == VER_PLATFORM_WIN32_NT)
            tail = "\\WIN32APP\\VANTIX";
    }
    char system[CCH_LONG_PATH];
    UINT length = GetSystemDirectoryA(system, sizeof(system));
    if (length < 2 || length >= sizeof(system))
        rt::CopyText(system, sizeof(system), "C:");
    // The drive is the first two characters; the folder follows from the third on.
    system[2] = '\0';
    rt::CopyText(folder, CCH_LONG_PATH, system);
    rt::AppendText(folder, CCH_LONG_PATH, tail);
}

void WriteMailDefault(const char* destFolder)
{
    char iniPath[CCH_LONG_PATH];
    char address[128];
    if (!rt::JoinPath(iniPath, sizeof(iniPath), destFolder, g_iniFiles.entries[0].szFile))
        return;
    GetPrivateProfileStringA("_config_", "MAILADDR", DEFAULT_MAIL_ADDRESS, address, sizeof(address), iniPath);
    if (rt::_strnicmp(address, OLD_MAIL_PLACEHOLDER, rt::StrLen(OLD_MAIL_PLACEHOLDER)) == 0)
        rt::CopyText(address, sizeof(address), DEFAULT_MAIL_ADDRESS);
    if (rt::_stricmp(address, DEFAULT_MAIL_ADDRESS) == 0)
        WritePrivateProfileStringA("_config_", "MAILADDR", address, iniPath);
}

int RunSetupWizard(HWND owner, int nV, int nM)
{
    if (!g_bSilent) {
        int mode = AskInstallOrRemove(owner, g_hInstance);
        if (mode == MODE_REMOVE)
            return UninstallProduct(owner, nV, nM);
        if (mode != MODE_INSTALL)
            return 0;
    }

    char source[CCH_LONG_PATH];
    GetSourceFolder(source);
    PumpMessages();

    char dest[CCH_LONG_PATH];
    ProposeDestination(dest);
    rt::CopyText(g_szBrowseName, sizeof(g_szBrowseName), "a");
    if (g_bSilent ? !SettleDestinationSilently(source, dest) : !AskDestination(owner, source, dest))
        return 0;
    PumpMessages();

    DWORD outcome = 0;
    if (g_bSilent) {
        char line[CCH_LOG_LINE];
        rt::FormatText(line, sizeof(line), "nV=%d nM=%d", nV, nM);
        WriteLogLine(line);
    } else {
        nV = AskInterfaces(owner, g_hInstance, nV, nM);
        if (nV == 0 && !gbInstallBonusPack) {
            g_bRebootNeeded = FALSE;
            return 0;
        }
    }

    char failureText[CCH_LONG_PATH];
    memset(failureText, 0, sizeof(failureText));
    // Owned by the host window, which outlives it; the message loop and the pump give it its
    // keyboard messages.
    g_hwndProgress = g_bSilent ? NULL : CreateDialogParamA(g_hInstance, "DLG_COPY", owner, CopyProgressDlgProc, 0);
    DWORD selection = BuildSelection(nV);
    g_bRebootNeeded = FALSE;
    g_pfnIconPlacementDlgProc = IconPlacementDlgProc;
    HWND status = g_hwndProgress != NULL ? GetDlgItem(g_hwndProgress, IDC_COPY_STATUS) : NULL;
    int result = RunInstallSequence(source, dest, selection, &outcome, owner, status, failureText);
    SetActiveWindow(owner);
    if (g_hwndProgress != NULL)
        DestroyWindow(g_hwndProgress);
    g_hwndProgress = NULL;

    if (result == 0) {
        ReportInstallFailure(owner, failureText);
        g_bRebootNeeded = FALSE;
        return 0;
    }
    if (outcome & OUT_EXPLORER_REGISTERED)
        g_bRebootNeeded = TRUE;
    WriteMailDefault(dest);
    WriteInstallRecords(dest);
    ShowClosingMessage(owner);
    return result;
}
