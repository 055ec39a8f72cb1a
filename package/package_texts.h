// The package's own message texts, in UTF-16. 8-bit forms are made from them
// with the system's ANSI code page when they are shown or written.
#pragma once

#include <string_view>

#include "state/captions.h"

namespace zv::texts {

// A record could not be unpacked, failed its digest or could not be written;
// "%s" stands for the record's file name.
inline constexpr char16_t kRecordExtractFailed[] = u"没有成功解压复制%s文件！请重新下载安装。";

// Closes a verification failure list when not every record passed.
inline constexpr char16_t kVerifyIncomplete[] = u"有文件没有成功解压，请重新下载安装！\r\n";

// Follows each failing name in a verification failure list (8-bit text).
inline constexpr char kFailedNameSuffix[] = "....";

// The product's home page, named where the user is sent to download again.
inline constexpr char16_t kHomePage[] = u"http://www.zavoli.cn/";

// Separates the parts of a message.
inline constexpr char16_t kParagraphBreak[] = u"\r\n\r\n";

// ---- After the install: the package files and the skin -----------------

// Follows the failure list of the package's verification.
inline constexpr char16_t kPackageFilesNotCopied[] = u"上述文件没有成功复制，请重新下载安装！\r\n";
// The skin archive is missing or its files did not all arrive.
inline constexpr char16_t kSkinFilesNotCopied[] = u"皮肤文件没有成功复制，请重新安装皮肤文件！\r\n";

// ---- The user's data restored from the backup archive -------------------

// Follows the failure list when not every file of the backup came back.
inline constexpr char16_t kUserDataNotRestored[] =
    u"原有数据文件没有成功复制，原有数据不能使用！\r\n";
// Every file came back; "%d" stands for their number.
inline constexpr char16_t kUserDataRestored[] = u"成功恢复了%d个原有数据文件！";

// ---- The install report ---------------------------------------------------

inline constexpr char16_t kReportHeading[] = u"智能岚汀汉字输入系统7.8版安装情况报告。";
inline constexpr char16_t kReportErrorIs[] = u"安装出现错误！错误为：";
inline constexpr char16_t kReportNoInstallPath[] = u"检测不到安装路径！";
inline constexpr char16_t kReportFilesIncomplete[] = u"文件不完整！";
inline constexpr char16_t kReportNoWubiDictionary[] = u"无五笔词库文件！";
inline constexpr char16_t kReportNoPinyinDictionary[] = u"无拼音词库文件！";
inline constexpr char16_t kReportMissingFile[] = u"缺少文件！";
// The home page goes between the two parts.
inline constexpr char16_t kReportVisitHomePage[] = u"请到主页";
inline constexpr char16_t kReportDownloadAgain[] =
    u"重新下载安装！并解除杀毒软件对安装过程的拦截！";

}  // namespace zv::texts

namespace zv::texts::skins {

// ---- The skin archives' file names ---------------------------------------
// They are record names of the package: GBK bytes, written and looked for as
// these bytes on every code page. Each byte constant is checked against the
// UTF-16 text beside it by a test.

// u"冷色瓷面.zvz" (12 bytes).
inline constexpr std::string_view kCoolPorcelainGbk{"\xC0\xE4\xC9\xAB\xB4\xC9\xC3\xE6.zvz", 12};
inline constexpr char16_t kCoolPorcelainGbkText[] = u"冷色瓷面.zvz";
// u"粉色瓷面.zvz" (12 bytes).
inline constexpr std::string_view kPinkPorcelainGbk{"\xB7\xDB\xC9\xAB\xB4\xC9\xC3\xE6.zvz", 12};
inline constexpr char16_t kPinkPorcelainGbkText[] = u"粉色瓷面.zvz";
// u"小天使.zvz" (10 bytes).
inline constexpr std::string_view kLittleAngelGbk{"\xD0\xA1\xCC\xEC\xCA\xB9.zvz", 10};
inline constexpr char16_t kLittleAngelGbkText[] = u"小天使.zvz";

}  // namespace zv::texts::skins
