// zvwizard.exe: drives the installer's wizard window as a person does, so that a test
// can walk through its pages, look at them and answer its skin dialog.
//
// Input, one command per line (coordinates are client coordinates of the main window):
//   find <ms>            wait up to <ms> for the visible window of class "installWClass"
//   click <x> <y>        post WM_LBUTTONDOWN with the point in lParam, then give the
//                        window a moment and wait until it takes messages again (a
//                        click that runs long, such as the install, is not waited for)
//   rclick <x> <y>       post WM_RBUTTONDOWN the same way
//   type <text>          send WM_CHAR for each UTF-16 unit of <text> (UTF-8 on input) to
//                        the visible EDIT child of the window (waiting up to 5 s for one)
//   edits                report every EDIT child: visible or not, place, text
//   close                post WM_CLOSE to the window
//   repaint              invalidate the whole window, as uncovering it does, so that
//                        it paints its current page again
//   shot <path>          write the client area as it is on the screen to a 24-bit BMP,
//                        once the window has no update region and the picture is steady
//   dialog <ms>          wait up to <ms> for a visible dialog owned by the window
//   dlgshot <path>       the same picture of that dialog's whole window
//   dlgclick <id>        send BM_CLICK to control <id> of that dialog
//   checked <id>         the BM_GETCHECK state of control <id> of that dialog
//   state                whether the window still exists and is visible
//   count <class>        how many top-level windows of that class EnumWindows lists
//   quit                 end the helper (so does end of input)
// Output, one JSON object per line: {"event":"ready"} first, then one reply per command
// ("window", "clicked", "typed", "edits", "closed", "repainted", "shot", "dialog", "dlgclicked",
// "checked", "state", "count"), or {"event":"error","command":...,"message":...}.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "json_lines.h"
#include "stdin_lines.h"

namespace {

constexpr wchar_t kMainClass[] = L"installWClass";
constexpr UINT kSendTimeoutMs = 3000;
constexpr DWORD kPollMs = 25;
constexpr DWORD kSteadyGapMs = 120;
constexpr DWORD kShotTimeoutMs = 6000;
constexpr DWORD kClickSettleMs = 60;
constexpr UINT kClickWaitMs = 1000;
constexpr DWORD kEditWaitMs = 5000;

HWND g_window = nullptr;
HWND g_dialog = nullptr;

std::uint64_t Number(HWND window) {
  return static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(window));
}

std::wstring FromUtf8(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int size = static_cast<int>(text.size());
  const int needed = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
  if (needed <= 0) return std::wstring();
  std::wstring out(static_cast<size_t>(needed), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), size, &out[0], needed);
  return out;
}

void Error(const std::string& command, const std::string& message) {
  e2e::EmitLine(e2e::JsonObject()
                    .Text("event", "error")
                    .Text("command", command)
                    .Text("message", message)
                    .Finish());
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

// The text of a window of another process; gives up on a hung owner.
std::wstring TextOf(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                           &length)) {
    return std::wstring();
  }
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]),
                           SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied)) {
    return std::wstring();
  }
  text.resize(static_cast<size_t>(copied));
  return text;
}

