// The process-wide table of platform services. The Windows builds fill it with
// the Win32 implementation at start-up; tests install the fake machine. The
// logic reaches Windows only through these accessors.
#pragma once

#include "platform/file_system.h"
#include "platform/input_methods.h"
#include "platform/md5.h"
#include "platform/message_boxes.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/resources.h"
#include "platform/security.h"
#include "platform/system_info.h"

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

}  // namespace zv::platform
