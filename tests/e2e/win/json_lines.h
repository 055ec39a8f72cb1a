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
  JsonObject& Integers(const char* key, const std::vector<long long>& values);
  JsonObject& Integer(const char* key, long long value);
  JsonObject& Boolean(const char* key, bool value);
  // `json` must already be one valid JSON value (an object or a list of them).
  JsonObject& Raw(const char* key, const std::string& json);
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
