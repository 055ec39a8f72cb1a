// Reports of the test helpers: one JSON object per line on standard output.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

// Converts UTF-16 text to UTF-8.
std::string ToUtf8(const std::wstring& text);

// Builds one JSON object; keys are plain ASCII, strings are escaped.
class JsonObject {
 public:
  JsonObject& Text(const char* key, const std::string& utf8);
  JsonObject& Text(const char* key, const std::wstring& text);
  JsonObject& Number(const char* key, std::uint64_t value);
  JsonObject& HexNumber(const char* key, std::uint64_t value);
  JsonObject& TextList(const char* key, const std::vector<std::string>& items);
  // The finished object, without a line end.
  std::string Finish() const;

 private:
  void Key(const char* key);
  std::string body_;
};

// Writes `line` and a line feed to standard output in one piece; safe to call from
// several threads.
void EmitLine(const std::string& line);

}  // namespace e2e
