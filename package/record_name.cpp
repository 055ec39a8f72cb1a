#include "package/record_name.h"

#include "platform/ascii_case.h"

namespace zv {
namespace {

bool HasSeparator(std::string_view name) {
  return name.find_first_of("\\/:") != std::string_view::npos;
}

// Windows refuses these in file names; on other systems a control byte in a
// name could also break a line of output or reach a terminal.
bool HasReservedCharacter(std::string_view name) {
  for (char c : name) {
    if (static_cast<unsigned char>(c) < 0x20) return true;
  }
  return name.find_first_of("<>\"|?*") != std::string_view::npos;
}

bool OnlyDotsAndBlanks(std::string_view name) {
  return name.find_first_not_of(". ") == std::string_view::npos;
}

// Windows opens a device for these stems in any directory, whatever follows
// the first dot, and ignores blanks before it.
bool IsDeviceName(std::string_view name) {
  std::string_view stem = name.substr(0, name.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  for (const char* device : {"CON", "PRN", "AUX", "NUL"}) {
    if (EqualsIgnoreAsciiCase(stem, device)) return true;
  }
  if (stem.size() != 4 || stem[3] < '1' || stem[3] > '9') return false;
  const std::string_view prefix = stem.substr(0, 3);
  return EqualsIgnoreAsciiCase(prefix, "COM") || EqualsIgnoreAsciiCase(prefix, "LPT");
}

}  // namespace

NameProblem CheckFileName(std::string_view name) {
  if (name.empty()) return NameProblem::kEmpty;
  if (name.find('\0') != std::string_view::npos) return NameProblem::kUnterminated;
  if (HasSeparator(name)) return NameProblem::kSeparator;
  if (HasReservedCharacter(name)) return NameProblem::kReservedCharacter;
  if (OnlyDotsAndBlanks(name)) return NameProblem::kDotsOnly;
  if (IsDeviceName(name)) return NameProblem::kDeviceName;
  return NameProblem::kNone;
}

NameProblem CheckRecordName(const PackageEntry& entry) {
  if (entry.name.size() == entry.nameField.size()) return NameProblem::kUnterminated;
  return CheckFileName(entry.name);
}

const char* DescribeNameProblem(NameProblem problem) {
  switch (problem) {
    case NameProblem::kNone:
      return "usable";
    case NameProblem::kUnterminated:
      return "name has no terminating NUL inside its field";
    case NameProblem::kTooLong:
      return "name does not fit its field with the terminating NUL";
    case NameProblem::kEmpty:
      return "empty name";
    case NameProblem::kSeparator:
      return "name holds '\\', '/' or ':'";
    case NameProblem::kDotsOnly:
      return "name consists of dots and blanks only";
    case NameProblem::kDeviceName:
      return "name is a device name";
    case NameProblem::kReservedCharacter:
      return "name holds a control byte or one of < > \" | ? *";
  }
  return "unknown name problem";
}

bool SameFileName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] - 'A' + 'a') : a[i];
    const char y = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] - 'A' + 'a') : b[i];
    if (x != y) return false;
  }
  return true;
}

}  // namespace zv
