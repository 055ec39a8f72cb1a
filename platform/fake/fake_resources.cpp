#include "platform/fake/fake_resources.h"

#include <utility>

#include "platform/fake/block_pool.h"
#include "platform/win_constants.h"

namespace zv::fake {
namespace {

constexpr size_t kLargestBlock = size_t{256} << 20;

std::string Key(const std::string& name, const std::string& type) {
  std::string key = name + '\0' + type;
  for (char& c : key) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  }
  return key;
}

// Gives a block back to the pool it came from.
struct GiveBack {
  size_t size;
  void operator()(uint8_t* bytes) const { BlockPool::Shared().Give(bytes, size); }
};
using ZeroedBytes = std::unique_ptr<uint8_t, GiveBack>;

class FakeBlock : public platform::GlobalBlock {
 public:
  FakeBlock(ZeroedBytes bytes, size_t size, std::shared_ptr<size_t> live)
      : bytes_(std::move(bytes)), size_(size), live_(std::move(live)) {
    ++*live_;
  }
  ~FakeBlock() override { --*live_; }
  FakeBlock(const FakeBlock&) = delete;
  FakeBlock& operator=(const FakeBlock&) = delete;

  uint8_t* data() override { return bytes_.get(); }
  size_t size() const override { return size_; }

 private:
  ZeroedBytes bytes_;
  size_t size_;
  std::shared_ptr<size_t> live_;
};

}  // namespace

platform::ResourceBytes FakeResources::LoadResourceBytes(const std::string& name,
                                                         const std::string& type) {
  if (state_.Injected("FindResourceA", {name, type})) return {};
  auto found = resources_.find(Key(name, type));
  if (found == resources_.end()) return {};
  return platform::ResourceBytes{found->second->data(), found->second->size()};
}

std::unique_ptr<platform::GlobalBlock> FakeResources::AllocateZeroedBlock(size_t size) {
  if (state_.Injected("GlobalAlloc", {})) return nullptr;
  if (size == 0 || size > kLargestBlock) {
    state_.Fail(win::kErrorNotEnoughMemory);
    return nullptr;
  }
  ZeroedBytes bytes(BlockPool::Shared().Take(size), GiveBack{size});
  if (bytes == nullptr) {
    state_.Fail(win::kErrorNotEnoughMemory);
    return nullptr;
  }
  return std::make_unique<FakeBlock>(std::move(bytes), size, liveBlocks_);
}

void FakeResources::AddResource(const std::string& name, const std::string& type,
                                const std::vector<uint8_t>& bytes) {
  storage_.push_back(bytes);
  resources_[Key(name, type)] = &storage_.back();
}

void FakeResources::AddResource(const std::string& name, const std::string& type,
                                const std::string& bytes) {
  AddResource(name, type, std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

}  // namespace zv::fake
