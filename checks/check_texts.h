// The texts of the check for programs that still use the IME, in UTF-16.
#pragma once

namespace zv::texts::checks {

// "%d" is the number of IME windows found.
inline constexpr char16_t kProgramsHead[] =
    u"智能岚汀安装软件检测到有下列 %d 个软件在使用智能岚汀输入法:\r\n\r\n";
// Each program's line begins so, "%d" being the count after its window.
inline constexpr char16_t kProgramLineHead[] = u"　　%d：";
inline constexpr char16_t kCloseThem[] = u"请关闭上述软件后再继续安装！";
inline constexpr char16_t kOrRestart[] = u"如无法关闭，则请重新启动机器后立即安装！";

}  // namespace zv::texts::checks
