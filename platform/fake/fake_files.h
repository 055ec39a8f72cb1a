// The fake machine's file system: drives, case-insensitive 8-bit paths,
// attributes, open handles with sharing modes, files loaded as modules,
// WOW64 redirection of the system folder, a disk that fills up.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/fake/fake_paths.h"
#include "platform/fake/file_node.h"
#include "platform/fake/machine_state.h"
#include "platform/file_system.h"
#include "platform/win_constants.h"

namespace zv::fake {

class FakeFile;

// A file or folder as FakeFileSystem::ListTree gives it.
struct TreeEntry {
  std::string path;           // the directory's path joined with the names below it
  uint32_t attributes;        // as GetFileAttributesA reports them
  std::vector<uint8_t> data;  // a file's bytes; empty for a folder
};

class FakeFileSystem : public platform::FileSystem {
 public:
  explicit FakeFileSystem(MachineState& state);
  ~FakeFileSystem() override;
  FakeFileSystem(const FakeFileSystem&) = delete;
  FakeFileSystem& operator=(const FakeFileSystem&) = delete;

  // platform::FileSystem
  std::unique_ptr<platform::File> CreateFileA(const std::string& path, uint32_t access,
                                              uint32_t share, uint32_t disposition,
                                              uint32_t flags) override;
  bool DeleteFileA(const std::string& path) override;
  bool MoveFileA(const std::string& from, const std::string& to) override;
  bool CopyFileA(const std::string& from, const std::string& to, bool failIfExists) override;
  uint32_t GetFileAttributesA(const std::string& path) override;
  bool SetFileAttributesA(const std::string& path, uint32_t attributes) override;
  bool CreateDirectoryA(const std::string& path) override;
  // Wildcards as the system's: '?' is one character, '*' any run of them, and
  // a pattern ending in ".*" also matches names without a dot ("*.*" is all).
  // Names compare without regard to ASCII case. Faults: "FindFirstFileA".
  bool FindFilesA(const std::string& pattern, std::vector<std::string>* names) override;
  // Keeps the full path, without redirection, as the current directory.
  // Faults: "SetCurrentDirectoryA".
  bool SetCurrentDirectoryA(const std::string& path) override;
  uint32_t GetDriveTypeA(const std::string& root) override;
  bool DisableFsRedirection(void** oldValue) override;
  bool RevertFsRedirection(void* oldValue) override;
  uint32_t LastError() override;

  // Machine settings that belong to the file system.
  // Sets the GetDriveTypeA value of `letter`; kDriveNoRootDir removes the drive.
  void SetDriveType(char letter, uint32_t type);
  void SetCurrentDirectory(const std::string& path);
  const std::string& CurrentDirectory() const { return state_.settings.currentDir; }
  // Whether the process is a 32-bit one on 64-bit Windows (redirection applies).
  void SetWow64(bool wow64);

  // Test-facing access. Paths are taken as they are: no redirection and no
  // injected faults. Relative paths start from the current directory.

  // Creates or replaces a file, creating missing parent directories. False
  // when the path is invalid, its drive is missing or a file is in the way.
  bool AddFile(const std::string& path, const std::string& bytes,
               uint32_t attributes = win::kAttributeArchive);
  bool AddFile(const std::string& path, const std::vector<uint8_t>& bytes,
               uint32_t attributes = win::kAttributeArchive);
  // Creates a directory and its missing parents.
  bool AddDirectory(const std::string& path);
  // Removes a file or a whole directory, open or not.
  bool RemovePath(const std::string& path);
  std::optional<std::vector<uint8_t>> ReadFile(const std::string& path) const;
  std::optional<std::string> ReadText(const std::string& path) const;
  bool Exists(const std::string& path) const;
  // As GetFileAttributesA would say, kInvalidFileAttributes when missing.
  uint32_t Attributes(const std::string& path) const;
  // Gives a file or directory the attribute bits the system would report
  // besides the directory bit, those SetFileAttributesA cannot set
  // (compressed, not indexed) included. False when the path is missing.
  bool SetStoredAttributes(const std::string& path, uint32_t attributes);
  // Names in a directory, in case-insensitive order; empty when it is missing.
  std::vector<std::string> ListDirectory(const std::string& path) const;
  // Everything below a directory, each folder followed by what it holds,
  // names in case-insensitive order; empty when the directory is missing.
  // One walk of the tree, for pictures of a whole disk.
  std::vector<TreeEntry> ListTree(const std::string& path) const;
  // Opens the file or directory as another program would and keeps it open
  // until ReleaseHandle. Returns a handle number, 0 when the open fails
  // (LastError() says why).
  uint32_t OpenHandle(const std::string& path, uint32_t access, uint32_t share);
  bool ReleaseHandle(uint32_t handle);
  // LoadLibraryEx of the file by another program: it cannot be deleted or
  // written while loaded, but it can be renamed (the module follows it).
  bool LoadModule(const std::string& path);
  bool UnloadModule(const std::string& path);
  bool IsModuleLoaded(const std::string& path) const;
  // Writes fail with ERROR_DISK_FULL once `bytes` more bytes have been written.
  void SetDiskFullAfter(uint64_t bytes);
  void ClearDiskFull();
  // The bytes the disk still takes; empty while it is not limited.
  std::optional<uint64_t> DiskSpaceLeft() const { return diskSpace_; }
  // Files the code under test holds open (test handles not counted).
  size_t OpenFileCount() const;
  // Redirection state of the thread and how often it was switched.
  bool RedirectionDisabled() const { return state_.redirectionDisabled; }
  int RedirectionDisables() const { return disables_; }
  int RedirectionReverts() const { return reverts_; }
  // How often GetDriveTypeA was asked (it has no injectable faults).
  int DriveTypeQueries() const { return driveTypeQueries_; }

