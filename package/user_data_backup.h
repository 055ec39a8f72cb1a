// The backup archive of the user's data: the data files of an earlier
// installation packed, before anything is installed, into "zavoback.zvz" in
// that installation's directory, in the digest layout (container_format.h).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zv {

inline constexpr char kBackupArchiveName[] = "zavoback.zvz";
// Longest file name a backup record takes (its 16-byte field keeps a NUL).
inline constexpr size_t kBackupNameLimit = 12;

// Appends the file at `filePath` (8-bit path) to the digest-layout archive at
// `archivePath` as one record named by the part of the path behind its last
// backslash, creating the archive (header "C0", end offset 10, count 0) when
// it does not exist. The record is the zero-filled 56-byte header ("CF", the
// name, the digest text of the content, its stream size) and the stream of
// zlib's compress at its default level, however large it comes out. The
// archive is walked by its record headers, so that an addition costs what
// its own record costs. The header's count and end offset are rewritten
// only once the record is written in full. Returns 1 on success; 0, adding
// nothing, when the path is empty, the name is empty or longer than 12
// bytes, the name is already in the archive (compared exactly), the archive
// is no complete digest-layout container (trailing bytes included) or cannot
// be opened, read or written, the file cannot be read, or the archive would
// pass 4 GiB. A record that cannot be written in full is cut off again, and
// the header put back, so that the archive stays whole for later additions.
int AddFileToArchive(const std::string& archivePath, const std::string& filePath);

// The same, with the record named `name` whatever the path's own name.
int AddFileAs(const std::string& archivePath, const std::string& filePath, std::string_view name);

// Packs the user's data files of the earlier installation in `earlierDir`.
// Does nothing at all and returns 0 unless `earlierDir` is a directory on a
// drive ("X:\...\", at most 199 bytes, as an install directory). Otherwise
// deletes its "zavoback.zvz" and packs, in this order: zavopyck.bak
// (EditionFlag 1) or zavocyzk.bak, zvszsj43.bak, cfontset.bak, cwbzlcz1.bak, zvwbcmxz.bak,
// zvdhzcm.bak, zavodhz.bak, zvgbkhz.bak (each first copied over from its
// .zvh; when the copy fails the .zvh itself is packed under the .bak name,
// and an older .bak only when the .zvh cannot be read), zvszsj43.zvh,
// zavodwdw.txt, zavozdym.zvh, zvpyzdym.zvh, zvwbpy.txt, zavoynhz.txt,
// zavozdfh.zvh, then, each attempted whatever became of the others,
// userck.txt, delck.txt, ftzvzdym.txt, ftpyzdym.txt, cwb.ov1 (EditionFlag 0
// only), zavopymb.ov1, zvgbkbh.zvh, zvszsj05.zvh, zvszsj06.zvh. Returns 0 at
// the first of the first fifteen that cannot be packed, 1 when they all were.
// The user's files are only read; only the .bak copies and the archive are
// written. A row that could not be packed although the user's file exists
// (its .zvh for the .bak rows) sets UserDataUnsaved. InstallDir is neither
// read nor changed; the caller sets BackupState from the result.
int BackupUserData(std::string_view earlierDir);

// Whether `name` (compared ignoring ASCII case) is one of the user's data
// files the backup takes: a packed name or the .zvh a .bak is copied from.
bool IsUserDataFile(std::string_view name);

// Whether `directory` names a directory on a drive to which file names can be
// appended: a letter, ":\" and a text ending with a backslash. What an
// earlier install recorded is such a text; an empty one means none.
bool IsDriveDirectory(std::string_view directory);

}  // namespace zv
