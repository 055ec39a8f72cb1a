#include "system/option_record.h"

#include <algorithm>
#include <string>

#include "package/file_io.h"
#include "state/package_state.h"
#include "state/run_state.h"
#include "state/wizard_state.h"
#include "system/install_locations.h"

namespace zv {
namespace {

// When a run of the record's bytes is set.
enum class Applies {
  kDefault,        // in the record an IME starts from when it has none
  kEveryInstall,   // by every install
  kCodePage950,    // when the installer runs under code page 950
  kPinyinEdition,  // when the Pinyin edition is installed
};

// Bytes [first, last] of the record set to `value`.
struct ByteRun {
  Applies applies;
  size_t first;
  size_t last;
  uint8_t value;
};

// The two bytes that carry the status window's mode.
constexpr size_t kWindowModeFirstOffset = 0;
constexpr size_t kWindowModeSecondOffset = 21;
// The byte that an install under code page 950 sets.
constexpr size_t kCodePage950Offset = 15;

// Every byte the installer sets, by when it sets it, in the order written
// (offset 36 is set by every install and cleared again for the Pinyin edition).
// clang-format off
constexpr ByteRun kOptionBytes[] = {
    {Applies::kDefault, 8, 8, 54}, {Applies::kDefault, 9, 10, 1}, {Applies::kDefault, 12, 12, 1},
    {Applies::kDefault, kCodePage950Offset, kCodePage950Offset, 1},
    {Applies::kDefault, 19, 19, 1}, {Applies::kDefault, 22, 22, 1}, {Applies::kDefault, 24, 24, 1},
    {Applies::kDefault, 36, 36, 1}, {Applies::kDefault, 41, 41, 1}, {Applies::kDefault, 43, 43, 1},
    {Applies::kDefault, 54, 54, 1}, {Applies::kDefault, 58, 58, 1},

    {Applies::kCodePage950, kCodePage950Offset, kCodePage950Offset, 1},

    {Applies::kEveryInstall, 62, 63, 0}, {Applies::kEveryInstall, 1, 1, 1},
    {Applies::kEveryInstall, 43, 43, 1}, {Applies::kEveryInstall, 54, 54, 0},
    {Applies::kEveryInstall, 36, 36, 1},

    {Applies::kPinyinEdition, 19, 19, 1}, {Applies::kPinyinEdition, 22, 22, 0},
    {Applies::kPinyinEdition, 25, 25, 1}, {Applies::kPinyinEdition, 27, 35, 0},
    {Applies::kPinyinEdition, 66, 69, 0}, {Applies::kPinyinEdition, 36, 36, 0},
    {Applies::kPinyinEdition, 42, 42, 0}, {Applies::kPinyinEdition, 75, 75, 1},
    {Applies::kPinyinEdition, 80, 80, 10},
};
// clang-format on

// The window mode's two bytes for each mode; any other mode gives the
// first row's.
struct WindowModeBytes {
  int mode;
  uint8_t first;
  uint8_t second;
};
constexpr WindowModeBytes kWindowModeBytes[] = {{1, 0, 0}, {2, 1, 0}, {3, 4, 1}, {4, 3, 1}};

void ApplyRuns(Applies applies, OptionRecord& r) {
  for (const ByteRun& run : kOptionBytes) {
    if (run.applies != applies) continue;
    for (size_t offset = run.first; offset <= run.last; ++offset) r[offset] = run.value;
  }
}

void ApplyWindowMode(int mode, OptionRecord& r) {
  const WindowModeBytes* bytes = &kWindowModeBytes[0];
  for (const WindowModeBytes& row : kWindowModeBytes) {
    if (row.mode == mode) bytes = &row;
  }
  r[kWindowModeFirstOffset] = bytes->first;
  r[kWindowModeSecondOffset] = bytes->second;
}

}  // namespace

OptionRecord DefaultOptionRecord() {
  OptionRecord r{};
  ApplyRuns(Applies::kDefault, r);
  return r;
}

void AdjustOptionRecord() {
  // The user's own record stays: kept with the old data (restored later),
  // or left in place by the extraction because the backup could not take it.
  if (BackupState == kBackupKeepOldData || OptionRecordKept == 1) return;
  const std::string path = InstallDir.str() + entries::kOptionRecord;
  OptionRecord record = DefaultOptionRecord();
  std::string stored;
  if (ReadFileBytes(path, kOptionRecordSize, &stored)) {
    std::copy(stored.begin(), stored.end(), record.begin());
  }
  if (UiCodePage == 950) ApplyRuns(Applies::kCodePage950, record);
  ApplyRuns(Applies::kEveryInstall, record);
  if (EditionFlag == 1) ApplyRuns(Applies::kPinyinEdition, record);
  ApplyWindowMode(WindowMode, record);
  WriteFileBytes(path,
                 std::string_view(reinterpret_cast<const char*>(record.data()), record.size()));
}

}  // namespace zv
