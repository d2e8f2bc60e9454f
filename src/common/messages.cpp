// String-table texts and numbered inserts.
// Owns: nothing process-wide; reads g_hInstance.
#include "common/messages.h"
#include "common/globals.h"
#include "common/runtime.h"

int LoadMessage(UINT id, char* buffer, int bufferSize)
{
    if (bufferSize <= 0)
        return 0;
    if (LoadStringA(g_hInstance, id, buffer, bufferSize) > 0)
        return 1;
    rt::FormatText(buffer, (size_t)bufferSize, "%u DEBUG - Unable to load string", id);
    buffer[bufferSize - 1] = '\0';
    return 0;
}

int FormatInserts(char* buffer, const char* pattern, ...)
{
    va_list args;
    va_start(args, pattern);
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_STRING, pattern, 0, 0, buffer, CCH_INSERTS, &args);
    va_end(args);
    return (int)length;
}
