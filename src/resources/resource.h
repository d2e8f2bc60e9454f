// Resource identifiers of the installer. Strings live in strings.rc, dialogs in dialogs.rc; named
// resources (the icon "APP_MAIN", the bitmaps "VX_BMP" and "HARROWBY", the payload of type "EXE",
// every dialog but the Icon Placement question) are named, not numbered, and need no identifier.
// Dialog controls come in one band per dialog; the buttons OK and Cancel are IDOK and IDCANCEL.
#pragma once

#define IDC_STATIC                      -1      // a control no code addresses

// --- Dialog "DLG_INSTALL": install or remove -------------------------------------------------
#define IDC_MODE_INSTALL                1851
#define IDC_MODE_REMOVE                 1852
#define IDC_MODE_TITLE                  2420    // hidden when the dialog opens

// --- Dialog "DLG_VERS_32": the interfaces and the Bonus Utility Pack -------------------------
#define IDC_IFACE_CLASSIC               1880
#define IDC_IFACE_EXPLORER              2417
#define IDC_IFACE_BONUS                 2418
#define IDC_IFACE_HELP                  9041

// --- Dialog "DLG_32_HELP": the interfaces explained (OK and texts only) ----------------------

// --- Dialog 307: where the Explorer interface's icon goes ------------------------------------
#define IDD_ICON_PLACEMENT              307
#define IDC_ICON_ON_DESKTOP             1851
#define IDC_ICON_IN_MY_COMPUTER         1852

// --- Dialog "DLG_COPY": copy progress --------------------------------------------------------
#define IDC_COPY_STATUS                 954

// --- Dialog "DLG_GETDIR": the destination folder ---------------------------------------------
#define IDC_GETDIR_FOLDER               954
#define IDC_GETDIR_BROWSE               2416
#define IDC_GETDIR_PROMPT               3010

// --- Dialog "DLG_BROWSE": the folder picker. The classic open-file dialog finds its controls by
// these ids of its own, so they cannot be chosen; only the prompt is ours. ---------------------
#define IDC_BROWSE_HELP                 1038
#define IDC_BROWSE_READ_ONLY            1040
#define IDC_BROWSE_FOLDER_PATH          1088
#define IDC_BROWSE_FILE_TYPE_LABEL      1089
#define IDC_BROWSE_FILES                1120
#define IDC_BROWSE_FOLDERS              1121
#define IDC_BROWSE_FILE_TYPES           1136
#define IDC_BROWSE_DRIVES               1137
#define IDC_BROWSE_FILE_NAME            1152
#define IDC_BROWSE_PROMPT               1511

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
