// The command line Setup records as the uninstall command of VANTIX Pro:
//
//   "C:\Program Files\VANTIX Pro\vxremove.exe" -f C:\Program Files\VANTIX Pro -d C:\Program Files\VANTIX Pro -g VANTIX Pro
//
// Only the program path is quoted. The option values are not, and may contain blanks: the values
// of -f and -d run up to the next option (a blank, a dash, f, d or g, then a blank or the end of
// the line), and the value of -g, the program group, runs to the end of the line.
#pragma once
#include "text.h"

// Which options were found (bits of the ParseRemoveCommandLine result).
const unsigned RM_FILES = 0x1;    // -f: the folder holding the installed files
const unsigned RM_FOLDER = 0x2;   // -d: the folder to remove once it is empty
const unsigned RM_GROUP = 0x4;    // -g: the program group

struct REMOVE_OPTIONS {
    char szFiles[CCH_VALUE];    // value of -f
    char szFolder[CCH_VALUE];   // value of -d
    char szGroup[CCH_VALUE];    // value of -g
};

// Parses the whole command line (as GetCommandLineA gives it, program path first). Returns the
// RM_ bits of the options found with a value; the others leave their member empty. Blanks around
// each value are dropped; a value too long for its member is cut. When an option is given twice,
// the last one counts.
unsigned ParseRemoveCommandLine(const char *pszCommandLine, REMOVE_OPTIONS &options);
