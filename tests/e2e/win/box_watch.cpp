// zvboxwatch.exe: reports every dialog box that appears in this Wine prefix and clicks
// buttons on request, so that a test can see and answer a program's message boxes.
//
// Output, one JSON object per line:
//   {"event":"ready","acp":N,"oemcp":N}                watching has begun; the code pages
//                                                      Wine gave the processes of this prefix
//   {"event":"box","window":"0x...","owner":"0x0","process_id":N,"process":"x.exe",
//    "caption":"...","text":"...","buttons":["ok"]}    a dialog box became visible
//   {"event":"gone","window":"0x..."}                  that box was destroyed or hidden
//   {"event":"pressed","window":"0x...","button":"ok"} a requested click was posted
//   {"event":"error","command":"...","message":"..."}  a request could not be done
// Input, one command per line:
//   press <window in hex> <button name>                click that button of that box
//   quit                                               end the watcher (so does end of input)
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "dialog_boxes.h"
#include "handles.h"
#include "json_lines.h"
#include "stdin_lines.h"

namespace {

constexpr DWORD kScanIntervalMs = 25;

std::uint64_t WindowNumber(HWND window) {
  return static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(window));
}

void ReportBox(const e2e::DialogBox& box) {
  std::vector<std::string> buttons;
  for (int id : box.buttons) buttons.push_back(e2e::ButtonName(id));
  e2e::EmitLine(e2e::JsonObject()
                    .Text("event", "box")
                    .HexNumber("window", WindowNumber(box.window))
                    .HexNumber("owner", WindowNumber(box.owner))
                    .Number("process_id", box.process_id)
                    .Text("process", box.process_name)
                    .Text("caption", box.caption)
                    .Text("text", box.text)
                    .TextList("buttons", buttons)
                    .Finish());
}

void ReportError(const std::string& command, const std::string& message) {
  e2e::EmitLine(e2e::JsonObject()
                    .Text("event", "error")
                    .Text("command", command)
                    .Text("message", message)
                    .Finish());
}

// Splits a command line into its blank-separated words.
std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  size_t start = 0;
  while (start < line.size()) {
    const size_t end = std::min(line.find(' ', start), line.size());
    if (end > start) words.push_back(line.substr(start, end - start));
    start = end + 1;
  }
  return words;
}

void HandlePress(const std::string& command, const std::vector<std::string>& words) {
  if (words.size() != 3) {
    ReportError(command, "usage: press <window> <button>");
    return;
  }
  HWND window = reinterpret_cast<HWND>(
      static_cast<std::uintptr_t>(std::strtoull(words[1].c_str(), nullptr, 16)));
  const int id = e2e::ButtonId(words[2]);
  std::string error;
  if (id == 0) {
    ReportError(command, "unknown button name");
  } else if (!e2e::PressButton(window, id, &error)) {
    ReportError(command, error);
  } else {
    e2e::EmitLine(e2e::JsonObject()
                      .Text("event", "pressed")
                      .HexNumber("window", WindowNumber(window))
                      .Text("button", words[2])
                      .Finish());
  }
}

// Runs the commands of standard input; ends the process at "quit" or end of input.
DWORD WINAPI CommandLoop(LPVOID) {
  e2e::StdinLines lines;
  std::string line;
  while (lines.Next(&line)) {
    const std::vector<std::string> words = Words(line);
    if (words.empty()) continue;
    if (words[0] == "quit") break;
    if (words[0] == "press") {
      HandlePress(line, words);
    } else {
      ReportError(line, "unknown command");
    }
  }
  ExitProcess(0);
}

// Reports boxes that became visible since the last scan and those that went away.
// Every box the installer shows has a caption: one that is visible before its
// caption could be read (its thread still setting it up) waits for the next scan.
void Scan(std::vector<HWND>* known) {
  const std::vector<HWND> visible = e2e::VisibleDialogBoxes();
  for (HWND window : *known) {
    if (std::find(visible.begin(), visible.end(), window) == visible.end()) {
      e2e::EmitLine(e2e::JsonObject()
                        .Text("event", "gone")
                        .HexNumber("window", WindowNumber(window))
                        .Finish());
    }
  }
  std::vector<HWND> seen;
  for (HWND window : visible) {
    if (std::find(known->begin(), known->end(), window) != known->end()) {
      seen.push_back(window);
      continue;
    }
    const e2e::DialogBox box = e2e::DescribeDialogBox(window);
    if (box.caption.empty()) continue;
    ReportBox(box);
    seen.push_back(window);
  }
  *known = seen;
}

}  // namespace

int wmain() {
  e2e::UniqueHandle commands(CreateThread(nullptr, 0, CommandLoop, nullptr, 0, nullptr));
  if (!commands.Valid()) {
    ReportError("", "cannot start the command thread");
    return 1;
  }
  e2e::EmitLine(e2e::JsonObject()
                    .Text("event", "ready")
                    .Number("acp", GetACP())
                    .Number("oemcp", GetOEMCP())
                    .Finish());
  std::vector<HWND> known;
  for (;;) {
    Scan(&known);
    Sleep(kScanIntervalMs);
  }
}