std::vector<long long> RectList(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

// A child's rectangle in the client coordinates of `parent`.
RECT ChildRect(HWND child, HWND parent) {
  RECT r = {};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

BOOL CALLBACK FindMain(HWND window, LPARAM found) {
  if (IsWindowVisible(window) && ClassOf(window) == kMainClass) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

struct DialogSearch {
  HWND owner;
  HWND found;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM search) {
  auto* s = reinterpret_cast<DialogSearch*>(search);
  if (IsWindowVisible(window) && ClassOf(window) == L"#32770" &&
      GetWindow(window, GW_OWNER) == s->owner) {
    s->found = window;
    return FALSE;
  }
  return TRUE;
}

bool HaveWindow(const std::string& command) {
  if (g_window != nullptr && IsWindow(g_window)) return true;
  Error(command, "no wizard window (use find first, or it is gone)");
  return false;
}

bool HaveDialog(const std::string& command) {
  if (g_dialog != nullptr && IsWindow(g_dialog)) return true;
  Error(command, "no dialog (use dialog first, or it is gone)");
  return false;
}

void Find(const std::string& command, DWORD timeout) {
  const DWORD start = GetTickCount();
  HWND found = nullptr;
  for (;;) {
    EnumWindows(FindMain, reinterpret_cast<LPARAM>(&found));
    if (found != nullptr || GetTickCount() - start >= timeout) break;
    Sleep(kPollMs);
  }
  if (found == nullptr) {
    Error(command, "no visible window of class installWClass");
    return;
  }
  g_window = found;
  DWORD process = 0;
  GetWindowThreadProcessId(found, &process);
  RECT window = {};
  GetWindowRect(found, &window);
  RECT client = {};
  GetClientRect(found, &client);
  POINT origin = {0, 0};
  ClientToScreen(found, &origin);
  e2e::EmitLine(e2e::JsonObject()
                    .Text("event", "window")
                    .HexNumber("window", Number(found))
                    .Number("process_id", process)
                    .Text("caption", TextOf(found))
                    .Integers("rect", RectList(window))
                    .Integers("client", {origin.x, origin.y, client.right, client.bottom})
                    .Finish());
}

void Click(const std::string& command, UINT message, int x, int y) {
  if (!HaveWindow(command)) return;
  if (!PostMessageW(g_window, message, message == WM_LBUTTONDOWN ? MK_LBUTTON : MK_RBUTTON,
                    MAKELPARAM(x, y))) {
    Error(command, "PostMessage failed");
    return;
  }
  Sleep(kClickSettleMs);
  DWORD_PTR ignored = 0;
  const bool settled =
      SendMessageTimeoutW(g_window, WM_NULL, 0, 0, SMTO_NORMAL, kClickWaitMs, &ignored) != 0;
  e2e::EmitLine(e2e::JsonObject()
                    .Text("event", "clicked")
                    .Boolean("settled", settled)
                    .Text("button", message == WM_LBUTTONDOWN ? "left" : "right")
                    .Integers("at", {x, y})
                    .Finish());
}

struct EditList {
  std::vector<HWND> edits;
};

BOOL CALLBACK CollectEdit(HWND child, LPARAM list) {
  if (_wcsicmp(ClassOf(child).c_str(), L"Edit") == 0) {
    reinterpret_cast<EditList*>(list)->edits.push_back(child);
  }
  return TRUE;
}

std::vector<HWND> Edits() {
  EditList list;
  EnumChildWindows(g_window, CollectEdit, reinterpret_cast<LPARAM>(&list));
  return list.edits;
}

void Type(const std::string& command, const std::string& utf8) {
  if (!HaveWindow(command)) return;
  HWND edit = nullptr;
  const DWORD start = GetTickCount();
  for (;;) {
    for (HWND candidate : Edits()) {
      if (IsWindowVisible(candidate)) edit = candidate;
    }
    if (edit != nullptr || GetTickCount() - start >= kEditWaitMs) break;
    Sleep(kPollMs);
  }
  if (edit == nullptr) {
    Error(command, "the window has no visible EDIT child");
    return;
  }
  for (wchar_t unit : FromUtf8(utf8)) {
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(edit, WM_CHAR, unit, 1, SMTO_NORMAL, kSendTimeoutMs, &ignored)) {
      Error(command, "WM_CHAR was not taken within the time limit");
      return;
    }
  }
  e2e::EmitLine(e2e::JsonObject()
                    .Text("event", "typed")
                    .Integers("rect", RectList(ChildRect(edit, g_window)))
                    .Text("text", TextOf(edit))
                    .Finish());
}

void ReportEdits(const std::string& command) {
  if (!HaveWindow(command)) return;
  std::string list = "[";
  for (HWND edit : Edits()) {
    if (list.size() > 1) list += ",";
    list += e2e::JsonObject()
                .Boolean("visible", IsWindowVisible(edit) != FALSE)
                .Integers("rect", RectList(ChildRect(edit, g_window)))
                .Text("text", TextOf(edit))
                .Finish();
  }
  e2e::EmitLine(e2e::JsonObject().Text("event", "edits").Raw("edits", list + "]").Finish());
}

// The screen's pixels of a rectangle in screen coordinates, as bottom-up BGR rows
// padded to four bytes.
bool Capture(const RECT& screen, std::vector<unsigned char>* pixels) {
  const int width = screen.right - screen.left;
  const int height = screen.bottom - screen.top;
  if (width <= 0 || height <= 0) return false;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  HDC screen_dc = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen_dc);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool done = false;
  if (memory != nullptr && bitmap != nullptr) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    done = BitBlt(memory, 0, 0, width, height, screen_dc, screen.left, screen.top, SRCCOPY) != 0;
    GdiFlush();
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
    const auto* begin = static_cast<const unsigned char*>(bits);
    pixels->assign(begin, begin + stride * static_cast<size_t>(height));
    SelectObject(memory, old);
  }
  if (bitmap != nullptr) DeleteObject(bitmap);
  if (memory != nullptr) DeleteDC(memory);
  ReleaseDC(nullptr, screen_dc);
  return done;
}

