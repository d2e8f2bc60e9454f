// Reads what a built program or library asks of the system from its file: the machine, the
// subsystem and its version, and the functions it imports, from a PE32 (i686) or PE32+ (x86_64)
// file. The win32 builds cannot run here, so their headers are all a test can check.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace vxtest {

struct PeImport {
    std::string dll;       // upper case
    std::string function;  // "#ordinal" for an import by ordinal
};

struct PeFacts {
    bool valid = false;  // the headers and the whole import directory lie inside the file; all
                         // the other fields are zero or empty unless valid
    WORD machine = 0;    // IMAGE_FILE_MACHINE_...
    WORD magic = 0;      // IMAGE_NT_OPTIONAL_HDR32_MAGIC (PE32) or ..._HDR64_MAGIC (PE32+)
    WORD subsystem = 0;
    WORD subsystemMajor = 0;
    WORD subsystemMinor = 0;
    std::vector<PeImport> imports;  // in the order of the import directory
};

// Every offset and name is checked against bytes.size(): a truncated or foreign file gives
// valid == false and is never read past its end.
PeFacts ReadPeFile(const std::string& bytes);

}  // namespace vxtest
