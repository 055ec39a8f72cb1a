#include "platform/fake/fake_file.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/fake/fake_files.h"
#include "platform/win_constants.h"

namespace zv::fake {
namespace {

constexpr uint32_t kErrorInvalidFunction = 1;  // reading or writing a directory handle

}  // namespace

FakeFile::FakeFile(FakeFileSystem* owner, std::shared_ptr<FileNode> node, OpenRecord record,
                   std::string path)
    : owner_(owner), node_(std::move(node)), record_(record), path_(std::move(path)) {}

FakeFile::~FakeFile() {
  node_->opens.remove_if([&](const OpenRecord& open) { return open.id == record_.id; });
  if (node_->deletePending && node_->opens.empty()) Detach(*node_);
  if (owner_ != nullptr) owner_->Forget(this);
}

bool FakeFile::Read(void* buffer, uint32_t size, uint32_t* got) {
  if (got != nullptr) *got = 0;
  if (owner_ == nullptr) return false;
  MachineState& state = owner_->state_;
  if (state.Injected("ReadFile", {path_})) return false;
  if (got == nullptr || (buffer == nullptr && size > 0)) {
    return state.Fail(win::kErrorInvalidParameter);
  }
  if (node_->directory) return state.Fail(kErrorInvalidFunction);
  if (!WantsRead(record_.access)) return state.Fail(win::kErrorAccessDenied);
  const std::vector<uint8_t>& data = node_->data;
  uint64_t available = position_ < data.size() ? data.size() - position_ : 0;
  uint32_t count = static_cast<uint32_t>(std::min<uint64_t>(size, available));
  if (count > 0) std::memcpy(buffer, data.data() + position_, count);
  position_ += count;
  *got = count;
  return true;
}

bool FakeFile::Write(const void* data, uint32_t size, uint32_t* written) {
  if (written != nullptr) *written = 0;
  if (owner_ == nullptr) return false;
  MachineState& state = owner_->state_;
  if (state.Injected("WriteFile", {path_})) return false;
  if (written == nullptr || (data == nullptr && size > 0)) {
    return state.Fail(win::kErrorInvalidParameter);
  }
  if (node_->directory) return state.Fail(kErrorInvalidFunction);
  if (!WantsWrite(record_.access)) return state.Fail(win::kErrorAccessDenied);
  std::vector<uint8_t>& bytes = node_->data;
  // A write behind the end fills the gap first, and the gap takes room too.
  const uint64_t gap = position_ > bytes.size() ? position_ - bytes.size() : 0;
  if (gap > 0 && owner_->TakeDiskSpace(gap) < gap) return state.Fail(win::kErrorDiskFull);
  uint32_t count = static_cast<uint32_t>(owner_->TakeDiskSpace(size));
  if (bytes.size() < position_ + count) bytes.resize(position_ + count);
  if (count > 0) std::memcpy(bytes.data() + position_, data, count);
  position_ += count;
  *written = count;
  if (count < size) return state.Fail(win::kErrorDiskFull);
  return true;
}

bool FakeFile::Truncate(uint64_t size) {
  if (owner_ == nullptr) return false;
  MachineState& state = owner_->state_;
  if (state.Injected("SetEndOfFile", {path_})) return false;
  if (node_->directory) return state.Fail(kErrorInvalidFunction);
  if (!WantsWrite(record_.access)) return state.Fail(win::kErrorAccessDenied);
  // Cutting a file frees its space; growing one would take some.
  if (size > node_->data.size()) {
    const uint64_t grown = size - node_->data.size();
    if (owner_->TakeDiskSpace(grown) < grown) return state.Fail(win::kErrorDiskFull);
  }
  node_->data.resize(static_cast<size_t>(size));
  position_ = size;
  return true;
}

bool FakeFile::Seek(uint64_t offset) {
  if (owner_ == nullptr) return false;
  if (owner_->state_.Injected("SetFilePointerEx", {path_})) return false;
  position_ = offset;
  return true;
}

uint64_t FakeFile::Size() { return node_->directory ? 0 : node_->data.size(); }

}  // namespace zv::fake
