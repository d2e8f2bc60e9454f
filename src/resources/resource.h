// Resource identifiers of the installer. Strings live in strings.rc; named resources (the icon
// "APP_MAIN", the bitmaps "VX_BMP" and "HARROWBY", the payload of type "EXE") are named, not
// numbered, and need no identifier here.
#pragma once

// --- String table --------------------------------------------------------------------------
#define IDS_RESTART_AFTER_INSTALL       94
#define IDS_RESTART_AFTER_UNINSTALL     95
#define IDS_ALL_FILES                   10001
#define IDS_LOCATE                      10002
#define IDS_FOLDER_CREATION_FAILED      10005
#define IDS_INSTALL_CAPTION             10006
#define IDS_COPYING_FILE                10007
#define IDS_COPY_FAILED                 10008
#define IDS_REMOVAL_COMPLETE            10014
#define IDS_REMOVE_CAPTION              10015
#define IDS_REMOVAL_INCOMPLETE          10016
#define IDS_REMOVAL_IMPOSSIBLE          10017
#define IDS_DESTINATION_PROMPT          10021
#define IDS_DESTINATION_IS_SOURCE       10022
#define IDS_NO_DESTINATION              10023
#define IDS_INSTALL_FAILED              10028
#define IDS_INSTALL_SUCCEEDED           10029
#define IDS_CONGRATULATIONS             10030
#define IDS_WINDOW_REGISTRATION_FAILED  10042
#define IDS_WINDOW_CREATION_FAILED      10043
#define IDS_MODE_INSTALL                10045
#define IDS_MODE_UNINSTALL              10046
#define IDS_NOTHING_SELECTED            10047
#define IDS_DELETE_INI_FILES            10052
