// vxremove.exe: "Uninstall VANTIX Pro". Windows starts it from Add/Remove Programs with the
// command line the install recorded (see removeargs.h); its program item starts it without one.
// Either way it removes VANTIX Pro with the installer's own removal (see remover.h). It lies in
// the folder it removes and runs meanwhile, so it is itself one of the files in use that go at
// the next start.
#include <windows.h>

#include "removeargs.h"
#include "remover.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    REMOVE_OPTIONS options;
    unsigned found = ParseRemoveCommandLine(GetCommandLineA(), options);
    if (found == 0)
        return RemoveRecordedInstall(instance);
    // An incomplete command line names nothing to remove.
    if (found != (RM_FILES | RM_FOLDER | RM_GROUP))
        return RemoveInstallIn(instance, NULL, NULL, NULL);
    return RemoveInstallIn(instance, options.szFiles, options.szFolder, options.szGroup);
}
