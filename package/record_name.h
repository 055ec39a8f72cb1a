// The test that a record's name can safely become a file name in the install
// directory. Names come from outside bytes: a name that could reach another
// directory, a device or the directory itself is never turned into a path.
#pragma once

#include <string_view>

#include "package/container_reader.h"

namespace zv {

enum class NameProblem {
  kNone,
  kUnterminated,  // no NUL inside the name field
  kTooLong,       // longer than the layout's field holds with its NUL (writer only)
  kEmpty,
  kSeparator,          // holds '\', '/' or ':' (any byte of that value, trail bytes included)
  kDotsOnly,           // only dots and blanks: ".", "..", "..." name the directory or its parent
  kDeviceName,         // CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9, with or without extension
  kReservedCharacter,  // a control byte below 0x20 or one of < > " | ? *
};

// The problem of a bare file name, or kNone when it is usable.
NameProblem CheckFileName(std::string_view name);

// The problem of a record's name, the terminating NUL included.
NameProblem CheckRecordName(const PackageEntry& entry);

// True when the two names are the same file on Windows as far as ASCII goes:
// equal once the letters A-Z are folded to lower case.
bool SameFileName(std::string_view a, std::string_view b);

// A short English description of the problem, for tools.
const char* DescribeNameProblem(NameProblem problem);

}  // namespace zv
