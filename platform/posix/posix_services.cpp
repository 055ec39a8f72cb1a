#include "platform/posix/posix_services.h"

namespace zv::platform::posix {

void InstallPosixServices(unsigned codePage) {
  static PosixFileSystem files;
  static PosixMd5 md5;
  static PosixTextCodec codec;
  static PosixMessageBoxes messageBoxes(codec);
  codec = PosixTextCodec(codePage);
  Services services;
  services.files = &files;
  services.messageBoxes = &messageBoxes;
  services.md5 = &md5;
  SetServices(services);
  SetTextCodec(&codec);
}

}  // namespace zv::platform::posix
