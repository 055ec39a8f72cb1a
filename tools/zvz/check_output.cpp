#include "tools/zvz/check_output.h"

#include <cstdio>

#include "platform/text_codec.h"
#include "tools/zvz/console.h"

namespace zv::zvz {
namespace {

const char* SeverityWord(Severity severity) {
  switch (severity) {
    case Severity::kError:
      return "error";
    case Severity::kWarning:
      return "warning";
  }
  return "?";
}

// A JSON string of 8-bit ANSI text.
std::string JsonString(const std::string& ansi) {
  const std::u16string text = platform::Codec().MultiByteToWideChar(ansi);
  std::string out = "\"";
  for (const char16_t c : text) {
    if (c == u'"' || c == u'\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char escape[8];
      std::snprintf(escape, sizeof(escape), "\\u%04x", static_cast<unsigned>(c));
      out += escape;
    }
  }
  return out + "\"";
}

}  // namespace

void PrintFindings(const PackageReport& report, const std::string& package, const Host& host) {
  for (const Finding& finding : report.findings) {
    PrintLine(std::string(SeverityWord(finding.severity)) + ": " + host.consoleText(finding.entry) +
              ": " + host.consoleText(finding.message));
  }
  for (const auto& [entry, places] : report.stampPlaces) {
    PrintLine("stamp: " + host.consoleText(entry) + ": " + std::to_string(places) + " places");
  }
  const size_t errors = report.Count(Severity::kError);
  PrintLine(host.consoleText(package) + (errors == 0 ? ": will install" : ": will not install") +
            " (" + std::to_string(report.records) + " records, " + std::to_string(errors) +
            " errors, " + std::to_string(report.Count(Severity::kWarning)) + " warnings, " +
            std::to_string(report.installedFiles) + " files in the install directory)");
}

std::string FindingsJson(const PackageReport& report, const std::string& package) {
  std::string json = "{\"package\": " + JsonString(package) +
                     ", \"installs\": " + (report.Count(Severity::kError) == 0 ? "true" : "false") +
                     ", \"records\": " + std::to_string(report.records) +
                     ", \"installedFiles\": " + std::to_string(report.installedFiles) +
                     ", \"stampPlaces\": {";
  const char* separator = "";
  for (const auto& [entry, places] : report.stampPlaces) {
    json += separator + JsonString(entry) + ": " + std::to_string(places);
    separator = ", ";
  }
  json += "}, \"findings\": [";
  separator = "";
  for (const Finding& finding : report.findings) {
    json += std::string(separator) + "{\"severity\": \"" + SeverityWord(finding.severity) +
            "\", \"entry\": " + JsonString(finding.entry) +
            ", \"message\": " + JsonString(finding.message) + "}";
    separator = ", ";
  }
  return json + "]}";
}

}  // namespace zv::zvz
