// The Program Manager client over DDE (see progman.h).
// Owns: g_ddeInstance, g_bDdeReady, g_ddePlatform.
//
// Every command goes out in a conversation of its own (connect, execute, disconnect), so nothing
// stays open between commands and a server that vanishes midway costs one command, not the rest.
//
// Commands are built in buffers of CCH_DDE_COMMAND bytes, item paths and working folders in
// CCH_SHORT_PATH. What does not fit is not sent at all, never cut short: a cut title or path names
// another item, and a cut command has lost its closing brackets. Such an item is passed over the
// way a failed send passes it over (the result is the same), and an item's delete is never sent
// without its add, so an icon already there is not lost to a replacement that cannot be made.
//
// Known gap: titles and paths go out unescaped; a title holding a double quote breaks its command.
// Group names can be checked beforehand with ProgmanNameIsSafe (or ProgmanMakeGroupNameSafe).
#include "progman/progman.h"
#include "common/globals.h"
#include "common/runtime.h"
#include "common/setup_log.h"

#include <stdarg.h>

namespace {

const char SERVICE_AND_TOPIC[] = "PROGMAN";
const char DEFAULT_GROUP[] = "VANTIX Pro";
const char CREATE_GROUP[] = "[CreateGroup(%s)]";
const char DELETE_GROUP[] = "[DeleteGroup(%s)]";
// Program Manager wants the show command; 1 shows and activates the group's window.
const char SHOW_GROUP[] = "[ShowGroup(%s,1)]";
const char DELETE_ITEM[] = "[DeleteItem(\"%s\")]";
const char ADD_ITEM[] = "[AddItem(\"%s\",\"%s\",,,,,%s)]";
const DWORD EXECUTE_TIMEOUT_MS = 1000;

// A command is formatted into one byte more than it may take, so that one filling its
// CCH_DDE_COMMAND bytes exactly is told apart from one that was cut.
enum { CCH_COMMAND_ROOM = CCH_DDE_COMMAND + 1 };

UINT StartDdeClient(DWORD* instance)
{
    return DdeInitializeA(instance, ProgmanCallback, APPCMD_CLIENTONLY, 0);
}

int SendOverDde(DWORD instance, const char* command)
{
    HSZ service = DdeCreateStringHandleA(instance, SERVICE_AND_TOPIC, CP_WINANSI);
    if (service == NULL)
        return 0;
    int result = 0;
    HCONV conversation = DdeConnect(instance, service, service, NULL);
    if (conversation != NULL) {
        DWORD status = 0;
        if (DdeClientTransaction((LPBYTE)command, (DWORD)rt::StrLen(command) + 1, conversation, NULL,
                CF_TEXT, XTYP_EXECUTE, EXECUTE_TIMEOUT_MS, &status) != NULL)
            result = 1;
        DdeDisconnect(conversation);
    }
    DdeFreeStringHandle(instance, service);
    return result;
}

void EndDdeClient(DWORD instance)
{
    DdeUninitialize(instance);
}

// Formats into a buffer of CCH_COMMAND_ROOM bytes; FALSE when the command is longer than a
// command may be (the buffer then holds it cut, and it must not be sent).
BOOL FormatCommand(char* command, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    int length = rt::FormatTextV(command, CCH_COMMAND_ROOM, format, args);
    va_end(args);
    return length < CCH_DDE_COMMAND;
}

const char* TextOrEmpty(const char* text)
{
    return text != NULL ? text : "";
}

// An item is known by its title, or by its file name when it has none.
const char* ItemTitle(const char* title, const char* fileName)
{
    return title != NULL && title[0] != '\0' ? title : TextOrEmpty(fileName);
}

// The folder an item lives and works in: folder, or the current folder when none is given.
BOOL TakeItemFolder(char* path, const char* folder)
{
    if (folder != NULL && folder[0] != '\0')
        return rt::CopyText(path, CCH_SHORT_PATH, folder);
    return rt::_getcwd(path, CCH_SHORT_PATH) != NULL;
}

// Turns the item's folder in path into the item's full path. A fileName holding a backslash is a
// full path already. The separator is left out only when the folder holds both kinds of slash, so
// a folder that ends in a backslash gets a second one; the shell reads the pair as one.
BOOL AppendFileName(char* path, const char* fileName)
{
    if (rt::StrChr(fileName, '\\') != NULL)
        return rt::CopyText(path, CCH_SHORT_PATH, fileName);
    BOOL bothSlashes = rt::StrChr(path, '/') != NULL && rt::StrChr(path, '\\') != NULL;
    if (!bothSlashes && !rt::AppendText(path, CCH_SHORT_PATH, "\\"))
        return FALSE;
    return rt::AppendText(path, CCH_SHORT_PATH, fileName);
}

}  // namespace

