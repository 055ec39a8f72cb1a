// The installer's own texts for start-up and the run modes, in UTF-16.
#pragma once

#include "state/captions.h"

namespace zv::texts {

inline constexpr char16_t kAdministratorRequired[] =
    u"本安装程序需要以管理员权限运行，请退出后重新以管理员权限运行。"
    u"（运行方式为：用鼠标右键点击安装程序，在弹出菜单中点击“以管理员身份运行”）";

inline constexpr char16_t kCompanionSucceeded[] =
    u"智能岚汀已安装成功，如不能使用，请重新启动计算机！";

}  // namespace zv::texts
