// Product version of VANTIX Pro, kept in the core library so that every program shows the same.
#include "vxcore32.h"

extern "C" __declspec(dllexport) LPCSTR VxCoreGetVersionString(void)
{
    return "2.10";
}
