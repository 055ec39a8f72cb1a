#include "ui/main_window.h"

#include <memory>
#include <string>

#include "checks/ime_in_use.h"
#include "package/extra_files.h"
#include "package/install_report.h"
#include "package/package_resource.h"
#include "package/user_data_backup.h"
#include "package/user_data_restore.h"
#include "package/work_buffer.h"
#include "platform/scoped_gdi.h"
#include "platform/services.h"
#include "platform/win_constants.h"
#include "sequence/install_sequence.h"
#include "settings/ime_settings_files.h"
#include "settings/install_stamp.h"
#include "settings/web_address.h"
#include "state/captions.h"
#include "state/install_state.h"
#include "state/locations.h"
#include "state/package_state.h"
#include "state/run_state.h"
#include "state/window_hooks.h"
#include "state/window_parts.h"
#include "state/wizard_state.h"
#include "system/default_ime_check.h"
#include "system/install_locations.h"
#include "system/option_record.h"
#include "ui/page_flow.h"
#include "ui/page_painters.h"
#include "ui/skin_dialog.h"
#include "ui/ui_texts.h"

namespace zv {
namespace {

using platform::Gdi;
using platform::WindowHandle;
using platform::Windows;

constexpr char kClassName[] = "installWClass";
constexpr char16_t kClassNameW[] = u"installWClass";
constexpr int32_t kWindowWidth = 400;
constexpr int32_t kWindowHeight = 310;
// The window is centred as if it were this high.
constexpr int32_t kCentringHeight = 300;
// Not visible, no border, single line, no automatic scrolling.
constexpr uint32_t kEditBoxStyle = win::kWsChild | win::kWsSysMenu;
constexpr uintptr_t kTypingTestTimer = 2;
constexpr uint32_t kTypingTestDelayMs = 1600;
constexpr uint32_t kWebAddressCapacity = 100;

// What the window holds for its lifetime beyond WindowParts: the resources
// it owns, released when it is destroyed.
struct WindowLife {
  std::unique_ptr<WorkBufferReservation> workBuffer;
  std::unique_ptr<ScopedWindowHooks> hooks;
};

WindowLife g_life;

void ShowBox(const char16_t* text) {
  platform::Boxes().MessageBoxW(text, texts::kProductCaption, win::kMbOk);
}

void RequestRepaint(WindowHandle window) { Windows().InvalidateRect(window, false); }

// Asks the window to close once the current message is handled; should the
// request not reach the queue, the window goes at once, so that the wizard
// never stays open with nothing left to do.
void CloseMainWindow(WindowHandle window) {
  if (!platform::Messages().PostMessageA(window, win::kWmClose, 0, 0)) {
    Windows().DestroyWindow(window);
  }
}

std::u16string MainCaption() {
  if (UiCodePage == 950) return texts::ui::kMainCaptionTraditional;
  return DetectSystem() == 1 ? texts::ui::kMainCaption64 : texts::ui::kMainCaption32;
}

void CreateDrawingTools() {
  WindowParts.bodyFont = Gdi().CreateFontA(22, 7, win::kFwNormal, win::kGb2312Charset, "宋体");
  WindowParts.titleFont = Gdi().CreateFontA(40, 20, win::kFwNormal, win::kGb2312Charset, "楷体");
  WindowParts.redBrush = Gdi().CreateSolidBrush(platform::Rgb(255, 0, 0));
}

void DeleteDrawingTools() {
  for (platform::GdiObject* object :
       {&WindowParts.titleFont, &WindowParts.bodyFont, &WindowParts.redBrush}) {
    if (*object != 0) Gdi().DeleteObject(*object);
    *object = 0;
  }
}

// The window's creation step: the edition, the drawing tools, the package
// and the work buffer, and the backup of the earlier install's data.
void OnCreate(WindowHandle window) {
  EditionFlag = 1;
  if (UiCodePage == 950) Windows().SetWindowTextW(window, texts::ui::kMainCaptionTraditional);
  MainWindow = window;
  CreateDrawingTools();
  g_life.hooks.reset();
  g_life.hooks = std::make_unique<ScopedWindowHooks>(
      WindowHooks{RedrawInstallPathPage, DrawProgress, ShowSkinDialog});
  LockPackageResource();
  g_life.workBuffer = std::make_unique<WorkBufferReservation>();
  if (!g_life.workBuffer->reserved()) {
    // Without the buffer there is no backup: the earlier data stays as it is.
    UserDataUnsaved = 1;
    return;
  }
  BackupState = kBackupNone;
  if (BackupUserData(PreviousInstallDir.view()) != 0) BackupState = kBackupComplete;
}

void OnDestroy() {
  g_life.hooks.reset();
  g_life.workBuffer.reset();
  ReleasePackageResource();
  DeleteDrawingTools();
  MainWindow = 0;
  WindowParts.nameBox = 0;
  WindowParts.webAddressBox = 0;
  platform::Messages().PostQuitMessage(0);
}

void ReadWebAddressBox() {
  WebAddress.AssignTruncated(
      Windows().GetWindowTextA(WindowParts.webAddressBox, kWebAddressCapacity));
}

// The web-address page is drawn at once and its box shown; leaving the
// welcome page fills the box with the address an earlier install saved,
// leaving the web-address page takes the address and writes the settings.
void LeaveWelcomeOrWebAddressPage(WindowHandle window, bool fromWelcome) {
  {
    const platform::ScopedDc dc(window);
    if (dc.valid()) PaintWebAddressPage(dc.get());
  }
  Windows().ShowWindow(WindowParts.webAddressBox, win::kSwHide);
  Windows().ShowWindow(WindowParts.webAddressBox, win::kSwShow);
  if (fromWelcome) Windows().SetWindowTextA(WindowParts.webAddressBox, LoadWebAddress());
  ReadWebAddressBox();
  if (fromWelcome) {
    WizardPage = kWebAddressPage;
  } else {
    Windows().ShowWindow(WindowParts.webAddressBox, win::kSwHide);
    Windows().DestroyWindow(WindowParts.webAddressBox);
    WindowParts.webAddressBox = 0;
    RefreshSystemDir();
    WriteImeSettingsFiles(WebAddress.view());
    WizardPage = kInstallPathPage;
  }
  RequestRepaint(window);
}

void FinishInstall(WindowHandle window) {
  const int32_t restart = RestartRequired;
  if (WriteInstallReport() == 0) {
    ShowBox(restart == 1 ? texts::ui::kRestartNow : texts::ui::kRestartIfNeeded);
  }
  CloseMainWindow(window);
}

void OnTimer(WindowHandle window);

// The confirming click on the install-path page: the checks, the install,
// the extra files and settings, then the typing test or the end.
void ConfirmInstall(WindowHandle window) {
  WizardPage = kProcessingPage;
  if (CheckImeNotDefault() == 0) {
    CloseMainWindow(window);
    return;
  }
  ListProgramsUsingIme();
  if (ImeUseCount > 0) {
    platform::Boxes().MessageBoxW(ImeUseMessage(), texts::kProductCaption, win::kMbOk);
    WizardPage = kInstallPathPage;
    return;
  }
  if (CheckImeSharedMemory() == 1) ShowBox(texts::ui::kImeDataInMemory);
  InstallSequence();
  InstallExtraFiles();
  AdjustOptionRecord();
  WriteInstallStamp();
  if (BackupState == kBackupKeepOldData) RestoreUserData();
  if (DetectSystem() == 1) {
    RequestRepaint(window);
    // Without its timer the processing page would never give way: the
    // typing test then follows at once.
    if (platform::Messages().SetTimer(window, kTypingTestTimer, kTypingTestDelayMs) == 0) {
      OnTimer(window);
    }
    return;
  }
  FinishInstall(window);
}

void OnClick(WindowHandle window, intptr_t lParam) {
  const WizardButton button = ButtonAt(platform::LowWord(static_cast<uintptr_t>(lParam)),
                                       platform::HighWord(static_cast<uintptr_t>(lParam)));
  switch (ActionForClick(WizardPage, button, WizardInstalling == 1)) {
    case PageAction::kNothing:
      break;
    case PageAction::kCloseWindow:
      CloseMainWindow(window);
      break;
    case PageAction::kFinishInstall:
      WizardInstalling = 1;
      FinishInstall(window);
      WizardInstalling = 0;
      break;
    case PageAction::kLeaveWelcome:
      LeaveWelcomeOrWebAddressPage(window, true);
      break;
    case PageAction::kLeaveWebAddress:
      LeaveWelcomeOrWebAddressPage(window, false);
      break;
    case PageAction::kConfirmInstall:
      WizardInstalling = 1;
      ConfirmInstall(window);
      WizardInstalling = 0;
      break;
    case PageAction::kRepaint:
      RequestRepaint(window);
      break;
    case PageAction::kNextTypingTestPage:
      WizardPage = kLastTypingTestPage;
      RequestRepaint(window);
      break;
  }
}

void OnTimer(WindowHandle window) {
  platform::Messages().KillTimer(window, kTypingTestTimer);
  WizardPage = kTypingTestPage;
  Windows().SetWindowTextW(WindowParts.nameBox, u"");
  RequestRepaint(window);
}

WindowHandle CreateEditBox(WindowHandle parent, int32_t x, int32_t y) {
  return Windows().CreateWindowExW(0, u"EDIT", u" ", kEditBoxStyle, x, y, 230, 20, parent, 0,
                                   WindowParts.instance);
}

}  // namespace

int RegisterMainClass(platform::InstanceHandle instance) {
  platform::WindowClassA windowClass;
  windowClass.windowProc = MainWindowProc;
  windowClass.instance = instance;
  windowClass.icon = Windows().LoadIconA(instance, "ZAVOLI");
  windowClass.cursor = Windows().LoadCursorA(win::kIdcArrow);
  windowClass.background = Gdi().GetStockObject(win::kWhiteBrush);
  windowClass.className = kClassName;
  return Windows().RegisterClassA(windowClass) != 0 ? 1 : 0;
}

int CreateMainWindow(platform::InstanceHandle instance, int32_t showCommand) {
  WindowParts.instance = instance;
  const int32_t x = (Windows().GetSystemMetrics(win::kSmCxScreen) - kWindowWidth) / 2;
  const int32_t y = (Windows().GetSystemMetrics(win::kSmCyScreen) - kCentringHeight) / 2;
  const WindowHandle window = Windows().CreateWindowExW(
      0, kClassNameW, MainCaption(), win::kWsOverlapped | win::kWsCaption | win::kWsSysMenu, x, y,
      kWindowWidth, kWindowHeight, 0, 0, instance);
  if (window == 0) return 0;
  WindowParts.nameBox = CreateEditBox(window, 120, 195);
  WindowParts.webAddressBox = CreateEditBox(window, 130, 195);
  Windows().ShowWindow(window, static_cast<uint32_t>(showCommand));
  Windows().UpdateWindow(window);
  return 1;
}

intptr_t MainWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  switch (message) {
    case win::kWmCreate:
      OnCreate(window);
      return 0;
    case win::kWmDestroy:
      OnDestroy();
      return 0;
    case win::kWmPaint: {
      const platform::ScopedPaint paint(window);
      if (paint.valid()) PaintCurrentPage(paint.get());
      return 0;
    }
    case win::kWmSetFocus:
      if (WindowParts.nameBox != 0) Windows().SetFocus(WindowParts.nameBox);
      return 0;
    case win::kWmTimer:
      OnTimer(window);
      return 0;
    case win::kWmLButtonDown:
    case win::kWmRButtonDown:
      OnClick(window, lParam);
      return 0;
    case win::kWmMouseMove:
      return 0;
    case win::kWmClose:
      if (WizardInstalling == 1) return 0;
      break;
    default:
      break;
  }
  return Windows().DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace zv
