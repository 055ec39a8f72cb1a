// The texts of IME placement and the install sequence, in UTF-16. 8-bit
// messages are made from them with the ANSI code page when shown.
#pragma once

#include "package/package_texts.h"

namespace zv::texts {

// "%s" is the target path that could not be written.
inline constexpr char16_t kCopyFailed[] =
    u"没有成功复制%s文件，请退出安装程序并手动删除该文件后重新安装！";

// The home page follows the first part directly, then the second part.
inline constexpr char16_t kExtractIncompleteStart[] = u"文件解压不完整，请到智能岚汀网站";
inline constexpr char16_t kExtractIncompleteEnd[] = u"重新下载安装。";

inline constexpr char16_t kKeepDataInInstallDir[] =
    u"检测到安装目录下有智能岚汀以前的词组等数据文件，是否保留？";
inline constexpr char16_t kKeepDataElsewhere[] =
    u"检测到有智能岚汀以前的词组等数据文件，是否保留？";

// Begins with two ideographic spaces.
inline constexpr char16_t kImeLocked[] =
    u"　　你以前安装的岚汀形码正在使用，请关闭使用岚汀形码的所有窗口，"
    u"或者重新启动机器后，才能安装新版本的岚汀形码！";

}  // namespace zv::texts
