// File system services: 8-bit (ANSI code page) paths, Windows semantics.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zv::platform {

// An open file. Closing happens when the object is destroyed.
class File {
 public:
  virtual ~File() = default;
  // Reads up to `size` bytes at the current position. Returns false on an
  // error; `*got` receives the count read (0 at the end of the file).
  virtual bool Read(void* buffer, uint32_t size, uint32_t* got) = 0;
  // Writes `size` bytes at the current position. Returns false when not all
  // bytes could be written (a full disk); `*written` says how many were.
  virtual bool Write(const void* data, uint32_t size, uint32_t* written) = 0;
  // The size of the file in bytes.
  virtual uint64_t Size() = 0;
  // Cuts the file to `size` bytes and puts the position there
  // (SetFilePointerEx and SetEndOfFile). Returns false on an error.
  virtual bool Truncate(uint64_t size) = 0;
  // Puts the position `offset` bytes from the start of the file
  // (SetFilePointerEx with FILE_BEGIN); the file is not changed. A position
  // behind the end reads nothing, and a write there fills the gap with
  // zero bytes. Returns false on an error.
  virtual bool Seek(uint64_t offset) = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // CreateFileA. Returns null on failure; LastError() then says why.
  virtual std::unique_ptr<File> CreateFileA(const std::string& path, uint32_t access,
                                            uint32_t share, uint32_t disposition,
                                            uint32_t flags) = 0;
  // DeleteFileA, MoveFileA, CopyFileA: true on success.
  virtual bool DeleteFileA(const std::string& path) = 0;
  virtual bool MoveFileA(const std::string& from, const std::string& to) = 0;
  virtual bool CopyFileA(const std::string& from, const std::string& to, bool failIfExists) = 0;
  // GetFileAttributesA: kInvalidFileAttributes when the path does not exist.
  virtual uint32_t GetFileAttributesA(const std::string& path) = 0;
  virtual bool SetFileAttributesA(const std::string& path, uint32_t attributes) = 0;
  // CreateDirectoryA: false when it exists already or the parent is missing.
  virtual bool CreateDirectoryA(const std::string& path) = 0;
  // FindFirstFileA, FindNextFileA and FindClose over `pattern`, a directory
  // followed by a name that may hold the wildcards '*' and '?' (such as
  // "C:\dir\*.*"). Fills `names` with the 8-bit name of every entry found, in
  // the order the system gives them, "." and ".." included where the
  // directory has them (every directory but a drive root). Returns false with
  // `names` empty when nothing matches (ERROR_FILE_NOT_FOUND) or the
  // directory cannot be searched; LastError() then says why.
  virtual bool FindFilesA(const std::string& pattern, std::vector<std::string>* names) = 0;
  // SetCurrentDirectoryA: true on success; false, with LastError() set, when
  // `path` is no existing directory.
  virtual bool SetCurrentDirectoryA(const std::string& path) = 0;
  // GetDriveTypeA of a root such as "d:\".
  virtual uint32_t GetDriveTypeA(const std::string& root) = 0;
  // Wow64DisableWow64FsRedirection / Wow64RevertWow64FsRedirection. Where the
  // process is not under WOW64 both succeed and change nothing.
  virtual bool DisableFsRedirection(void** oldValue) = 0;
  virtual bool RevertFsRedirection(void* oldValue) = 0;
  // The error code of the last failed call on this thread.
  virtual uint32_t LastError() = 0;
};

}  // namespace zv::platform
