#include "tests/artifact/dialog_template.h"

namespace zv::pe::testing {
namespace {

constexpr uint32_t kDsSetFont = 0x40;

// A reader that walks the template and remembers the first failure.
class Cursor {
 public:
  explicit Cursor(const ByteView& bytes) : bytes_(bytes) {}

  bool ok() const { return ok_; }
  uint16_t U16() {
    uint16_t value = 0;
    ok_ = ok_ && bytes_.ReadU16(at_, &value);
    at_ += 2;
    return value;
  }
  uint32_t U32() {
    uint32_t value = 0;
    ok_ = ok_ && bytes_.ReadU32(at_, &value);
    at_ += 4;
    return value;
  }
  uint8_t U8() {
    uint8_t value = 0;
    ok_ = ok_ && bytes_.ReadU8(at_, &value);
    at_ += 1;
    return value;
  }
  int16_t I16() { return static_cast<int16_t>(U16()); }
  // A NUL-terminated UTF-16 text.
  std::u16string Text() {
    std::u16string text;
    for (char16_t c = U16(); ok_ && c != 0; c = U16()) text.push_back(c);
    return text;
  }
  // A "string or ordinal" field: empty, 0xFFFF and a number, or a text.
  void NameOrOrdinal(uint16_t* ordinal, std::u16string* text) {
    const uint16_t first = U16();
    if (first == 0) return;
    if (first == 0xFFFF) {
      *ordinal = U16();
      return;
    }
    at_ -= 2;
    *text = Text();
  }
  void AlignTo4() { at_ = (at_ + 3) & ~uint64_t{3}; }
  void Skip(uint64_t count) {
    ok_ = ok_ && bytes_.Contains(at_, count);
    at_ += count;
  }

 private:
  ByteView bytes_;
  uint64_t at_ = 0;
  bool ok_ = true;
};

}  // namespace

bool ReadDialogTemplate(const ByteView& bytes, DialogTemplate* dialog, std::string* error) {
  Cursor in(bytes);
  if (in.U16() != 1 || in.U16() != 0xFFFF) {
    *error = "not an extended dialog template";
    return false;
  }
  in.U32();  // help id
  dialog->exStyle = in.U32();
  dialog->style = in.U32();
  const uint16_t count = in.U16();
  dialog->x = in.I16();
  dialog->y = in.I16();
  dialog->cx = in.I16();
  dialog->cy = in.I16();
  uint16_t ordinal = 0;
  std::u16string name;
  in.NameOrOrdinal(&ordinal, &name);  // menu
  in.NameOrOrdinal(&ordinal, &name);  // class
  dialog->caption = in.Text();
  if ((dialog->style & kDsSetFont) != 0) {
    dialog->pointSize = in.U16();
    dialog->weight = in.U16();
    in.U8();  // italic
    dialog->charset = in.U8();
    dialog->face = in.Text();
  }
  for (uint16_t i = 0; i < count && in.ok(); ++i) {
    in.AlignTo4();
    DialogItem item;
    in.U32();  // help id
    item.exStyle = in.U32();
    item.style = in.U32();
    item.x = in.I16();
    item.y = in.I16();
    item.cx = in.I16();
    item.cy = in.I16();
    item.id = static_cast<int32_t>(in.U32());
    std::u16string className;
    in.NameOrOrdinal(&item.classAtom, &className);
    uint16_t textOrdinal = 0;
    in.NameOrOrdinal(&textOrdinal, &item.text);
    in.Skip(in.U16());  // creation data
    dialog->items.push_back(item);
  }
  if (!in.ok()) *error = "the template runs past its resource";
  return in.ok();
}

}  // namespace zv::pe::testing
