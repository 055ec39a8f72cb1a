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

void ApplyCommonOptions(OptionRecord& r) {
  if (UiCodePage == 950) r[15] = 1;
  r[62] = 0;
  r[63] = 0;
  r[1] = 1;
  r[43] = 1;
  r[54] = 0;
  r[36] = 1;
}

void ApplyPinyinEdition(OptionRecord& r) {
  r[19] = 1;
  r[22] = 0;
  r[25] = 1;
  for (size_t i = 27; i <= 35; ++i) r[i] = 0;
  for (size_t i = 66; i <= 69; ++i) r[i] = 0;
  r[36] = 0;
  r[42] = 0;
  r[75] = 1;
  r[80] = 10;
}

void ApplyWindowMode(OptionRecord& r) {
  switch (WindowMode) {
    case 2:
      r[0] = 1;
      r[21] = 0;
      break;
    case 3:
      r[0] = 4;
      r[21] = 1;
      break;
    case 4:
      r[0] = 3;
      r[21] = 1;
      break;
    default:
      r[0] = 0;
      r[21] = 0;
      break;
  }
}

}  // namespace

OptionRecord DefaultOptionRecord() {
  OptionRecord r{};
  r[8] = 54;
  for (size_t offset : {9, 10, 12, 15, 19, 22, 24, 36, 41, 43, 54, 58}) r[offset] = 1;
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
  ApplyCommonOptions(record);
  if (EditionFlag == 1) ApplyPinyinEdition(record);
  ApplyWindowMode(record);
  WriteFileBytes(path,
                 std::string_view(reinterpret_cast<const char*>(record.data()), record.size()));
}

}  // namespace zv
