// The message shown when one record of a container could not be unpacked.
#pragma once

#include <string_view>

namespace zv {

// Shows "没有成功解压复制<name>文件！请重新下载安装。" with the caption
// "智能岚汀安装", OK button, no owner. `name` is 8-bit text in the ANSI code
// page; it is converted to UTF-16 and the box shown as a wide one.
void ShowRecordFailure(std::string_view name);

}  // namespace zv