bool WriteBmp(const std::wstring& path, int width, int height,
              const std::vector<unsigned char>& pixels) {
  BITMAPFILEHEADER file = {};
  BITMAPINFOHEADER header = {};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  header.biSizeImage = static_cast<DWORD>(pixels.size());
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = file.bfOffBits + header.biSizeImage;
  HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(out, &file, sizeof file, &written, nullptr) &&
            WriteFile(out, &header, sizeof header, &written, nullptr) &&
            WriteFile(out, pixels.data(), static_cast<DWORD>(pixels.size()), &written, nullptr);
  CloseHandle(out);
  return ok;
}

// Waits until `window` has nothing left to paint and two captures in a row agree, then
// writes the last one.  `client` chooses the client area, else the whole window.
void Shot(const std::string& command, HWND window, bool client, const std::string& path) {
  const DWORD start = GetTickCount();
  std::vector<unsigned char> last;
  std::vector<unsigned char> now;
  RECT screen = {};
  bool steady = false;
  while (GetTickCount() - start < kShotTimeoutMs) {
    if (!IsWindow(window)) break;
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &ignored);
    if (GetUpdateRect(window, nullptr, FALSE)) {
      Sleep(kPollMs);
      continue;
    }
    if (client) {
      GetClientRect(window, &screen);
      MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&screen), 2);
    } else {
      GetWindowRect(window, &screen);
    }
    if (!Capture(screen, &now)) break;
    if (!last.empty() && now == last) {
      steady = true;
      break;
    }
    last.swap(now);
    Sleep(kSteadyGapMs);
  }
  if (!steady && last.empty()) {
    Error(command, "no picture could be taken");
    return;
  }
  const std::vector<unsigned char>& picture = steady ? now : last;
  const int width = screen.right - screen.left;
  const int height = screen.bottom - screen.top;
  if (!WriteBmp(FromUtf8(path), width, height, picture)) {
    Error(command, "cannot write the picture file");
    return;
  }
  e2e::EmitLine(e2e::JsonObject()
                    .Text("event", "shot")
                    .Text("path", path)
                    .Integers("size", {width, height})
                    .Integers("screen", RectList(screen))
                    .Boolean("steady", steady)
                    .Finish());
}

BOOL CALLBACK CollectControl(HWND child, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
  return TRUE;
}

LRESULT SendTimed(HWND window, UINT message, bool* ok) {
  DWORD_PTR result = 0;
  *ok = SendMessageTimeoutW(window, message, 0, 0, SMTO_NORMAL, kSendTimeoutMs, &result) != 0;
  return static_cast<LRESULT>(result);
}

void Dialog(const std::string& command, DWORD timeout) {
  if (!HaveWindow(command)) return;
  const DWORD start = GetTickCount();
  DialogSearch search = {g_window, nullptr};
  for (;;) {
    EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr || GetTickCount() - start >= timeout) break;
    Sleep(kPollMs);
  }
  if (search.found == nullptr) {
    Error(command, "no visible dialog owned by the wizard window");
    return;
  }
  g_dialog = search.found;
  std::vector<HWND> children;
  EnumChildWindows(g_dialog, CollectControl, reinterpret_cast<LPARAM>(&children));
  std::string controls = "[";
  for (HWND child : children) {
    if (controls.size() > 1) controls += ",";
    bool ok = false;
    const LRESULT check = SendTimed(child, BM_GETCHECK, &ok);
    controls += e2e::JsonObject()
                    .Integer("id", GetDlgCtrlID(child))
                    .Text("class", ClassOf(child))
                    .Text("text", TextOf(child))
                    .Number("checked", ok ? static_cast<std::uint64_t>(check) : 0)
                    .Finish();
  }
  RECT rect = {};
  GetWindowRect(g_dialog, &rect);
  e2e::EmitLine(e2e::JsonObject()
                    .Text("event", "dialog")
                    .HexNumber("window", Number(g_dialog))
                    .Text("caption", TextOf(g_dialog))
                    .Integers("rect", RectList(rect))
                    .Raw("controls", controls + "]")
                    .Finish());
}

struct ClassCount {
  std::wstring class_name;
  std::uint64_t count;
};

BOOL CALLBACK CountOfClass(HWND window, LPARAM parameter) {
  auto* wanted = reinterpret_cast<ClassCount*>(parameter);
  wchar_t name[64] = {};
  if (GetClassNameW(window, name, 64) > 0 && wanted->class_name == name) ++wanted->count;
  return TRUE;
}

