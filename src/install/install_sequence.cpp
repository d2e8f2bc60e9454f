// The install sequence: one fixed order of steps over the catalogue and the system. Once a step
// fails, every later step is skipped; a few failures only leave a text and let it go on.
// Owns: nothing process-wide; writes dwStatus and nResult of the catalogue entries, may change
// g_iconLocation (through the namespace registration); reads g_bCancelCopy, g_bNoPass,
// g_szIniFile.
//
// Known gaps: a failure never undoes what earlier steps did; the results of the WIN.INI writes,
// of the program item commands and of the namespace and uninstall writes are not looked at.
#include "install/install_sequence.h"
#include "common/globals.h"
#include "common/runtime.h"
#include "common/window_helpers.h"
#include "install/registration.h"
#include "payload/catalogue.h"
#include "payload/placement.h"
#include "progman/progman.h"

namespace {

const char OLD_INI_NAME[] = "original.ini";

// Catalogue entries the sequence addresses by role.
FILE_ENTRY& MainProgram() { return g_coreFiles.entries[0]; }
FILE_ENTRY& MainLibrary() { return g_coreFiles.entries[1]; }
FILE_ENTRY& StubLibrary() { return g_commonFiles.entries[1]; }
FILE_ENTRY& ExplorerLibrary() { return g_explorerFiles.entries[0]; }
FILE_ENTRY& MainIni() { return g_iniFiles.entries[0]; }
BOOL Done(const FILE_ENTRY& entry) { return (entry.dwStatus & FE_DONE) != 0; }

// The state of one run of the sequence.
struct InstallRun {
    const char* sourceFolder;
    const char* destFolder;
    DWORD selection;
    DWORD outcome;
    HWND ownerWindow;
    HWND statusWindow;
    char* failureText;
    BOOL ok;
    char group[CCH_LINE];
};

void SetFailureText(InstallRun* run, const char* text)
{
    if (run->failureText != NULL)
        rt::CopyText(run->failureText, CCH_LINE, text);
}

void ShowStatus(InstallRun* run, const char* format, const char* insert)
{
    char text[CCH_LONG_PATH];
    rt::FormatText(text, sizeof(text), format, insert);
    ShowStatusText(run->statusWindow, text);
}

BOOL ExistsInDest(InstallRun* run, const char* name)
{
    char path[CCH_LONG_PATH];
    return rt::FormatText(path, sizeof(path), "%s\\%s", run->destFolder, name) < (int)sizeof(path) - 1
        && rt::_access(path, 0) == 0;
}

// Places one entry; TRUE when the install may go on.
BOOL PlaceEntry(InstallRun* run, const FILE_GROUP& group, int index)
{
    FILE_ENTRY& entry = group.entries[index];
    int result = PlaceFile(run->sourceFolder, entry.szFile, run->destFolder, run->ownerWindow, run->statusWindow,
        group.firstResource + index, (int)entry.bRequired);
    entry.nResult = (DWORD)result;
    if (result == 0) {
        entry.dwStatus |= FE_DONE;
    } else if (entry.bRequired) {
        entry.dwStatus |= FE_FAILED;
        if (run->failureText != NULL)
            rt::FormatText(run->failureText, CCH_LINE, "Failed to install required file %s.", entry.szSource);
        run->ok = FALSE;
    }
    return run->ok;
}

// A cancel pressed in the progress dialog stops the install after the file being copied.
BOOL CancelPressed(InstallRun* run)
{
    if (g_bCancelCopy)
        run->ok = FALSE;
    return g_bCancelCopy;
}

enum PassRule {
    TAKE_ALL,              // every entry of the group
    TAKE_MISSING_REQUIRED  // only required entries whose file is missing from the destination
};

void RunFilePass(InstallRun* run, const FILE_GROUP& group, PassRule rule)
{
    for (int i = 0; i < group.count; ++i) {
        const FILE_ENTRY& entry = group.entries[i];
        if (rule == TAKE_MISSING_REQUIRED && !(entry.bRequired && !ExistsInDest(run, entry.szFile)))
            continue;
        if (!PlaceEntry(run, group, i) || CancelPressed(run))
            return;
    }
}

// The site lists, placed only where none of that name exists: a user's lists are never replaced.
void PlaceSiteLists(InstallRun* run)
{
    for (int i = 1; i < g_iniFiles.count; ++i) {
        if (!ExistsInDest(run, g_iniFiles.entries[i].szSource) && !PlaceEntry(run, g_iniFiles, i))
            return;
        if (CancelPressed(run))
            return;
    }
}

// Whether to write the main INI file: always for a first install; over an existing one only when
// no earlier INI was kept aside and the user agrees to keep the old one as "original.ini".
BOOL ShouldWriteMainIni(InstallRun* run)
{
    if (!ExistsInDest(run, MainIni().szFile))
        return TRUE;
    if (ExistsInDest(run, OLD_INI_NAME) || ExistsInDest(run, g_iniFiles.entries[1].szFile))
        return FALSE;
    if (run->selection & SEL_SILENT)
        return FALSE;
    int answer = MessageBoxA(run->ownerWindow,
        "Do you wish to install additional FTP sites?\nYour old ones will be preserved under \"MySites\"\nin the file \"original.ini\".",
        "VANTIX Sites", MB_ICONQUESTION | MB_YESNO);
    if (answer != IDYES)
        return FALSE;
    char mainIni[CCH_LONG_PATH];
    char oldIni[CCH_LONG_PATH];
    rt::FormatText(mainIni, sizeof(mainIni), "%s\\%s", run->destFolder, MainIni().szFile);
    rt::FormatText(oldIni, sizeof(oldIni), "%s\\%s", run->destFolder, OLD_INI_NAME);
    return rt::rename(mainIni, oldIni) == 0;
}

// The site lists missing are placed on every run, so that a run ended half-way is completed by
// the next one (the main INI file already there makes that one an update).
void InstallMainIni(InstallRun* run)
{
    char target[CCH_LONG_PATH];
    rt::FormatText(target, sizeof(target), "%s\\%s", run->destFolder, MainIni().szFile);
    if (ShouldWriteMainIni(run) && CopyIniTemplate(run->sourceFolder, target, "$$", run->destFolder, g_iniFiles.firstResource) == -1) {
        SetFailureText(run, "Failed to install INI files.");
        return;
    }
    PlaceSiteLists(run);
}

void RegisterBaseProduct(InstallRun* run)
{
    char program[CCH_LONG_PATH];
    rt::FormatText(program, sizeof(program), "%s\\%s", run->destFolder, MainProgram().szFile);
    if (RegisterBaseClass(program)) {
        MainProgram().dwStatus |= FE_REGISTERED;
        run->outcome |= OUT_BASE_REGISTERED;
    } else {
        MainProgram().dwStatus |= FE_FAILED;
        run->ok = FALSE;
        SetFailureText(run, "Failed to registered base product.");
    }
}

// Registers one component library. A library that does not load or has no registration entry
// point is passed over without a word; only a failure it reports itself counts.
int RegisterComponent(InstallRun* run, FILE_ENTRY& entry)
{
    int result = SelfRegisterLibrary(run->destFolder, entry.szFile);
    if (result == SR_REGISTERED)
        entry.dwStatus |= FE_REGISTERED;
    else if (result == SR_FAILED)
        entry.dwStatus |= FE_FAILED;
    return result;
}

void RegisterExplorerLibrary(InstallRun* run)
{
    int result = RegisterComponent(run, ExplorerLibrary());
    if (result == SR_REGISTERED) {
        run->outcome |= OUT_EXPLORER_REGISTERED;
    } else if (result == SR_FAILED) {
        run->ok = FALSE;
        SetFailureText(run, "Failed to registered explorer.");
    }
}

void WriteWinIniRecords(InstallRun* run)
{
    WriteProfileStringA(WININI_SECTION, "DIR", run->destFolder);
    if (g_bNoPass)
        WriteProfileStringA(WININI_SECTION, "SPFLAGS", "1");
}

// The group from the settings file, or the default. A name that would break a Program Manager
// command (a bracket, a parenthesis, a quote) is never sent: the default is used, and said so.
void ChooseGroupName(InstallRun* run)
{
    rt::CopyText(run->group, sizeof(run->group), DEFAULT_GROUP_NAME);
    if (g_szIniFile[0] != '\0')
        GetPrivateProfileStringA(WININI_SECTION, "GROUP32", DEFAULT_GROUP_NAME, run->group, sizeof(run->group), g_szIniFile);
    if (run->group[0] == '\0')
        rt::CopyText(run->group, sizeof(run->group), DEFAULT_GROUP_NAME);
    ProgmanMakeGroupNameSafe(run->group, "GROUP32");
}

void AddGroupItems(InstallRun* run, const FILE_GROUP& group)
{
    for (int i = 0; i < group.count; ++i) {
        FILE_ENTRY& entry = group.entries[i];
        if (!entry.bIcon || !Done(entry) || !FileExistsIn(run->destFolder, entry.szFile))
            continue;
        ShowStatus(run, "Creating icon for %s.", entry.szFile);
        ProgmanAddItem(entry.szIconTitle, run->destFolder, entry.szFile, "");
        entry.dwStatus |= FE_ICON;
        run->outcome |= OUT_ICONS;
    }
}

void CreateProgramGroup(InstallRun* run)
{
    ChooseGroupName(run);
    WriteProfileStringA(WININI_SECTION, "GROUP", run->group);
    ShowStatus(run, "Creating icon group %s", run->group);
    if (!ProgmanCreateGroup(run->group)) {
        run->ok = FALSE;
        SetFailureText(run, "Failed to create icon group.");
        return;
    }
    if (run->selection & SEL_CLASSIC)
        AddGroupItems(run, g_coreFiles);
    if (run->selection & SEL_EXPLORER) {
        ProgmanAddItem(EXPLORER_ITEM_TITLE, run->destFolder, "", EXPLORER_ITEM_COMMAND);
        AddGroupItems(run, g_explorerFiles);
    }
    if (run->selection & SEL_BONUS)
        AddGroupItems(run, g_utilityFiles);
    AddGroupItems(run, g_commonFiles);
    ProgmanClose();
}

}  // namespace

