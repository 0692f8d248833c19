// The process's entry point, ahead of the C runtime's own: before anything
// else of the program runs and before any library is loaded by name, the
// search is kept to System32 and the libraries that system code loads by
// name later are loaded from there; then the installer's own file is held
// until the process ends. Only system calls run here; the runtime has not
// started yet.
#include "app/OwnProgramFile.h"
#include "app/SystemLibraryPreload.h"
#include "framework/SystemLibrary.h"

extern "C" int WinMainCRTStartup(void);

extern "C" int TNInstallerStartup(void)
{
    RestrictLibrarySearchToSystem();
    PreloadSystemLibraries();
    HoldOwnProgramFile();
    return WinMainCRTStartup();
}
