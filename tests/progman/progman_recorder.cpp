// A stand-in Program Manager for the tests: serves the DDE service and topic "PROGMAN", accepts
// every command and appends its text as a line to a file, so a test sees exactly what arrived and
// in which order.
//
//   progman_recorder <log file> <name of the event that ends it>
//
// The log file is created (empty) once the service is registered: its existence says the recorder
// is ready. A command whose data is not its text plus one terminating zero is logged with the
// size that arrived, so a wrong length shows. A command that begins with "[Refuse" is logged and
// refused; "[Delay(n)]" is logged and accepted after n milliseconds, to show how long a client
// waits. The recorder ends when the event is set, or by itself after five minutes
// without a message, so a test that crashed leaves nothing running.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

namespace {

const char SERVICE_AND_TOPIC[] = "PROGMAN";
const DWORD IDLE_LIMIT_MS = 5 * 60 * 1000;

DWORD s_instance = 0;
HSZ s_service = NULL;
const char* s_logPath = NULL;

void Record(const char* text, DWORD size)
{
    FILE* log = fopen(s_logPath, "ab");
    if (log == NULL)
        return;
    if (size == strlen(text) + 1)
        fprintf(log, "%s\n", text);
    else
        fprintf(log, "%s (%lu bytes)\n", text, (unsigned long)size);
    fclose(log);
}

HDDEDATA Execute(HDDEDATA data)
{
    DWORD size = DdeGetData(data, NULL, 0, 0);
    std::vector<char> text(size + 1, '\0');
    DdeGetData(data, (LPBYTE)text.data(), size, 0);
    Record(text.data(), size);
    if (strncmp(text.data(), "[Refuse", 7) == 0)
        return (HDDEDATA)DDE_FNOTPROCESSED;
    if (strncmp(text.data(), "[Delay(", 7) == 0)
        Sleep(strtoul(text.data() + 7, NULL, 10));
    return (HDDEDATA)DDE_FACK;
}

HDDEDATA CALLBACK Serve(UINT type, UINT, HCONV, HSZ topic, HSZ, HDDEDATA data, ULONG_PTR, ULONG_PTR)
{
    switch (type) {
    case XTYP_CONNECT:
        return (HDDEDATA)(ULONG_PTR)(DdeCmpStringHandles(topic, s_service) == 0);
    case XTYP_EXECUTE:
        return Execute(data);
    default:
        return NULL;
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    s_logPath = argv[1];
    HANDLE endEvent = CreateEventA(NULL, TRUE, FALSE, argv[2]);
    if (endEvent == NULL)
        return 3;
    if (DdeInitializeA(&s_instance, Serve, APPCLASS_STANDARD, 0) != DMLERR_NO_ERROR)
        return 4;
    s_service = DdeCreateStringHandleA(s_instance, SERVICE_AND_TOPIC, CP_WINANSI);
    if (s_service == NULL || DdeNameService(s_instance, s_service, NULL, DNS_REGISTER) == NULL)
        return 5;
    FILE* log = fopen(s_logPath, "wb");
    if (log == NULL)
        return 6;
    fclose(log);

    for (;;) {
        DWORD woken = MsgWaitForMultipleObjects(1, &endEvent, FALSE, IDLE_LIMIT_MS, QS_ALLINPUT);
        if (woken != WAIT_OBJECT_0 + 1)
            break;
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    DdeNameService(s_instance, s_service, NULL, DNS_UNREGISTER);
    DdeFreeStringHandle(s_instance, s_service);
    DdeUninitialize(s_instance);
    CloseHandle(endEvent);
    return 0;
}
