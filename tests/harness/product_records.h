// The product's records in one place (registry keys of the installer and its libraries, WIN.INI
// [VANTIX], the group's Start Menu folder, next-start commands Harrowby*, installed files), and a
// Program Manager of the test's own that keeps every command it receives.
#pragma once
#include "harness/wine_env.h"

namespace vxtest {

// Removes every record, and the folder with everything in it when one is named.
void ClearProductRecords(const std::string& folder = "");
// What is left, one line each ("HKLM\<key>", "HKLM\<key>: Harrowby0=<command>", "WIN.INI [VANTIX]
// DIR=...", "group <folder>", "folder <folder>", "file <path>"). The keys above the base class's
// InProcServer32 and above Components are not records of their own: the removal leaves them.
std::vector<std::string> ProductRecords(const std::string& folder = "");

// Serves "PROGMAN" from a thread while it lives and keeps each command's text, in order (with
// " (n bytes)" when the size is not the text and one zero); refuses "[Refuse...]", and accepts
// "[Delay(n)]" after n ms.
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
