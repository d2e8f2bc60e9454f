// vxshell.dll: the VANTIX Pro Explorer interface, the class Explorer loads for the "VANTIX Pro
// Explorer" icon. This build carries its registration only; it hands out no folder object yet, so
// DllGetClassObject answers CLASS_E_CLASSNOTAVAILABLE and Explorer shows the icon without contents.
#include "selfreg.h"

const COMPONENT_INFO THIS_COMPONENT = {
    "vxshell.dll",
    "{5B2E7C41-83D9-4F06-9A1c-3d7e52b8e001}",
    "VANTIX Pro Explorer",
};
