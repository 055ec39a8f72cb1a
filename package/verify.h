// Checking the files in a directory against a container.
#pragma once

#include <string>
#include <string_view>

#include "package/container_format.h"

namespace zv {

// Checks `directory` followed directly by the record's name (so `directory`
// ends with a backslash) for every counted record of `container`:
//  - digest layout: the file's digest must equal the stored one, unless the
//    name occurs in `exemptList` (ContainsIgnoreCase; an empty list exempts
//    nothing);
//  - plain layout: the file must hold at least as many bytes as the record's
//    stream.
// A record with an unusable name always fails. `failList` is emptied, then
// receives each failing name followed by "...."; when fewer records passed
// than the header counts (failures, or a walk stopped by a bad marker or a
// record running past the end), "有文件没有成功解压，请重新下载安装！\r\n" in the ANSI
// code page is appended. Returns the number of records that passed.
int VerifyContainer(ContainerBytes container, std::string_view directory, std::string* failList,
                    std::string_view exemptList);

}  // namespace zv
