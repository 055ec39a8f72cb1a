// Finding, reading and answering the dialog boxes (message boxes) of other processes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// What a test needs to know about one dialog box on the screen.
struct DialogBox {
  HWND window = nullptr;
  HWND owner = nullptr;       // the owner window; null for a box shown without owner
  DWORD process_id = 0;       // the Windows process that shows the box
  std::wstring process_name;  // that process's file name, without its folder
  std::wstring caption;       // the window title
  std::wstring text;          // the text of the message box's static control
  std::vector<int> buttons;   // the visible buttons' command ids (IDOK, IDYES, ...)
};

// Every visible top-level window of the dialog class "#32770".
std::vector<HWND> VisibleDialogBoxes();

// Reads caption, text, owner, process and buttons of the dialog box `window`.
DialogBox DescribeDialogBox(HWND window);

// The lower-case name of a message box button ("ok", "yes", "no", ...), or "" for none.
const char* ButtonName(int id);

// The command id of the button called `name`, or 0 for an unknown name.
int ButtonId(const std::string& name);

// Clicks button `id` of the dialog box `window`; on failure returns false and says why.
bool PressButton(HWND window, int id, std::string* error);

}  // namespace e2e
