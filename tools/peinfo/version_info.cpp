#include "tools/peinfo/version_info.h"

#include "tools/peinfo/text.h"

namespace zv::pe {
namespace {

constexpr uint32_t kFixedSignature = 0xFEEF04BD;
constexpr size_t kFixedInfoSize = 52;
constexpr size_t kBlockHeaderSize = 6;
constexpr uint16_t kTextValue = 1;
constexpr size_t kMaxKeyUnits = 256;
// VS_VERSIONINFO, StringFileInfo, a string table, a string.
constexpr int kMaxDepth = 4;

struct Block {
  std::u16string key;
  uint16_t type = 0;
  ByteView value;
  std::vector<Block> children;
};

bool Fail(std::string* error, const std::string& reason) {
  *error = reason;
  return false;
}

uint64_t AlignUp4(uint64_t offset) { return (offset + 3) & ~uint64_t{3}; }

bool ParseBlock(const ByteView& bytes, uint64_t offset, int depth, Block* block,
                uint64_t* block_end, std::string* error);

// Parses the children of a block, which lie in [offset, end).
bool ParseChildren(const ByteView& bytes, uint64_t offset, uint64_t end, int depth, Block* block,
                   std::string* error) {
  for (offset = AlignUp4(offset); offset + kBlockHeaderSize <= end;) {
    Block child;
    uint64_t child_end = 0;
    if (!ParseBlock(bytes, offset, depth + 1, &child, &child_end, error)) return false;
    if (child_end > end) return Fail(error, "a version block runs past its parent");
    block->children.push_back(std::move(child));
    offset = AlignUp4(child_end);
  }
  return true;
}

// Parses the block at `offset`; offsets are from the start of the resource,
// to which the blocks' 32-bit alignment refers.
bool ParseBlock(const ByteView& bytes, uint64_t offset, int depth, Block* block,
                uint64_t* block_end, std::string* error) {
  if (depth > kMaxDepth) return Fail(error, "the version blocks are nested too deeply");
  uint16_t length = 0;
  uint16_t value_length = 0;
  if (!bytes.ReadU16(offset, &length) || !bytes.ReadU16(offset + 2, &value_length) ||
      !bytes.ReadU16(offset + 4, &block->type)) {
    return Fail(error, "a version block header is truncated");
  }
  const uint64_t end = offset + length;
  if (length < kBlockHeaderSize || !bytes.Contains(offset, length)) {
    return Fail(error, "a version block's length does not fit the resource");
  }
  ByteView within;
  bytes.Sub(0, end, &within);
  size_t key_units = 0;
  if (!ReadUtf16z(within, offset + kBlockHeaderSize, kMaxKeyUnits, &block->key, &key_units)) {
    return Fail(error, "a version block's key has no end");
  }
  const uint64_t value_offset = AlignUp4(offset + kBlockHeaderSize + 2 * key_units);
  // Text values count UTF-16 units, binary ones bytes; a value too long for
  // its block is cut at the block's end.
  uint64_t value_bytes = block->type == kTextValue ? 2ull * value_length : value_length;
  if (value_offset > end) return Fail(error, "a version block's value lies past its end");
  if (value_bytes > end - value_offset) value_bytes = end - value_offset;
  within.Sub(value_offset, value_bytes, &block->value);
  *block_end = end;
  return ParseChildren(bytes, value_offset + value_bytes, end, depth, block, error);
}

std::u16string TextValue(const ByteView& value) {
  std::u16string text;
  size_t ignored = 0;
  if (ReadUtf16z(value, 0, value.size() / 2, &text, &ignored)) return text;
  ReadUtf16(value, 0, value.size() / 2, &text);  // no terminator: take it all
  return text;
}

bool ReadFixedInfo(const ByteView& value, FixedFileInfo* fixed, std::string* error) {
  uint32_t words[13] = {};
  for (size_t i = 0; i < 13; ++i) {
    if (!value.ReadU32(4 * i, &words[i])) return Fail(error, "the fixed file information is short");
  }
  if (words[0] != kFixedSignature) return Fail(error, "the fixed file information is unsigned");
  const uint32_t file[2] = {words[2], words[3]};
  const uint32_t product[2] = {words[4], words[5]};
  for (size_t i = 0; i < 4; ++i) {
    const int shift = (i % 2 == 0) ? 16 : 0;
    fixed->file_version[i] = static_cast<uint16_t>(file[i / 2] >> shift);
    fixed->product_version[i] = static_cast<uint16_t>(product[i / 2] >> shift);
  }
  fixed->flags_mask = words[6];
  fixed->flags = words[7];
  fixed->os = words[8];
  fixed->type = words[9];
  fixed->subtype = words[10];
  return true;
}

void CollectChildren(const Block& root, VersionInfo* info) {
  for (const Block& child : root.children) {
    if (child.key == u"StringFileInfo") {
      for (const Block& table : child.children) {
        VersionStringTable strings;
        strings.key = table.key;
        for (const Block& entry : table.children) {
          strings.strings.emplace_back(entry.key, TextValue(entry.value));
        }
        info->string_tables.push_back(std::move(strings));
      }
    } else if (child.key == u"VarFileInfo") {
      for (const Block& var : child.children) {
        if (var.key != u"Translation") continue;
        for (uint64_t at = 0; at + 4 <= var.value.size(); at += 4) {
          uint16_t language = 0;
          uint16_t code_page = 0;
          var.value.ReadU16(at, &language);
          var.value.ReadU16(at + 2, &code_page);
          info->translations.emplace_back(language, code_page);
        }
      }
    }
  }
}

}  // namespace

bool VersionInfo::FindString(const std::u16string& table_key, const std::u16string& name,
                             std::u16string* value) const {
  for (const VersionStringTable& table : string_tables) {
    if (!EqualsIgnoreAsciiCase(table.key, table_key)) continue;
    for (const auto& [key, text] : table.strings) {
      if (key == name) {
        *value = text;
        return true;
      }
    }
  }
  return false;
}

bool ParseVersionInfo(const ByteView& bytes, VersionInfo* info, std::string* error) {
  Block root;
  uint64_t end = 0;
  if (!ParseBlock(bytes, 0, 1, &root, &end, error)) return false;
  if (root.key != u"VS_VERSION_INFO") return Fail(error, "the version root is misnamed");
  if (root.value.size() < kFixedInfoSize) {
    return Fail(error, "the version resource has no fixed file information");
  }
  if (!ReadFixedInfo(root.value, &info->fixed, error)) return false;
  CollectChildren(root, info);
  return true;
}

std::string FormatVersion(const uint16_t parts[4]) {
  return std::to_string(parts[0]) + "." + std::to_string(parts[1]) + "." +
         std::to_string(parts[2]) + "." + std::to_string(parts[3]);
}

}  // namespace zv::pe
