// The wizard's own texts, in UTF-16: captions, page texts, button labels and
// the closing messages.
#pragma once

namespace zv::texts::ui {

// ---- Captions -------------------------------------------------------------

inline constexpr char16_t kMainCaption64[] = u"智能岚汀系统安装3264";
inline constexpr char16_t kMainCaption32[] = u"智能岚汀系统安装32";
inline constexpr char16_t kMainCaptionTraditional[] = u"智能嵐汀系統安裝";

// ---- Button labels and the field --------------------------------------------

inline constexpr char16_t kInstallLabel[] = u"确 定 安 装";
inline constexpr char16_t kQuitLabel[] = u"放 弃 退 出";
inline constexpr char16_t kFinishLabel[] = u"确 定 退 出";
inline constexpr char16_t kWebAddressField[] = u"所在单位网址：";
// "%s" is the install directory.
inline constexpr char16_t kInstallPathField[] = u"安装路径：%s";

// ---- The welcome page ---------------------------------------------------------

inline constexpr char16_t kLoadingNotice[] = u"安装程序正在载入文件，请等待……";
inline constexpr char16_t kPinyinTitle[] = u"岚汀拼音";
inline constexpr char16_t kWelcomeQuestion[] = u"您尝试过岚汀语句输入技术吗？";
inline constexpr char16_t kWelcomePromise[] = u"岚汀语句将给你带来新的输入体验……";
inline constexpr char16_t kVersionMark[] = u"7.8 版";

// ---- The web-address page -----------------------------------------------------

inline constexpr char16_t kSetupTitle[] = u"智能岚汀输入平台  系统安装";
inline constexpr char16_t kPinyinEditionMark[] = u"岚汀拼音专版";
inline constexpr char16_t kWebAddressLine1[] = u"请输入你所在单位网站或你所在地政府网站的网址，";
inline constexpr char16_t kWebAddressLine2[] = u"智能岚汀就可每天自动从所输入网站上下载相关文章，";
inline constexpr char16_t kWebAddressLine3[] = u"组建或增加系统文章库，以方便你的快速输入。";

// ---- The install-path page ----------------------------------------------------

inline constexpr char16_t kPlatformTitle[] = u"智能岚汀输入平台";
inline constexpr char16_t kEditionTitle[] = u"岚汀形码 7.8 版  系统安装";
inline constexpr char16_t kSystemsLine1[] = u"本版本适用于：WINDOWS NT、WIN2000、";
inline constexpr char16_t kSystemsLine2[] = u"WINDOWS XP、VISTA及WIN7中文系统。";

// ---- The processing and typing-test pages ---------------------------------------

inline constexpr char16_t kProcessingTitle[] = u"智能岚汀7.8版安装";
inline constexpr char16_t kProcessingLine[] = u"智能岚汀正在处理有关数据……";
inline constexpr char16_t kWelcomeTitle[] = u"欢迎使用岚汀系统";
inline constexpr char16_t kWelcomeLine[] = u"欢迎使用岚汀输入系统";
inline constexpr char16_t kInstalledLine[] = u"智能岚汀已经安装在你的系统中!";
inline constexpr char16_t kTryItLine[] = u"请在下面的框中试着用岚汀系统输入你的姓名。";
inline constexpr char16_t kNamePrompt[] = u"请输入你的姓名：";

// ---- Messages -------------------------------------------------------------------

inline constexpr char16_t kImeDataInMemory[] =
    u"检测到内存中有智能岚汀数据没有退出，请安装后重新启动机器再使用！";
inline constexpr char16_t kRestartNow[] = u"安装完毕，请立即重新启动计算机！";
inline constexpr char16_t kRestartIfNeeded[] = u"安装完毕，如不能使用，请重新启动计算机！";

}  // namespace zv::texts::ui
