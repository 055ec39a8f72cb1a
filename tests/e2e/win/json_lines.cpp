#include "json_lines.h"

#include <windows.h>

#include <cstdio>

#include "handles.h"

namespace e2e {
namespace {

std::string Quote(const std::string& utf8) {
  std::string out = "\"";
  for (unsigned char c : utf8) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

CriticalSection& OutputLock() {
  static CriticalSection section;
  return section;
}

}  // namespace

std::string ToUtf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int size = static_cast<int>(text.size());
  const int needed =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return std::string();
  std::string out(static_cast<size_t>(needed), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), size, &out[0], needed, nullptr, nullptr);
  return out;
}

void JsonObject::Key(const char* key) {
  if (!body_.empty()) body_ += ",";
  body_ += Quote(key) + ":";
}

JsonObject& JsonObject::Text(const char* key, const std::string& utf8) {
  Key(key);
  body_ += Quote(utf8);
  return *this;
}

JsonObject& JsonObject::Text(const char* key, const std::wstring& text) {
  return Text(key, ToUtf8(text));
}

JsonObject& JsonObject::Number(const char* key, std::uint64_t value) {
  Key(key);
  body_ += std::to_string(value);
  return *this;
}

JsonObject& JsonObject::HexNumber(const char* key, std::uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
  return Text(key, std::string(text));
}

JsonObject& JsonObject::TextList(const char* key, const std::vector<std::string>& items) {
  Key(key);
  body_ += "[";
  for (size_t i = 0; i < items.size(); ++i) {
    if (i != 0) body_ += ",";
    body_ += Quote(items[i]);
  }
  body_ += "]";
  return *this;
}

JsonObject& JsonObject::Integers(const char* key, const std::vector<long long>& values) {
  Key(key);
  body_ += "[";
  for (size_t i = 0; i < values.size(); ++i) {
    if (i != 0) body_ += ",";
    body_ += std::to_string(values[i]);
  }
  body_ += "]";
  return *this;
}

JsonObject& JsonObject::Integer(const char* key, long long value) {
  Key(key);
  body_ += std::to_string(value);
  return *this;
}

JsonObject& JsonObject::Boolean(const char* key, bool value) {
  Key(key);
  body_ += value ? "true" : "false";
  return *this;
}

JsonObject& JsonObject::Raw(const char* key, const std::string& json) {
  Key(key);
  body_ += json;
  return *this;
}

std::string JsonObject::Finish() const { return "{" + body_ + "}"; }

void EmitLine(const std::string& line) {
  const std::string bytes = line + "\n";
  ScopedLock lock(OutputLock());
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD written = 0;
  WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace e2e
