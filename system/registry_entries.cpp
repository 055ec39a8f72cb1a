#include "system/registry_entries.h"

#include <cstdint>
#include <cstring>

#include "package/package_entries.h"
#include "platform/scoped_reg_key.h"
#include "platform/services.h"
#include "platform/win_constants.h"
#include "state/run_state.h"
#include "system/entry_texts.h"

namespace zv {
namespace {

using platform::kHkeyLocalMachine;
using platform::ScopedRegKey;

constexpr uint32_t kSystemDirCapacity = 100;  // characters, terminator included
constexpr char16_t kDisplayNameValue[] = u"DisplayName";
constexpr char16_t kUninstallStringValue[] = u"UninstallString";

// The UTF-16 form of an ASCII key path.
std::u16string AsciiWide(const char* text) {
  std::u16string wide;
  for (; *text != '\0'; ++text) wide.push_back(static_cast<char16_t>(*text));
  return wide;
}

// Opens `parentPath` below HKEY_LOCAL_MACHINE for reading, then creates or
// opens `subKey` below it with full access. True when both are open. The
// caller declares `parent` before `entry`, so the entry key closes first and
// both close on every return.
bool OpenEntryKeyA(const char* parentPath, const char* subKey, ScopedRegKey* parent,
                   ScopedRegKey* entry) {
  return parent->OpenA(kHkeyLocalMachine, parentPath, win::kKeyRead) == 0 &&
         entry->CreateA(parent->get(), subKey, win::kKeyAllAccess) == 0;
}

bool OpenEntryKeyW(const std::u16string& parentPath, const std::u16string& subKey,
                   ScopedRegKey* parent, ScopedRegKey* entry) {
  return parent->OpenW(kHkeyLocalMachine, parentPath, win::kKeyRead) == 0 &&
         entry->CreateW(parent->get(), subKey, win::kKeyAllAccess) == 0;
}

// REG_SZ from UTF-16 text; the byte count includes the terminating zero.
void SetStringW(const ScopedRegKey& key, const char16_t* name, const std::u16string& text) {
  const auto size = static_cast<uint32_t>((text.size() + 1) * sizeof(char16_t));
  platform::Reg().RegSetValueExW(key.get(), name, win::kRegSz, text.c_str(), size);
}

// REG_SZ from 8-bit text; the byte count includes the terminating zero.
void SetStringA(const ScopedRegKey& key, const char* name, const char* text) {
  const auto size = static_cast<uint32_t>(std::strlen(text) + 1);
  platform::Reg().RegSetValueExA(key.get(), name, win::kRegSz, text, size);
}

// The names of the user-agent tokens of versions 6.3 to 6.8, then 7.0 to
// 7.9: "kpmtMN00" with M the major and N the minor digit.
template <typename Visit>
void ForEachEarlierToken(Visit visit) {
  char name[] = "kpmt6300";
  for (char minor = '3'; minor <= '8'; ++minor) {
    name[5] = minor;
    visit(static_cast<const char*>(name));
  }
  name[4] = '7';
  for (char minor = '0'; minor <= '9'; ++minor) {
    name[5] = minor;
    visit(static_cast<const char*>(name));
  }
}

}  // namespace

void WriteUninstallEntry() {
  const std::u16string displayName =
      EditionFlag == 1 ? texts::kPinyinEditionName : texts::kShapeCodeEditionName;
  ScopedRegKey parent;
  ScopedRegKey entry;
  if (!OpenEntryKeyW(AsciiWide(kUninstallKey), AsciiWide(kUninstallSubKey), &parent, &entry)) {
    return;
  }
  SetStringW(entry, kDisplayNameValue, displayName);
  const std::u16string systemDir = platform::System().GetSystemDirectoryW(kSystemDirCapacity);
  if (systemDir.empty()) return;
  SetStringW(entry, kUninstallStringValue,
             systemDir + u"\\" + entries::WideName(entries::kUninstaller32));
}

void WriteStartupEntry(const std::string& commandLine) {
  ScopedRegKey parent;
  ScopedRegKey run;
  if (!OpenEntryKeyA(kRunParentKey, kRunSubKey, &parent, &run)) return;
  // Deleting first leaves exactly one value of this name, whatever was there.
  platform::Reg().RegDeleteValueA(run.get(), kStartupValueName);
  SetStringA(run, kStartupValueName, commandLine.c_str());
}

void MarkUserAgent() {
  ScopedRegKey parent;
  ScopedRegKey postPlatform;
  if (!OpenEntryKeyA(kUserAgentKey, kPostPlatformSubKey, &parent, &postPlatform)) return;
  ForEachEarlierToken(
      [&](const char* name) { platform::Reg().RegDeleteValueA(postPlatform.get(), name); });
  SetStringA(postPlatform, kUserAgentToken, "");
}

}  // namespace zv
