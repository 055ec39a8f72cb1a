#include "tools/peinfo/report.h"

#include <cstdio>

#include "tools/peinfo/text.h"

namespace zv::pe {
namespace {

std::string Hex(uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%0*X", digits, value);
  return text;
}

void AppendImports(const Inspection& inspection, std::string* out) {
  *out += "imports:\n";
  for (const std::string& dll : inspection.imported_dlls) *out += "  " + dll + "\n";
  for (const std::string& dll : inspection.delay_imported_dlls) {
    *out += "  " + dll + " (delay-loaded)\n";
  }
  *out += "imported functions:\n";
  for (const ImportedFunction& function : inspection.imported_functions) {
    *out += "  " + function.dll + "!" +
            (function.by_ordinal ? "#" + std::to_string(function.ordinal) : function.name) + "\n";
  }
}

std::string FormatHeaderVersion(const HeaderVersion& version) {
  return std::to_string(version.major) + "." + std::to_string(version.minor);
}

void AppendResources(const Inspection& inspection, std::string* out) {
  *out += "resources:\n";
  for (const Resource& resource : inspection.resources) {
    *out += "  " + ResourceTypeName(resource.type) + " / " + resource.name.ToString() +
            ", language " + Hex(resource.language, 4) + ", " + std::to_string(resource.size) +
            " bytes\n";
  }
}

void AppendIcons(const Inspection& inspection, std::string* out) {
  for (const IconGroup& group : inspection.icon_groups) {
    *out += "icon group " + group.name.ToString() + ": " + std::to_string(group.images.size()) +
            " image(s)\n";
    for (const IconImage& icon : group.images) {
      *out += "  " + std::to_string(icon.width) + "x" + std::to_string(icon.height) + ", " +
              std::to_string(icon.colour_count) + " colours, " + std::to_string(icon.bit_count) +
              " bits per pixel, icon " + std::to_string(icon.icon_id);
      if (!icon.image_found) {
        *out += " (image missing)";
      } else if (icon.png) {
        *out += " (PNG)";
      } else {
        *out += " (DIB " + std::to_string(icon.dib_width) + "x" + std::to_string(icon.dib_height) +
                ", " + std::to_string(icon.dib_bit_count) + " bits)";
      }
      *out += "\n";
    }
  }
}

void AppendVersion(const Inspection& inspection, std::string* out) {
  if (!inspection.version) return;
  const VersionInfo& version = *inspection.version;
  *out += "file version: " + FormatVersion(version.fixed.file_version) + "\n";
  *out += "product version: " + FormatVersion(version.fixed.product_version) + "\n";
  for (const VersionStringTable& table : version.string_tables) {
    *out += "version strings " + Utf8FromUtf16(table.key) + ":\n";
    for (const auto& [key, value] : table.strings) {
      *out += "  " + Utf8FromUtf16(key) + " = " + Utf8FromUtf16(value) + "\n";
    }
  }
  for (const auto& [language, code_page] : version.translations) {
    *out += "translation: " + Hex(language, 4) + " " + std::to_string(code_page) + "\n";
  }
}

}  // namespace

std::string FormatReport(const Inspection& inspection) {
  std::string out;
  out += "machine: " + MachineName(inspection.image.machine) + "\n";
  out += "subsystem: " + SubsystemName(inspection.image.subsystem) + "\n";
  out += "subsystem version: " + FormatHeaderVersion(inspection.image.subsystem_version) + "\n";
  out += "os version: " + FormatHeaderVersion(inspection.image.os_version) + "\n";
  out += "time stamp: " + std::to_string(inspection.image.time_stamp) + "\n";
  AppendImports(inspection, &out);
  AppendResources(inspection, &out);
  if (inspection.manifest) out += "manifest:\n" + *inspection.manifest + "\n";
  AppendIcons(inspection, &out);
  AppendVersion(inspection, &out);
  for (const std::string& problem : inspection.problems) out += "problem: " + problem + "\n";
  return out;
}

}  // namespace zv::pe
