// Buffer sizes, in characters including the terminating zero. Every text buffer of the installer
// takes its size from here, and every copy into one is bounded by it.
#pragma once

enum {
    CCH_SHORT_PATH = 260,   // a path as the platform's MAX_PATH allows
    CCH_PATH = 261,         // a path with room for its terminator, as the installer keeps them
    CCH_LONG_PATH = 512,    // folders the user can type or that are joined with a file name
    CCH_LINE = 256,         // a free-text setting or a message text
    CCH_TEMP_FOLDER = 256,  // the temporary folder as GetTempPathA returns it
    CCH_LOG_LINE = 512,     // one formatted line of setup.log
    CCH_INSERTS = 1024,     // the output of FormatInserts
    CCH_LONG_TEXT = 2048,   // captions and long message texts
    CCH_DDE_COMMAND = 516,  // one Program Manager command sent over DDE
    CCH_REGISTRY_KEY = 512,    // a registry key path the installer composes
    CCH_REGISTRY_PATH = 1024,  // a registry key path joined from a caller's key and subkey
    // The uninstall command line holds the destination folder (CCH_LONG_PATH) three times, the
    // group (CCH_LINE) once, and the remover's name and the options, which a fourth path covers.
    CCH_UNINSTALL_COMMAND = 4 * CCH_LONG_PATH + CCH_LINE
};
