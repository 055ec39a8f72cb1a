#include <windows.h>

#include "platform/win32/win32_services.h"

namespace zv::platform::win32 {
namespace {

class Win32GlobalBlock : public GlobalBlock {
 public:
  Win32GlobalBlock(HGLOBAL handle, uint8_t* data, size_t size)
      : handle_(handle), data_(data), size_(size) {}
  ~Win32GlobalBlock() override {
    GlobalUnlock(handle_);
    GlobalFree(handle_);
  }
  Win32GlobalBlock(const Win32GlobalBlock&) = delete;
  Win32GlobalBlock& operator=(const Win32GlobalBlock&) = delete;

  uint8_t* data() override { return data_; }
  size_t size() const override { return size_; }

 private:
  HGLOBAL handle_;
  uint8_t* data_;
  size_t size_;
};

}  // namespace

ResourceBytes Win32Resources::LoadResourceBytes(const std::string& name, const std::string& type) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC info = FindResourceA(module, name.c_str(), type.c_str());
  if (info == nullptr) return {};
  HGLOBAL loaded = LoadResource(module, info);
  if (loaded == nullptr) return {};
  const void* data = LockResource(loaded);
  if (data == nullptr) return {};
  return ResourceBytes{static_cast<const uint8_t*>(data), SizeofResource(module, info)};
}

std::unique_ptr<GlobalBlock> Win32Resources::AllocateZeroedBlock(size_t size) {
  HGLOBAL handle = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
  if (handle == nullptr) return nullptr;
  void* data = GlobalLock(handle);
  if (data == nullptr) {
    GlobalFree(handle);
    return nullptr;
  }
  return std::make_unique<Win32GlobalBlock>(handle, static_cast<uint8_t*>(data), size);
}

}  // namespace zv::platform::win32
