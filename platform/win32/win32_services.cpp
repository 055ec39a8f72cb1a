#include "platform/win32/win32_services.h"

#include "platform/win32/win32_text_codec.h"

namespace zv::platform::win32 {

void InstallWin32Services() {
  static Win32FileSystem files;
  static Win32Registry registry;
  static Win32SystemInfo system;
  static Win32MessageBoxes messageBoxes;
  static Win32Processes processes;
  static Win32InputMethods inputMethods;
  static Win32Security security;
  static Win32Resources resources;
  static Win32Md5 md5;
  static Win32WindowManager windows;
  static Win32MessageQueue messages;
  static Win32DialogBoxes dialogs;
  static Win32Graphics graphics;
  static Win32FileMappings mappings;
  static Win32TextCodec codec;
  SetTextCodec(&codec);
  Services services{&files,        &registry, &system,    &messageBoxes, &processes,
                    &inputMethods, &security, &resources, &md5};
  services.windows = &windows;
  services.messages = &messages;
  services.dialogs = &dialogs;
  services.graphics = &graphics;
  services.mappings = &mappings;
  SetServices(services);
}

}  // namespace zv::platform::win32