int RunInstallSequence(const char* sourceFolder, const char* destFolder, DWORD selection, DWORD* outcome,
    HWND ownerWindow, HWND statusWindow, char* failureText)
{
    InstallRun run;
    run.sourceFolder = sourceFolder;
    run.destFolder = destFolder;
    run.selection = selection;
    run.outcome = 0;
    run.ownerWindow = ownerWindow;
    run.statusWindow = statusWindow;
    run.failureText = failureText;
    run.ok = TRUE;
    rt::CopyText(run.group, sizeof(run.group), DEFAULT_GROUP_NAME);
    if (outcome != NULL)
        *outcome = 0;
    if (failureText != NULL)
        memset(failureText, 0, CCH_LINE);

    if (!(selection & (SEL_CLASSIC | SEL_EXPLORER | SEL_BONUS))) {
        SetFailureText(&run, "Nothing to do!");
        return 0;
    }

    RunFilePass(&run, g_coreFiles, (selection & SEL_CLASSIC) ? TAKE_ALL : TAKE_MISSING_REQUIRED);
    if (run.ok && (selection & SEL_EXPLORER))
        RunFilePass(&run, g_explorerFiles, TAKE_ALL);
    if (run.ok && (selection & SEL_BONUS))
        RunFilePass(&run, g_utilityFiles, TAKE_ALL);
    if (run.ok)
        RunFilePass(&run, g_commonFiles, TAKE_ALL);
    if (run.ok && (selection & (SEL_CLASSIC | SEL_EXPLORER)))
        InstallMainIni(&run);

    if (run.ok && Done(MainProgram()) && Done(MainLibrary()))
        RegisterBaseProduct(&run);
    if (run.ok && Done(StubLibrary()) && RegisterComponent(&run, StubLibrary()) == SR_FAILED)
        SetFailureText(&run, "Failed to registered stub.");
    if (run.ok && (selection & SEL_EXPLORER) && Done(ExplorerLibrary())
        && (Done(g_explorerFiles.entries[1]) || Done(g_explorerFiles.entries[2])))
        RegisterExplorerLibrary(&run);

    if (run.ok)
        WriteWinIniRecords(&run);
    if (run.ok)
        CreateProgramGroup(&run);
    if (run.ok && (selection & SEL_EXPLORER))
        RegisterNamespaceEntry(SZ_EXPLORER_CLASS_ID, "VANTIX Pro Explorer", !(selection & SEL_SILENT));
    if (run.ok && (selection & SEL_CLASSIC))
        RegisterNamespaceEntry(SZ_CLASSIC_CLASS_ID, "VANTIX Pro", FALSE);
    if (run.ok)
        WriteUninstallEntry(destFolder, run.group);

    // A stopped install (a cancel, a full disk, a key that refuses) still records where its files
    // went, so that Remove finds and takes them; nothing else is written after the stop.
    if (!run.ok) {
        WriteProfileStringA(WININI_SECTION, "DIR", destFolder);
        WriteProfileStringA(WININI_SECTION, "INSTOPTS", "12");
    }
    run.outcome |= run.ok ? OUT_DONE : OUT_FAILED;
    if (outcome != NULL)
        *outcome = run.outcome;
    return run.ok;
}
