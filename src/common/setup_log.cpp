// The setup log. The file is opened, appended to and closed for every line, so nothing stays open
// and a crash loses at most the line being written.
// Owns: nothing process-wide; reads g_bLogging.
#include "common/setup_log.h"
#include "common/globals.h"
#include "common/runtime.h"

void WriteLogLine(const char* text)
{
    if (!g_bLogging)
        return;
    rt::TextFile log;
    if (!rt::OpenTextFile(&log, "setup.log", "a"))
        return;
    rt::WriteText(&log, text);
    rt::WriteText(&log, "\n");
    rt::CloseTextFile(&log);
}
