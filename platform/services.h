// The process-wide table of platform services. The Windows builds fill it with
// the Win32 implementation at start-up; tests install the fake machine. The
// logic reaches Windows only through these accessors.
#pragma once

#include "platform/dialog_boxes.h"
#include "platform/file_mappings.h"
#include "platform/file_system.h"
#include "platform/graphics.h"
#include "platform/input_methods.h"
#include "platform/md5.h"
#include "platform/message_boxes.h"
#include "platform/message_queue.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/resources.h"
#include "platform/security.h"
#include "platform/system_info.h"
#include "platform/window_manager.h"

namespace zv::platform {

struct Services {
  FileSystem* files = nullptr;
  Registry* registry = nullptr;
  SystemInfo* system = nullptr;
  MessageBoxes* messageBoxes = nullptr;
  Processes* processes = nullptr;
  InputMethods* inputMethods = nullptr;
  Security* security = nullptr;
  Resources* resources = nullptr;
  Md5* md5 = nullptr;
  WindowManager* windows = nullptr;
  MessageQueue* messages = nullptr;
  DialogBoxes* dialogs = nullptr;
  Graphics* graphics = nullptr;
  FileMappings* mappings = nullptr;
};

// Replaces the whole table. Every pointer must stay valid until the next call.
void SetServices(const Services& services);
// Empties the table (each accessor then aborts the process with a message).
void ResetServices();
const Services& CurrentServices();

FileSystem& Files();
Registry& Reg();
SystemInfo& System();
MessageBoxes& Boxes();
Processes& Programs();
InputMethods& Ime();
Security& Acl();
Resources& Res();
Md5& Digests();
WindowManager& Windows();
MessageQueue& Messages();
DialogBoxes& Dialogs();
Graphics& Gdi();
FileMappings& Mappings();

}  // namespace zv::platform
