// zvpainttime.exe: times how long a windowed program takes from its start to
// its first painted window, and how long one repaint of that window takes.
//
//   zvpainttime.exe <program.exe> <window class> [repaints]
//
// Starts the program, waits until a visible top-level window of the class
// belongs to it and has nothing left to paint, then asks for `repaints`
// (default 5) synchronous repaints of the whole window. Prints one JSON line:
//   {"event":"painted","start_ms":N,"repaint_ms":[N,...]}
// or {"event":"error","message":"..."}; then closes the window and waits for
// the program to end.
#include <windows.h>

#include <string>
#include <vector>

#include "json_lines.h"

namespace {

constexpr DWORD kTimeoutMs = 30000;

struct Search {
  DWORD processId;
  const wchar_t* className;
  HWND found;
};

BOOL CALLBACK FindWindowOfProcess(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t name[128] = {};
  GetClassNameW(window, name, 128);
  if (owner == search->processId && lstrcmpW(name, search->className) == 0 &&
      IsWindowVisible(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

int Fail(const std::string& message) {
  e2e::EmitLine(e2e::JsonObject().Text("event", "error").Text("message", message).Finish());
  return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return Fail("usage: zvpainttime.exe PROGRAM CLASS [REPAINTS]");
  const int repaints = argc > 3 ? _wtoi(argv[3]) : 5;
  std::wstring commandLine = L"\"" + std::wstring(argv[1]) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  LARGE_INTEGER started;
  QueryPerformanceCounter(&started);
  if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return Fail("the program did not start");
  }
  Search search{process.dwProcessId, argv[2], nullptr};
  LARGE_INTEGER painted{};
  for (DWORD waited = 0; waited < kTimeoutMs; waited += 1, Sleep(1)) {
    if (search.found == nullptr)
      EnumWindows(FindWindowOfProcess, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr && !GetUpdateRect(search.found, nullptr, FALSE)) {
      QueryPerformanceCounter(&painted);
      break;
    }
  }
  if (painted.QuadPart == 0) return Fail("no painted window of that class appeared");
  std::vector<double> times;
  for (int i = 0; i < repaints; ++i) {
    LARGE_INTEGER before;
    LARGE_INTEGER after;
    QueryPerformanceCounter(&before);
    // Synchronous: WM_PAINT is sent to the window's thread and handled before
    // this returns.
    RedrawWindow(search.found, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    QueryPerformanceCounter(&after);
    times.push_back(Milliseconds(before, after));
  }
  std::string list = "[";
  for (size_t i = 0; i < times.size(); ++i) {
    list += (i ? "," : "") + std::to_string(static_cast<long long>(times[i] * 1000) / 1000.0);
  }
  list += "]";
  const std::string startMs = std::to_string(Milliseconds(started, painted));
  e2e::EmitLine("{\"event\":\"painted\",\"start_ms\":" + startMs + ",\"repaint_ms\":" + list + "}");
  PostMessageW(search.found, WM_CLOSE, 0, 0);
  WaitForSingleObject(process.hProcess, kTimeoutMs);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return 0;
}
