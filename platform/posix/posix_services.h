// A small implementation of the platform services over the host's real file
// system, for the maintainers' tools and the benchmarks: files, MD5
// (OpenSSL), the ANSI code page conversions (iconv) and message boxes
// printed to stderr. Paths take '\' and '/' alike as separators; there are no
// drive letters, sharing modes or hidden files.
#pragma once

#include <cstdint>
#include <string>

#include "platform/directory_listing.h"
#include "platform/services.h"
#include "platform/text_codec.h"

namespace zv::platform::posix {

class PosixFileSystem : public FileSystem {
 public:
  std::unique_ptr<File> CreateFileA(const std::string& path, uint32_t access, uint32_t share,
                                    uint32_t disposition, uint32_t flags) override;
  bool DeleteFileA(const std::string& path) override;
  bool MoveFileA(const std::string& from, const std::string& to) override;
  bool CopyFileA(const std::string& from, const std::string& to, bool failIfExists) override;
  uint32_t GetFileAttributesA(const std::string& path) override;
  bool SetFileAttributesA(const std::string& path, uint32_t attributes) override;
  bool CreateDirectoryA(const std::string& path) override;
  // opendir and fnmatch (ASCII case ignored); "*.*" stands for every name.
  bool FindFilesA(const std::string& pattern, std::vector<std::string>* names) override;
  // chdir.
  bool SetCurrentDirectoryA(const std::string& path) override;
  uint32_t GetDriveTypeA(const std::string& root) override;
  bool DisableFsRedirection(void** oldValue) override;
  bool RevertFsRedirection(void* oldValue) override;
  uint32_t LastError() override;
};

// Prints every box as "caption: text" (UTF-8) on stderr. OK boxes answer
// kIdOk, questions kIdNo: a tool never says yes on nobody's behalf.
class PosixMessageBoxes : public MessageBoxes {
 public:
  explicit PosixMessageBoxes(TextCodec& codec) : codec_(codec) {}
  int MessageBoxA(const std::string& text, const std::string& caption, uint32_t type) override;
  int MessageBoxW(const std::u16string& text, const std::u16string& caption,
                  uint32_t type) override;

 private:
  TextCodec& codec_;
};

class PosixMd5 : public Md5 {
 public:
  std::unique_ptr<Md5Context> Begin() override;
};

// The ANSI code page given at construction (936 by default), through iconv.
class PosixTextCodec : public TextCodec {
 public:
  explicit PosixTextCodec(unsigned codePage = 936);
  std::u16string MultiByteToWideChar(std::string_view text) override;
  std::string WideCharToMultiByte(std::u16string_view text) override;

 private:
  std::string charset_;
};

class PosixDirectoryListing : public DirectoryListing {
 public:
  bool ListFiles(const std::string& directory, std::vector<std::string>* names) override;
};

// The host path of an 8-bit Windows-style path: every '\' becomes '/'.
std::string HostPath(const std::string& path);

// Installs the file system, message boxes and MD5 into the service table (the
// other services stay empty) and the codec for `codePage`. The services live
// until the process ends; a second call replaces the codec's code page.
void InstallPosixServices(unsigned codePage = 936);

}  // namespace zv::platform::posix
