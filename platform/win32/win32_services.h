// The Win32 implementation of every platform service.
#pragma once

#include "platform/services.h"

namespace zv::platform::win32 {

class Win32FileSystem : public FileSystem {
 public:
  std::unique_ptr<File> CreateFileA(const std::string& path, uint32_t access, uint32_t share,
                                    uint32_t disposition, uint32_t flags) override;
  bool DeleteFileA(const std::string& path) override;
  bool MoveFileA(const std::string& from, const std::string& to) override;
  bool CopyFileA(const std::string& from, const std::string& to, bool failIfExists) override;
  uint32_t GetFileAttributesA(const std::string& path) override;
  bool SetFileAttributesA(const std::string& path, uint32_t attributes) override;
  bool CreateDirectoryA(const std::string& path) override;
  bool FindFilesA(const std::string& pattern, std::vector<std::string>* names) override;
  bool SetCurrentDirectoryA(const std::string& path) override;
  uint32_t GetDriveTypeA(const std::string& root) override;
  bool DisableFsRedirection(void** oldValue) override;
  bool RevertFsRedirection(void* oldValue) override;
  uint32_t LastError() override;
};

class Win32Registry : public Registry {
 public:
  uint32_t RegOpenKeyExA(RegKey parent, const std::string& subKey, uint32_t access,
                         RegKey* out) override;
  uint32_t RegOpenKeyExW(RegKey parent, const std::u16string& subKey, uint32_t access,
                         RegKey* out) override;
  uint32_t RegCreateKeyExA(RegKey parent, const std::string& subKey, uint32_t access,
                           RegKey* out) override;
  uint32_t RegCreateKeyExW(RegKey parent, const std::u16string& subKey, uint32_t access,
                           RegKey* out) override;
  uint32_t RegCloseKey(RegKey key) override;
  uint32_t RegQueryInfoKeyA(RegKey key, uint32_t* subKeys, uint32_t* maxSubKeyLength) override;
  uint32_t RegEnumKeyExA(RegKey key, uint32_t index, std::string* name) override;
  uint32_t RegQueryValueExA(RegKey key, const std::string& name, uint32_t* type,
                            std::vector<uint8_t>* data, uint32_t capacity) override;
  uint32_t RegSetValueExA(RegKey key, const std::string& name, uint32_t type, const void* data,
                          uint32_t size) override;
  uint32_t RegSetValueExW(RegKey key, const std::u16string& name, uint32_t type, const void* data,
                          uint32_t size) override;
  uint32_t RegDeleteValueA(RegKey key, const std::string& name) override;
  uint32_t RegDeleteKeyA(RegKey parent, const std::string& subKey) override;
};

class Win32SystemInfo : public SystemInfo {
 public:
  uint32_t GetOEMCP() override;
  uint32_t GetACP() override;
  bool GetVersionExA(OsVersion* out) override;
  uint32_t GetVersion() override;
  std::string GetWindowsDirectoryA(uint32_t capacity) override;
  std::string GetSystemDirectoryA(uint32_t capacity) override;
  std::u16string GetSystemDirectoryW(uint32_t capacity) override;
  bool GetProgramFilesFolderA(std::string* out) override;
  bool GetUserNameA(uint32_t capacity, std::string* out) override;
  uint32_t GetTickCount() override;
  void Sleep(uint32_t milliseconds) override;
};

class Win32MessageBoxes : public MessageBoxes {
 public:
  int MessageBoxA(const std::string& text, const std::string& caption, uint32_t type) override;
  int MessageBoxW(const std::u16string& text, const std::u16string& caption,
                  uint32_t type) override;
};

class Win32Processes : public Processes {
 public:
  uint32_t WinExec(const std::string& commandLine, uint32_t show) override;
  MutexHandle CreateMutexA(const std::string& name, bool* alreadyExisted) override;
  bool CloseMutex(MutexHandle handle) override;
  uint32_t GetCurrentProcessId() override;
};

class Win32InputMethods : public InputMethods {
 public:
  LayoutHandle ImmInstallIMEW(const std::u16string& imeFile,
                              const std::u16string& layoutText) override;
  std::string ImmGetDescriptionA(LayoutHandle layout) override;
  std::vector<LayoutHandle> GetKeyboardLayoutList() override;
  LayoutHandle GetKeyboardLayout() override;
  LayoutHandle ActivateKeyboardLayout(LayoutHandle layout, uint32_t flags) override;
};

class Win32Security : public Security {
 public:
  std::unique_ptr<AccessList> GetFileAccessList(const std::string& path) override;
  std::unique_ptr<AccessList> AddInheritableFullAccess(const AccessList& existing,
                                                       const std::string& account) override;
  bool SetFileAccessList(const std::string& path, const AccessList& list) override;
};

class Win32Resources : public Resources {
 public:
  ResourceBytes LoadResourceBytes(const std::string& name, const std::string& type) override;
  std::unique_ptr<GlobalBlock> AllocateZeroedBlock(size_t size) override;
};

class Win32Md5 : public Md5 {
 public:
  std::unique_ptr<Md5Context> Begin() override;
};

class Win32WindowManager : public WindowManager {
 public:
  InstanceHandle GetModuleHandleW() override;
  IconHandle LoadIconA(InstanceHandle instance, const std::string& name) override;
  CursorHandle LoadCursorA(uint32_t standardCursorId) override;
  // The procedure takes one of a few forwarding slots; 0 when all are used.
  uint16_t RegisterClassA(const WindowClassA& windowClass) override;
  WindowHandle CreateWindowExW(uint32_t exStyle, const std::u16string& className,
                               const std::u16string& windowName, uint32_t style, int32_t x,
                               int32_t y, int32_t width, int32_t height, WindowHandle parentOrOwner,
                               uintptr_t menuOrId, InstanceHandle instance) override;
  bool DestroyWindow(WindowHandle window) override;
  bool IsWindow(WindowHandle window) override;
  bool ShowWindow(WindowHandle window, uint32_t showCommand) override;
  bool IsWindowVisible(WindowHandle window) override;
  bool UpdateWindow(WindowHandle window) override;
  bool InvalidateRect(WindowHandle window, bool erase) override;
  bool EnableWindow(WindowHandle window, bool enable) override;
  bool IsWindowEnabled(WindowHandle window) override;
  bool SetWindowTextW(WindowHandle window, const std::u16string& text) override;
  bool SetWindowTextA(WindowHandle window, const std::string& text) override;
  std::u16string GetWindowTextW(WindowHandle window, uint32_t capacity) override;
  std::string GetWindowTextA(WindowHandle window, uint32_t capacity) override;
  std::string GetClassNameA(WindowHandle window, uint32_t capacity) override;
  WindowHandle SetFocus(WindowHandle window) override;
  WindowHandle GetFocus() override;
  bool GetWindowRect(WindowHandle window, Rect* out) override;
  bool MoveWindow(WindowHandle window, int32_t x, int32_t y, int32_t width, int32_t height,
                  bool repaint) override;
  bool SetWindowPos(WindowHandle window, WindowHandle insertAfter, int32_t x, int32_t y,
                    int32_t width, int32_t height, uint32_t flags) override;
  int32_t GetSystemMetrics(int32_t index) override;
  WindowHandle GetParent(WindowHandle window) override;
  uint32_t GetWindowThreadProcessId(WindowHandle window) override;
  bool EnumWindows(EnumWindowsProc callback, intptr_t lParam) override;
  intptr_t DefWindowProcA(WindowHandle window, uint32_t message, uintptr_t wParam,
                          intptr_t lParam) override;
};

class Win32MessageQueue : public MessageQueue {
 public:
  intptr_t SendMessageW(WindowHandle window, uint32_t message, uintptr_t wParam,
                        intptr_t lParam) override;
  bool PostMessageA(WindowHandle window, uint32_t message, uintptr_t wParam,
                    intptr_t lParam) override;
  void PostQuitMessage(int32_t exitCode) override;
  int32_t GetMessageW(Message* out) override;
  bool TranslateMessage(const Message& message) override;
  intptr_t DispatchMessageW(const Message& message) override;
  uintptr_t SetTimer(WindowHandle window, uintptr_t id, uint32_t elapseMs) override;
  bool KillTimer(WindowHandle window, uintptr_t id) override;
};

class Win32DialogBoxes : public DialogBoxes {
 public:
  intptr_t DialogBoxParamW(InstanceHandle instance, const std::u16string& templateName,
                           WindowHandle owner, DialogProc dialogProc, intptr_t initParam) override;
  bool EndDialog(WindowHandle dialog, intptr_t result) override;
  WindowHandle GetDlgItem(WindowHandle dialog, int32_t id) override;
  bool CheckDlgButton(WindowHandle dialog, int32_t id, uint32_t check) override;
  uint32_t IsDlgButtonChecked(WindowHandle dialog, int32_t id) override;
  intptr_t SendDlgItemMessageW(WindowHandle dialog, int32_t id, uint32_t message, uintptr_t wParam,
                               intptr_t lParam) override;
};

class Win32Graphics : public Graphics {
 public:
  DcHandle BeginPaint(WindowHandle window, PaintInfo* out) override;
  bool EndPaint(WindowHandle window, const PaintInfo& paint) override;
  DcHandle GetDC(WindowHandle window) override;
  int32_t ReleaseDC(WindowHandle window, DcHandle dc) override;
  DcHandle CreateCompatibleDC(DcHandle dc) override;
  bool DeleteDC(DcHandle dc) override;
  GdiObject CreatePen(int32_t style, int32_t width, ColorRef color) override;
  GdiObject CreateSolidBrush(ColorRef color) override;
  GdiObject GetStockObject(int32_t index) override;
  GdiObject CreateFontA(int32_t height, int32_t width, int32_t weight, uint32_t charSet,
                        const std::string& face) override;
  GdiObject CreateDIBitmap(DcHandle dc, const uint8_t* info, size_t infoSize, const uint8_t* bits,
                           size_t bitsSize, uint32_t usage) override;
  GdiObject SelectObject(DcHandle dc, GdiObject object) override;
  bool DeleteObject(GdiObject object) override;
  bool MoveToEx(DcHandle dc, int32_t x, int32_t y) override;
  bool LineTo(DcHandle dc, int32_t x, int32_t y) override;
  bool Rectangle(DcHandle dc, int32_t left, int32_t top, int32_t right, int32_t bottom) override;
  bool TextOutA(DcHandle dc, int32_t x, int32_t y, const std::string& text) override;
  bool TextOutW(DcHandle dc, int32_t x, int32_t y, const std::u16string& text) override;
  ColorRef SetTextColor(DcHandle dc, ColorRef color) override;
  int32_t SetBkMode(DcHandle dc, int32_t mode) override;
  bool StretchBlt(DcHandle dest, int32_t xDest, int32_t yDest, int32_t widthDest,
                  int32_t heightDest, DcHandle source, int32_t xSource, int32_t ySource,
                  int32_t widthSource, int32_t heightSource, uint32_t rop) override;
};

class Win32FileMappings : public FileMappings {
 public:
  MappingHandle OpenFileMappingA(uint32_t access, bool inheritHandle,
                                 const std::string& name) override;
  bool CloseHandle(MappingHandle handle) override;
};

// Fills the process-wide service table with the Win32 implementation.
void InstallWin32Services();

}  // namespace zv::platform::win32
