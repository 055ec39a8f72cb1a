// An open file of the fake file system.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/fake/file_node.h"
#include "platform/file_system.h"

namespace zv::fake {

class FakeFileSystem;

class FakeFile : public platform::File {
 public:
  FakeFile(FakeFileSystem* owner, std::shared_ptr<FileNode> node, OpenRecord record,
           std::string path);
  // Closes the handle: its sharing claims end, and a file deleted while open
  // loses its name with the last handle.
  ~FakeFile() override;
  FakeFile(const FakeFile&) = delete;
  FakeFile& operator=(const FakeFile&) = delete;

  bool Read(void* buffer, uint32_t size, uint32_t* got) override;
  bool Write(const void* data, uint32_t size, uint32_t* written) override;
  uint64_t Size() override;
  bool Truncate(uint64_t size) override;
  // Faults: "SetFilePointerEx".
  bool Seek(uint64_t offset) override;

  // The file system is going away: every later call fails.
  void Orphan() { owner_ = nullptr; }

 private:
  FakeFileSystem* owner_;
  std::shared_ptr<FileNode> node_;
  OpenRecord record_;
  std::string path_;
  uint64_t position_ = 0;
};

}  // namespace zv::fake
