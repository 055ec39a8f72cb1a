// The package's own message texts, in UTF-16. 8-bit forms are made from them
// with the system's ANSI code page when they are shown or written.
#pragma once

#include "state/captions.h"

namespace zv::texts {

// A record could not be unpacked, failed its digest or could not be written;
// "%s" stands for the record's file name.
inline constexpr char16_t kRecordExtractFailed[] = u"没有成功解压复制%s文件！请重新下载安装。";

// Closes a verification failure list when not every record passed.
inline constexpr char16_t kVerifyIncomplete[] = u"有文件没有成功解压，请重新下载安装！\r\n";

// Follows each failing name in a verification failure list (8-bit text).
inline constexpr char kFailedNameSuffix[] = "....";

}  // namespace zv::texts