// Reports how many top-level windows of the class (ASCII) EnumWindows lists now.
void CountWindows(const std::string& class_name) {
  ClassCount wanted{std::wstring(class_name.begin(), class_name.end()), 0};
  EnumWindows(CountOfClass, reinterpret_cast<LPARAM>(&wanted));
  e2e::EmitLine(e2e::JsonObject().Text("event", "count").Number("count", wanted.count).Finish());
}

void DialogControl(const std::string& command, int id, bool click) {
  if (!HaveDialog(command)) return;
  HWND control = GetDlgItem(g_dialog, id);
  if (control == nullptr) {
    Error(command, "the dialog has no control of that id");
    return;
  }
  bool ok = false;
  const LRESULT state = SendTimed(control, click ? BM_CLICK : BM_GETCHECK, &ok);
  if (!ok) {
    Error(command, "the control did not answer within the time limit");
    return;
  }
  e2e::JsonObject reply;
  reply.Text("event", click ? "dlgclicked" : "checked")
      .Number("id", static_cast<std::uint64_t>(id));
  if (!click) reply.Number("state", static_cast<std::uint64_t>(state));
  e2e::EmitLine(reply.Finish());
}

std::string Rest(const std::string& line, size_t words) {
  size_t at = 0;
  for (size_t i = 0; i < words && at != std::string::npos; ++i) {
    at = line.find(' ', at);
    if (at != std::string::npos) ++at;
  }
  return at == std::string::npos ? std::string() : line.substr(at);
}

std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  size_t start = 0;
  while (start < line.size()) {
    size_t end = line.find(' ', start);
    if (end == std::string::npos) end = line.size();
    if (end > start) words.push_back(line.substr(start, end - start));
    start = end + 1;
  }
  return words;
}

int Integer(const std::string& word) {
  return static_cast<int>(std::strtol(word.c_str(), nullptr, 10));
}

void Run(const std::string& line) {
  const std::vector<std::string> w = Words(line);
  const std::string& verb = w[0];
  const size_t n = w.size();
  if (verb == "find" && n == 2) {
    Find(line, static_cast<DWORD>(Integer(w[1])));
  } else if ((verb == "click" || verb == "rclick") && n == 3) {
    Click(line, verb == "click" ? WM_LBUTTONDOWN : WM_RBUTTONDOWN, Integer(w[1]), Integer(w[2]));
  } else if (verb == "type" && n >= 2) {
    Type(line, Rest(line, 1));
  } else if (verb == "edits" && n == 1) {
    ReportEdits(line);
  } else if (verb == "close" && n == 1) {
    if (!HaveWindow(line)) return;
    if (!PostMessageW(g_window, WM_CLOSE, 0, 0)) {
      Error(line, "PostMessage failed");
      return;
    }
    e2e::EmitLine(e2e::JsonObject().Text("event", "closed").Finish());
  } else if (verb == "repaint" && n == 1) {
    if (!HaveWindow(line)) return;
    if (!RedrawWindow(g_window, nullptr, nullptr,
                      RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN)) {
      Error(line, "RedrawWindow failed");
      return;
    }
    e2e::EmitLine(e2e::JsonObject().Text("event", "repainted").Finish());
  } else if (verb == "shot" && n >= 2) {
    if (HaveWindow(line)) Shot(line, g_window, true, Rest(line, 1));
  } else if (verb == "dialog" && n == 2) {
    Dialog(line, static_cast<DWORD>(Integer(w[1])));
  } else if (verb == "dlgshot" && n >= 2) {
    if (HaveDialog(line)) Shot(line, g_dialog, false, Rest(line, 1));
  } else if ((verb == "dlgclick" || verb == "checked") && n == 2) {
    DialogControl(line, Integer(w[1]), verb == "dlgclick");
  } else if (verb == "count" && n == 2) {
    CountWindows(w[1]);
  } else if (verb == "state" && n == 1) {
    const bool exists = g_window != nullptr && IsWindow(g_window);
    e2e::EmitLine(e2e::JsonObject()
                      .Text("event", "state")
                      .Boolean("exists", exists)
                      .Boolean("visible", exists && IsWindowVisible(g_window))
                      .Finish());
  } else {
    Error(line, "unknown command or wrong number of words");
  }
}

}  // namespace

int wmain() {
  e2e::EmitLine(e2e::JsonObject().Text("event", "ready").Finish());
  e2e::StdinLines lines;
  std::string line;
  while (lines.Next(&line)) {
    if (Words(line).empty()) continue;
    if (line == "quit") break;
    Run(line);
  }
  return 0;
}
