// Synchronize comparison rules (see vxsyncl.h).
#include "vxsyncl.h"

namespace {

const DWORD TOLERANCE_SECONDS = 2;
const LONGLONG TICKS_PER_SECOND = 10000000;   // FILETIME counts 100-nanosecond steps

LONGLONG ToTicks(const FILETIME &ft)
{
    ULONGLONG ticks = (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    return static_cast<LONGLONG>(ticks);
}

} // namespace

extern "C" __declspec(dllexport) DWORD VxSyncGetToleranceSeconds(void)
{
    return TOLERANCE_SECONDS;
}

extern "C" __declspec(dllexport) int VxSyncCompareTimes(const FILETIME *pftLocal,
                                                        const FILETIME *pftRemote)
{
    LONGLONG delta = ToTicks(*pftLocal) - ToTicks(*pftRemote);
    const LONGLONG tolerance = TOLERANCE_SECONDS * TICKS_PER_SECOND;
    if (delta > tolerance)
        return 1;
    if (delta < -tolerance)
        return -1;
    return 0;
}
