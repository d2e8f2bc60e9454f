// The product's records on this machine, in one place: the registry keys and values an install
// writes (its own and its component libraries'), the WIN.INI section "VANTIX", the Start Menu
// folder a shell makes for the program group, the next-start commands Harrowby* and the installed
// files; and a Program Manager of the test's own that keeps every command it receives.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "harness/wine_env.h"

namespace vxtest {

// Removes every record, and the folder with everything in it when one is named.
void ClearProductRecords(const std::string& folder = "");
// What is left, one line per record ("HKLM\..." for a key, "HKLM\...: Harrowby0=..." for a
// value, "WIN.INI [VANTIX] DIR=...", "group <folder>", "file <path>"); empty when nothing is.
// The class key above the base class's InProcServer32 and the product key above Components are
// not records of their own: the removal leaves them.
std::vector<std::string> ProductRecords(const std::string& folder = "");

// Serves "PROGMAN" from a thread of this process while it lives, for the installer in this
// process and in others: accepts every command and keeps its text, in order. A command whose
// length is not its text and one zero is kept with the size that came; "[Refuse...]" is refused,
// and "[Delay(n)]" accepted after n milliseconds.
class RecordingProgman {
public:
    RecordingProgman();
    ~RecordingProgman();
    RecordingProgman(const RecordingProgman&) = delete;
    RecordingProgman& operator=(const RecordingProgman&) = delete;
    std::vector<std::string> Commands() const;
    void Clear();

private:
    static DWORD WINAPI Serve(void* self);
    HANDLE thread_ = NULL, ready_ = NULL;
    DWORD threadId_ = 0;
};

}  // namespace vxtest
