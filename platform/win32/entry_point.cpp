// The GUI entry point of the Windows program.
#include <windows.h>

#include "app/installer_main.h"
#include "platform/win32/win32_services.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine,
                   int showCommand) {
  zv::platform::win32::InstallWin32Services();
  return zv::InstallerMain(instance, previousInstance, commandLine, showCommand);
}
