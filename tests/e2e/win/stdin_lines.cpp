#include "stdin_lines.h"

namespace e2e {

bool StdinLines::Next(std::string* line) {
  for (;;) {
    const size_t end = pending_.find('\n');
    if (end != std::string::npos) {
      *line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      if (!line->empty() && line->back() == '\r') line->pop_back();
      return true;
    }
    char buffer[256];
    DWORD read = 0;
    if (!ReadFile(input_, buffer, sizeof buffer, &read, nullptr) || read == 0) return false;
    pending_.append(buffer, read);
  }
}

}  // namespace e2e
