// vxshim.dll: the VANTIX Pro shell stub, a small class registered with every install (whichever
// interfaces were chosen) so that the icon-placement utility and the Explorer interface find the
// product's folder through the Components key. It hands out no object of its own.
#include "selfreg.h"

const COMPONENT_INFO THIS_COMPONENT = {
    "vxshim.dll",
    "{5B2E7C41-83D9-4F06-9A1C-3D7E52B8E0F1}",
    "VANTIX Pro Shell Stub",
};
