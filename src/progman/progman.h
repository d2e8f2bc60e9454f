// The Program Manager client: program groups and items made and removed by sending command texts
// over DDE to the service and topic "PROGMAN", one conversation per command.
//
// Calling order: ProgmanOpen or ProgmanCreateGroup; any number of ProgmanShowGroup, ProgmanAddItem
// and ProgmanDeleteItem; then ProgmanClose or ProgmanCloseDeletingGroup. Commands sent outside that
// window are dropped.
#pragma once
#include <windows.h>

// The three things the client asks of the DDE management library. g_ddePlatform holds the real
// ones; a test puts recorders in their place to see the exact commands without a server, and
// puts the real ones back when it is done.
struct DDE_PLATFORM {
    // Starts a client instance into *instance; DMLERR_NO_ERROR (0) when started.
    UINT (*pfnStartInstance)(DWORD* instance);
    // Sends one command in a conversation of its own; 1 when the server accepted it, else 0.
    int (*pfnSendCommand)(DWORD instance, const char* command);
    // Ends a client instance.
    void (*pfnEndInstance)(DWORD instance);
};

// Starts the DDE client instance. Returns 1 when it started, 0 when it could not be started.
int ProgmanOpen();
// Starts the instance and sends "[CreateGroup(group)]". Returns 0 when the instance did not
// start, else 1 whatever became of the command.
int ProgmanCreateGroup(const char* group);
// Sends command to "PROGMAN" in a conversation of its own. Returns 1 when it was accepted, 0 when
// the client is not started, no server answers, or the server refuses or does not answer within
// one second.
int ProgmanExecute(DWORD instance, const char* command);
// The instance's DDE callback: a client serves nothing, so every transaction gets no data.
HDDEDATA CALLBACK ProgmanCallback(UINT type, UINT format, HCONV conversation, HSZ text1, HSZ text2,
    HDDEDATA data, ULONG_PTR data1, ULONG_PTR data2);

// Replaces the item titled title (fileName when title is empty) in the current group by one that
// runs command, or folder\fileName when command is empty, in folder (the current folder when
// folder is empty). A fileName holding a backslash is the full path. Returns 1; when the path,
// the working folder or a command would not fit its buffer, nothing is sent.
int ProgmanAddItem(const char* title, const char* folder, const char* fileName, const char* command);
// Makes group the current group with "[ShowGroup(group,1)]", so that the item commands after it
// act on that group; Program Manager creates no group for it. Returns 1 when the server accepted
// the command, 0 otherwise (also when the group name could not be sent whole).
int ProgmanShowGroup(const char* group);
// Deletes the item titled title (fileName when title is empty); folder and command are not used.
// Returns 1.
int ProgmanDeleteItem(const char* title, const char* folder, const char* fileName, const char* command);
// Deletes the group when it is the default group "VANTIX Pro" (any letter case), then ends the
// instance. Returns 1.
int ProgmanCloseDeletingGroup(const char* group);
// Ends the instance; the group stays. Returns 1.
int ProgmanClose();

// TRUE when name can be sent as a group name: not empty, short enough for a command, and free of
// the characters that end or split a command's fields: [ ] ( ) " and the comma.
BOOL ProgmanNameIsSafe(const char* name);
// Replaces a group name (CCH_LINE characters) that is not safe by the default group "VANTIX Pro",
// and says so in the log, naming the setting it came from.
void ProgmanMakeGroupNameSafe(char* group, const char* setting);
