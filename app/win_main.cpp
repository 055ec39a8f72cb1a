// The GUI entry point of the Windows program. The C runtime calls WinMain with
// the module's instance handle, a null handle, the command line behind the
// program name and the show command. The handles are only passed on, so they
// are taken as plain pointers and no Windows header is needed here.
#include "app/installer_main.h"
#include "platform/win32/win32_services.h"

extern "C" int __stdcall WinMain(void* instance, void* previousInstance, char* commandLine,
                                 int showCommand) {
  zv::platform::win32::InstallWin32Services();
  return zv::InstallerMain(instance, previousInstance, commandLine, showCommand);
}
