#include "platform/services.h"

#include <cstdio>
#include <cstdlib>

namespace zv::platform {
namespace {

Services g_services;

template <typename T>
T& Require(T* service, const char* name) {
  if (service == nullptr) {
    std::fprintf(stderr, "platform service %s used before it was installed\n", name);
    std::abort();
  }
  return *service;
}

}  // namespace

void SetServices(const Services& services) { g_services = services; }
void ResetServices() { g_services = Services{}; }
const Services& CurrentServices() { return g_services; }

FileSystem& Files() { return Require(g_services.files, "files"); }
Registry& Reg() { return Require(g_services.registry, "registry"); }
SystemInfo& System() { return Require(g_services.system, "system"); }
MessageBoxes& Boxes() { return Require(g_services.messageBoxes, "message boxes"); }
Processes& Programs() { return Require(g_services.processes, "processes"); }
InputMethods& Ime() { return Require(g_services.inputMethods, "input methods"); }
Security& Acl() { return Require(g_services.security, "security"); }
Resources& Res() { return Require(g_services.resources, "resources"); }
Md5& Digests() { return Require(g_services.md5, "md5"); }
WindowManager& Windows() { return Require(g_services.windows, "windows"); }
MessageQueue& Messages() { return Require(g_services.messages, "messages"); }
DialogBoxes& Dialogs() { return Require(g_services.dialogs, "dialogs"); }
Graphics& Gdi() { return Require(g_services.graphics, "graphics"); }
FileMappings& Mappings() { return Require(g_services.mappings, "file mappings"); }

}  // namespace zv::platform
