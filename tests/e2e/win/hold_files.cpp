// zvhold.exe: keeps files in use until told to stop, so that a test can check how a
// program treats files that another process holds.
//
//   zvhold.exe <how> <path> [<how> <path> ...]
//
// <how> is one of
//   module     mapped as an image (LoadLibraryExW as image resource), as Windows does for a
//              loaded DLL or IME: the file can be renamed but not deleted
//   open       opened for reading, shared for reading and writing but not for deletion:
//              it can be neither deleted nor renamed
//   exclusive  opened for reading and writing without any sharing
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
};

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
  if (how == L"open") {
    return HoldFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, holdings);
  }
  return HoldFile(path, GENERIC_READ | GENERIC_WRITE, 0, holdings);
}

bool ValidArguments(int argc, wchar_t** argv) {
  if (argc < 3 || argc % 2 == 0) return false;
  for (int i = 1; i < argc; i += 2) {
    const std::wstring how = argv[i];
    if (how != L"module" && how != L"open" && how != L"exclusive") return false;
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
    e2e::EmitLine(e2e::JsonObject()
                      .Text("event", "error")
                      .Text("message", "usage: zvhold.exe module|open|exclusive <path> ...")
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
  holdings = Holdings();
  e2e::EmitLine(e2e::JsonObject().Text("event", "released").Finish());
  return 0;
}
