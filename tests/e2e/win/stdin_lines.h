// Line-by-line reading of the commands a test sends on standard input.
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

// Reads standard input one line at a time; line ends (LF or CRLF) are dropped.
class StdinLines {
 public:
  StdinLines() : input_(GetStdHandle(STD_INPUT_HANDLE)) {}

  // Stores the next line in `line`; returns false at the end of input or on a read error.
  bool Next(std::string* line);

 private:
  HANDLE input_;  // not owned: the process's standard input
  std::string pending_;
};

}  // namespace e2e