  // For the other services of the machine: the node at `path`, redirected
  // as the thread's calls are when `redirect` is set; null with `*error` set
  // when missing.
  std::shared_ptr<FileNode> FindNode(const std::string& path, bool redirect, uint32_t* error);
  uint32_t CodePage() const { return state_.settings.ansiCodePage; }
  // For the machine that starts as a copy of another: the drives' trees
  // become copies of `other`'s (what is open or loaded there is not copied).
  // The drive types are settings of the machine, copied with them. The copy
  // is taken at the first call that looks at a drive, so that a machine
  // whose disks are never used never pays for it; `other` must stay as it
  // is until then.
  void CopyDrivesFrom(const FakeFileSystem& other);

 private:
  friend class FakeFile;

  struct Lookup {
    uint32_t error = 0;  // 0, or why the parent cannot be reached
    std::shared_ptr<FileNode> parent;
    std::shared_ptr<FileNode> node;  // null when the name is free
    std::string leaf;
  };
  struct Opened {
    std::shared_ptr<FileNode> node;
    OpenRecord record;
  };

  uint32_t Parse(const std::string& path, bool redirect, ParsedPath* out) const;
  void Redirect(ParsedPath* path) const;
  std::shared_ptr<FileNode> Root(char drive) const;
  Lookup Find(const ParsedPath& path) const;
  std::shared_ptr<FileNode> MakeNode(const std::shared_ptr<FileNode>& parent,
                                     const std::string& name, bool directory, uint32_t attributes);
  std::shared_ptr<FileNode> MakeDirectories(const ParsedPath& path);

  // CreateFile's semantics on a parsed path; null with the error recorded.
  std::optional<Opened> Open(const ParsedPath& path, uint32_t access, uint32_t share,
                             uint32_t disposition, uint32_t flags);
  uint32_t CheckExisting(const FileNode& node, uint32_t access, uint32_t share,
                         uint32_t disposition, uint32_t flags) const;
  std::unique_ptr<FakeFile> Wrap(const Opened& opened, const std::string& path);
  uint32_t CheckMove(const Lookup& from, const Lookup& to, const ParsedPath& fromPath,
                     const ParsedPath& toPath) const;

  // Called by FakeFile.
  void Forget(FakeFile* file);
  // How many of `wanted` bytes the disk still takes; uses them up.
  uint64_t TakeDiskSpace(uint64_t wanted);

  // The drives' trees, copied first from the file system given to
  // CopyDrivesFrom if that copy is still to be taken.
  std::map<char, std::shared_ptr<FileNode>>& Roots() const;

  MachineState& state_;
  // Both change only to take the copy that CopyDrivesFrom put off.
  mutable std::map<char, std::shared_ptr<FileNode>> roots_;
  mutable const FakeFileSystem* copyOf_ = nullptr;
  std::set<FakeFile*> liveFiles_;
  std::map<uint32_t, std::unique_ptr<FakeFile>> heldHandles_;
  uint32_t nextHeldHandle_ = 1;
  uint64_t nextOpenId_ = 1;
  std::optional<uint64_t> diskSpace_;
  int disables_ = 0;
  int reverts_ = 0;
  int driveTypeQueries_ = 0;
};

}  // namespace zv::fake
