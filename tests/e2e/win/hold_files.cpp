// zvhold.exe: keeps files (and windows, file mappings, mutexes) in use until told to stop, so
// that a test can check how a program treats what another process holds.
//
//   zvhold.exe <how> <path> [<how> <path> ...]
//
// <how> is one of
//   module     mapped as an image (LoadLibraryExW as image resource), as Windows does for a
//              loaded DLL or IME: the file can be renamed but not deleted
//   open       opened for reading, shared for reading and writing but not for deletion:
//              it can be neither deleted nor renamed
//   exclusive  opened for reading and writing without any sharing
//   window     <path> is a title: a visible top-level window with that title and an
//              owned pop-up window of class "UIKPMT" (the window an IME gives each
//              program that uses it), served by a thread of their own
//   mapping    <path> is a name: a named file mapping of one page
//   mutex      <path> is a name: a named mutex, as another running installer holds it
//
// Output, one JSON object per line: {"event":"held","path":...} for each file, then
// {"event":"ready"}; {"event":"error","path":...,"code":N} and exit code 2 when a file
// cannot be held (nothing stays held then); {"event":"released"} after "stop" or the end
// of standard input, then exit code 0.  Bad arguments give exit code 1.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "handles.h"
#include "json_lines.h"
#include "stdin_lines.h"

namespace {

// Everything this process holds; released together when it goes out of scope.
struct Holdings {
  std::vector<e2e::UniqueModule> modules;
  std::vector<e2e::UniqueHandle> files;
  std::vector<DWORD> window_threads;  // each runs until it gets WM_QUIT
};

constexpr wchar_t kOwnerClass[] = L"ZvHoldOwner";
constexpr wchar_t kImeWindowClass[] = L"UIKPMT";

struct WindowRequest {
  const wchar_t* title;
  HANDLE created;  // set once both windows exist (or could not be made)
  bool ok;
};

bool RegisterWindowClasses() {
  static bool registered = false;
  if (registered) return true;
  WNDCLASSW window_class = {};
  window_class.lpfnWndProc = DefWindowProcW;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  window_class.lpszClassName = kOwnerClass;
  if (!RegisterClassW(&window_class)) return false;
  window_class.lpszClassName = kImeWindowClass;
  registered = RegisterClassW(&window_class) != 0;
  return registered;
}

DWORD WINAPI ServeWindows(LPVOID parameter) {
  auto* request = static_cast<WindowRequest*>(parameter);
  HWND owner = CreateWindowExW(0, kOwnerClass, request->title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10,
                               10, 200, 80, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  HWND ime = owner == nullptr ? nullptr
                              : CreateWindowExW(0, kImeWindowClass, L"", WS_POPUP, 0, 0, 10, 10,
                                                owner, nullptr, GetModuleHandleW(nullptr), nullptr);
  request->ok = ime != nullptr;
  SetEvent(request->created);
  if (!request->ok) return 1;
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  DestroyWindow(ime);
  DestroyWindow(owner);
  return 0;
}

bool HoldWindow(const wchar_t* title, Holdings* holdings) {
  if (!RegisterWindowClasses()) return false;
  WindowRequest request = {title, CreateEventW(nullptr, TRUE, FALSE, nullptr), false};
  e2e::UniqueHandle created(request.created);
  DWORD thread_id = 0;
  e2e::UniqueHandle thread(CreateThread(nullptr, 0, ServeWindows, &request, 0, &thread_id));
  if (!thread.Valid() || !created.Valid()) return false;
  HANDLE either[] = {request.created, thread.Get()};
  WaitForMultipleObjects(2, either, FALSE, INFINITE);
  if (!request.ok) return false;
  holdings->window_threads.push_back(thread_id);
  return true;
}

bool HoldMutex(const wchar_t* name, Holdings* holdings) {
  e2e::UniqueHandle mutex(CreateMutexW(nullptr, FALSE, name));
  if (!mutex.Valid()) return false;
  holdings->files.push_back(std::move(mutex));
  return true;
}

bool HoldMapping(const wchar_t* name, Holdings* holdings) {
  e2e::UniqueHandle mapping(
      CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, name));
  if (!mapping.Valid()) return false;
  holdings->files.push_back(std::move(mapping));
  return true;
}

void ReleaseWindows(const Holdings& holdings) {
  for (DWORD thread : holdings.window_threads) PostThreadMessageW(thread, WM_QUIT, 0, 0);
  // Let the threads destroy their windows before the process ends.
  Sleep(200);
}

bool HoldModule(const wchar_t* path, Holdings* holdings) {
  e2e::UniqueModule module(LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE));
  if (!module.Valid()) return false;
  holdings->modules.push_back(std::move(module));
  return true;
}

bool HoldFile(const wchar_t* path, DWORD access, DWORD sharing, Holdings* holdings) {
  e2e::UniqueHandle file(
      CreateFileW(path, access, sharing, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return false;
  holdings->files.push_back(std::move(file));
  return true;
}

// Holds `path` the way `how` names; returns false with the error in GetLastError().
bool Hold(const std::wstring& how, const wchar_t* path, Holdings* holdings) {
  if (how == L"module") return HoldModule(path, holdings);
  if (how == L"window") return HoldWindow(path, holdings);
  if (how == L"mapping") return HoldMapping(path, holdings);
  if (how == L"mutex") return HoldMutex(path, holdings);
  if (how == L"open") {
    return HoldFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, holdings);
  }
  return HoldFile(path, GENERIC_READ | GENERIC_WRITE, 0, holdings);
}

bool ValidArguments(int argc, wchar_t** argv) {
  if (argc < 3 || argc % 2 == 0) return false;
  for (int i = 1; i < argc; i += 2) {
    const std::wstring how = argv[i];
    if (how != L"module" && how != L"open" && how != L"exclusive" && how != L"window" &&
        how != L"mapping" && how != L"mutex") {
      return false;
    }
  }
  return true;
}

void WaitForStop() {
  e2e::StdinLines lines;
  std::string line;
  while (lines.Next(&line) && line != "stop") {
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (!ValidArguments(argc, argv)) {
    e2e::EmitLine(
        e2e::JsonObject()
            .Text("event", "error")
            .Text("message",
                  "usage: zvhold.exe module|open|exclusive|window|mapping|mutex <path> ...")
            .Finish());
    return 1;
  }
  Holdings holdings;
  for (int i = 1; i < argc; i += 2) {
    if (!Hold(argv[i], argv[i + 1], &holdings)) {
      e2e::EmitLine(e2e::JsonObject()
                        .Text("event", "error")
                        .Text("path", std::wstring(argv[i + 1]))
                        .Number("code", GetLastError())
                        .Finish());
      return 2;
    }
    e2e::EmitLine(
        e2e::JsonObject().Text("event", "held").Text("path", std::wstring(argv[i + 1])).Finish());
  }
  e2e::EmitLine(e2e::JsonObject().Text("event", "ready").Finish());
  WaitForStop();
  ReleaseWindows(holdings);
  holdings = Holdings();
  e2e::EmitLine(e2e::JsonObject().Text("event", "released").Finish());
  return 0;
}
