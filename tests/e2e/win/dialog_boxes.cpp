#include "dialog_boxes.h"

#include <cstring>

#include "handles.h"

namespace e2e {
namespace {

// The control id of the text in a message box.
constexpr int kMessageTextId = 0xFFFF;
constexpr UINT kTextTimeoutMs = 2000;

struct ButtonEntry {
  int id;
  const char* name;
};

constexpr ButtonEntry kButtons[] = {
    {IDOK, "ok"},       {IDCANCEL, "cancel"},     {IDABORT, "abort"},
    {IDRETRY, "retry"}, {IDIGNORE, "ignore"},     {IDYES, "yes"},
    {IDNO, "no"},       {IDTRYAGAIN, "tryagain"}, {IDCONTINUE, "continue"},
};

bool IsDialogClass(HWND window) {
  wchar_t name[16] = {};
  return GetClassNameW(window, name, 16) > 0 && std::wcscmp(name, L"#32770") == 0;
}

BOOL CALLBACK CollectDialog(HWND window, LPARAM found) {
  if (IsWindowVisible(window) && IsDialogClass(window)) {
    reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
  }
  return TRUE;
}

// Asks the window for its text; works across processes and gives up on a hung owner.
std::wstring WindowText(HWND window) {
  DWORD_PTR length = 0;
  if (window == nullptr || !SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG,
                                                kTextTimeoutMs, &length)) {
    return std::wstring();
  }
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]),
                           SMTO_ABORTIFHUNG, kTextTimeoutMs, &copied)) {
    return std::wstring();
  }
  text.resize(static_cast<size_t>(copied));
  return text;
}

std::wstring ProcessName(DWORD process_id) {
  UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id));
  if (!process.Valid()) return std::wstring();
  wchar_t path[MAX_PATH] = {};
  DWORD size = MAX_PATH;
  if (!QueryFullProcessImageNameW(process.Get(), 0, path, &size)) return std::wstring();
  const wchar_t* name = path;
  for (const wchar_t* p = path; *p != L'\0'; ++p) {
    if (*p == L'\\' || *p == L'/') name = p + 1;
  }
  return name;
}

HWND UsableButton(HWND window, int id) {
  HWND button = GetDlgItem(window, id);
  if (button == nullptr || !IsWindowVisible(button) || !IsWindowEnabled(button)) return nullptr;
  return button;
}

}  // namespace

std::vector<HWND> VisibleDialogBoxes() {
  std::vector<HWND> found;
  EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&found));
  return found;
}

DialogBox DescribeDialogBox(HWND window) {
  DialogBox box;
  box.window = window;
  box.owner = GetWindow(window, GW_OWNER);
  GetWindowThreadProcessId(window, &box.process_id);
  box.process_name = ProcessName(box.process_id);
  box.caption = WindowText(window);
  box.text = WindowText(GetDlgItem(window, kMessageTextId));
  for (const ButtonEntry& entry : kButtons) {
    if (UsableButton(window, entry.id) != nullptr) box.buttons.push_back(entry.id);
  }
  return box;
}

const char* ButtonName(int id) {
  for (const ButtonEntry& entry : kButtons) {
    if (entry.id == id) return entry.name;
  }
  return "";
}

int ButtonId(const std::string& name) {
  for (const ButtonEntry& entry : kButtons) {
    if (name == entry.name) return entry.id;
  }
  return 0;
}

bool PressButton(HWND window, int id, std::string* error) {
  if (!IsWindow(window) || !IsDialogClass(window)) {
    *error = "no such dialog box";
    return false;
  }
  HWND button = UsableButton(window, id);
  if (button == nullptr) {
    *error = "the dialog box has no usable button of that kind";
    return false;
  }
  if (!PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                    reinterpret_cast<LPARAM>(button))) {
    *error = "PostMessage failed";
    return false;
  }
  return true;
}

}  // namespace e2e
