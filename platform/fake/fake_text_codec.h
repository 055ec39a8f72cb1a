// The ANSI code page conversions of the fake machine: GBK, Big5 or whatever
// code page the machine's system information reports (GetACP) at the moment
// of each call, converted with iconv.
#pragma once

#include "platform/text_codec.h"

namespace zv::fake {

class FakeTextCodec : public platform::TextCodec {
 public:
  std::u16string MultiByteToWideChar(std::string_view text) override;
  std::string WideCharToMultiByte(std::u16string_view text) override;
};

// Installs a FakeTextCodec for its lifetime and removes it afterwards.
class ScopedFakeTextCodec {
 public:
  ScopedFakeTextCodec() { platform::SetTextCodec(&codec_); }
  ~ScopedFakeTextCodec() { platform::SetTextCodec(nullptr); }
  ScopedFakeTextCodec(const ScopedFakeTextCodec&) = delete;
  ScopedFakeTextCodec& operator=(const ScopedFakeTextCodec&) = delete;

 private:
  FakeTextCodec codec_;
};

}  // namespace zv::fake
