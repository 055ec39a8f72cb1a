// Reads an extended dialog template (DLGTEMPLATEEX) as the resource holds it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/peinfo/byte_view.h"

namespace zv::pe::testing {

struct DialogItem {
  uint32_t style = 0;
  uint32_t exStyle = 0;
  int16_t x = 0, y = 0, cx = 0, cy = 0;
  int32_t id = 0;
  uint16_t classAtom = 0;  // 0x80 button, 0x82 static; 0 when named
  std::u16string text;
};

struct DialogTemplate {
  uint32_t style = 0;
  uint32_t exStyle = 0;
  int16_t x = 0, y = 0, cx = 0, cy = 0;
  std::u16string caption;
  uint16_t pointSize = 0;
  uint16_t weight = 0;
  uint8_t charset = 0;
  std::u16string face;
  std::vector<DialogItem> items;
};

// False with `*error` set when the bytes are not a whole extended template.
bool ReadDialogTemplate(const ByteView& bytes, DialogTemplate* dialog, std::string* error);

}  // namespace zv::pe::testing