DWORD g_ddeInstance = 0;
BOOL g_bDdeReady = FALSE;
DDE_PLATFORM g_ddePlatform = { StartDdeClient, SendOverDde, EndDdeClient };

int ProgmanOpen()
{
    g_ddeInstance = 0;
    if (g_ddePlatform.pfnStartInstance(&g_ddeInstance) != DMLERR_NO_ERROR)
        return 0;
    g_bDdeReady = TRUE;
    return 1;
}

int ProgmanCreateGroup(const char* group)
{
    if (!ProgmanOpen())
        return 0;
    char command[CCH_COMMAND_ROOM];
    if (FormatCommand(command, CREATE_GROUP, TextOrEmpty(group)))
        ProgmanExecute(g_ddeInstance, command);
    return 1;
}

int ProgmanExecute(DWORD instance, const char* command)
{
    if (!g_bDdeReady)
        return 0;
    return g_ddePlatform.pfnSendCommand(instance, command);
}

HDDEDATA CALLBACK ProgmanCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR)
{
    return NULL;
}

int ProgmanAddItem(const char* title, const char* folder, const char* fileName, const char* command)
{
    fileName = TextOrEmpty(fileName);
    char workingFolder[CCH_SHORT_PATH];
    if (!TakeItemFolder(workingFolder, folder))
        return 1;
    char itemPath[CCH_SHORT_PATH];
    rt::CopyText(itemPath, sizeof(itemPath), workingFolder);
    BOOL pathWhole = AppendFileName(itemPath, fileName);
    if (command == NULL || command[0] == '\0') {
        if (!pathWhole)
            return 1;
        command = itemPath;
    }
    title = ItemTitle(title, fileName);

    char deleteCommand[CCH_COMMAND_ROOM];
    char addCommand[CCH_COMMAND_ROOM];
    if (!FormatCommand(deleteCommand, DELETE_ITEM, title)
        || !FormatCommand(addCommand, ADD_ITEM, command, title, workingFolder))
        return 1;
    // Deleted by title first, so that a second install replaces the item instead of doubling it.
    ProgmanExecute(g_ddeInstance, deleteCommand);
    ProgmanExecute(g_ddeInstance, addCommand);
    return 1;
}

int ProgmanShowGroup(const char* group)
{
    char command[CCH_COMMAND_ROOM];
    return FormatCommand(command, SHOW_GROUP, TextOrEmpty(group)) && ProgmanExecute(g_ddeInstance, command);
}

int ProgmanDeleteItem(const char* title, const char*, const char* fileName, const char*)
{
    char command[CCH_COMMAND_ROOM];
    if (FormatCommand(command, DELETE_ITEM, ItemTitle(title, fileName)))
        ProgmanExecute(g_ddeInstance, command);
    return 1;
}

int ProgmanCloseDeletingGroup(const char* group)
{
    if (g_bDdeReady) {
        // Only the group the installer names itself is removed: a group the user chose may hold
        // other programs' items.
        char command[CCH_COMMAND_ROOM];
        if (group != NULL && rt::_stricmp(group, DEFAULT_GROUP) == 0 && FormatCommand(command, DELETE_GROUP, group))
            ProgmanExecute(g_ddeInstance, command);
        g_ddePlatform.pfnEndInstance(g_ddeInstance);
    }
    g_bDdeReady = FALSE;
    return 1;
}

int ProgmanClose()
{
    if (g_bDdeReady)
        g_ddePlatform.pfnEndInstance(g_ddeInstance);
    g_bDdeReady = FALSE;
    return 1;
}

BOOL ProgmanNameIsSafe(const char* name)
{
    if (name == NULL || name[0] == '\0')
        return FALSE;
    for (const char* c = name; *c != '\0'; ++c) {
        if (rt::StrChr("[]()\",", *c) != NULL)
            return FALSE;
    }
    // "[DeleteGroup(%s)]" is as long as "[CreateGroup(%s)]": a name that fits one fits both.
    char command[CCH_COMMAND_ROOM];
    return FormatCommand(command, CREATE_GROUP, name);
}

void ProgmanMakeGroupNameSafe(char* group, const char* setting)
{
    if (ProgmanNameIsSafe(group))
        return;
    char line[CCH_LOG_LINE];
    rt::FormatText(line, sizeof(line), "%s=\"%s\" cannot be sent to Program Manager; using \"%s\"", setting, group, DEFAULT_GROUP);
    WriteLogLine(line);
    rt::CopyText(group, CCH_LINE, DEFAULT_GROUP);
}
