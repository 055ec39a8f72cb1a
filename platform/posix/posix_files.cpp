#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/posix/posix_services.h"
#include "platform/win_constants.h"

namespace zv::platform::posix {
namespace {

thread_local uint32_t t_lastError = win::kErrorSuccess;

uint32_t WindowsErrorOf(int error) {
  switch (error) {
    case ENOENT:
      return win::kErrorFileNotFound;
    case ENOTDIR:
      return win::kErrorPathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
      return win::kErrorAccessDenied;
    case EEXIST:
      return win::kErrorFileExists;
    case ENOSPC:
      return win::kErrorDiskFull;
    case ENOTEMPTY:
      return win::kErrorDirNotEmpty;
    case ENOMEM:
      return win::kErrorNotEnoughMemory;
    default:
      return win::kErrorInvalidParameter;
  }
}

bool Fail(uint32_t error) {
  t_lastError = error;
  return false;
}
bool FailErrno() { return Fail(WindowsErrorOf(errno)); }

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

class PosixFile : public File {
 public:
  explicit PosixFile(int fd) : fd_(fd) {}

  bool Read(void* buffer, uint32_t size, uint32_t* got) override {
    *got = 0;
    ssize_t n;
    do {
      n = read(fd_.get(), buffer, size);
    } while (n < 0 && errno == EINTR);
    if (n < 0) return FailErrno();
    *got = static_cast<uint32_t>(n);
    return true;
  }
  bool Write(const void* data, uint32_t size, uint32_t* written) override {
    *written = 0;
    const auto* bytes = static_cast<const uint8_t*>(data);
    while (*written < size) {
      const ssize_t n = write(fd_.get(), bytes + *written, size - *written);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return n < 0 ? FailErrno() : Fail(win::kErrorDiskFull);
      *written += static_cast<uint32_t>(n);
    }
    return true;
  }
  uint64_t Size() override {
    struct stat info {};
    return fstat(fd_.get(), &info) == 0 ? static_cast<uint64_t>(info.st_size) : 0;
  }
  bool Truncate(uint64_t size) override {
    const auto length = static_cast<off_t>(size);
    if (ftruncate(fd_.get(), length) != 0 || lseek(fd_.get(), length, SEEK_SET) < 0) {
      return FailErrno();
    }
    return true;
  }
  bool Seek(uint64_t offset) override {
    return lseek(fd_.get(), static_cast<off_t>(offset), SEEK_SET) >= 0 || FailErrno();
  }

 private:
  FileDescriptor fd_;
};

bool StatPath(const std::string& hostPath, struct stat* info) {
  return stat(hostPath.c_str(), info) == 0;
}

bool IsReadOnly(const struct stat& info) { return (info.st_mode & S_IWUSR) == 0; }

int OpenFlags(uint32_t access, uint32_t disposition) {
  int flags = O_CLOEXEC;
  const bool reads = (access & win::kGenericRead) != 0;
  const bool writes = (access & win::kGenericWrite) != 0;
  flags |= reads && writes ? O_RDWR : writes ? O_WRONLY : O_RDONLY;
  if (disposition == win::kCreateNew) flags |= O_CREAT | O_EXCL;
  if (disposition == win::kCreateAlways) flags |= O_CREAT | O_TRUNC;
  if (disposition == win::kOpenAlways) flags |= O_CREAT;
  return flags;
}

// Windows refuses to open a directory as a file, and a read-only file for
// writing, even to an administrator; the host's root would not.
bool RefusedLikeWindows(const std::string& hostPath, uint32_t access, uint32_t flags) {
  struct stat info {};
  if (!StatPath(hostPath, &info)) return false;
  if (S_ISDIR(info.st_mode)) return (flags & win::kFileFlagBackupSemantics) == 0;
  return (access & win::kGenericWrite) != 0 && IsReadOnly(info);
}

}  // namespace

std::string HostPath(const std::string& path) {
  std::string host = path;
  for (char& c : host) {
    if (c == '\\') c = '/';
  }
  return host;
}

std::unique_ptr<File> PosixFileSystem::CreateFileA(const std::string& path, uint32_t access,
                                                   uint32_t /*share*/, uint32_t disposition,
                                                   uint32_t flags) {
  const std::string host = HostPath(path);
  if (RefusedLikeWindows(host, access, flags)) {
    Fail(win::kErrorAccessDenied);
    return nullptr;
  }
  const int fd = open(host.c_str(), OpenFlags(access, disposition), 0666);
  if (fd < 0) {
    FailErrno();
    return nullptr;
  }
  return std::make_unique<PosixFile>(fd);
}

bool PosixFileSystem::DeleteFileA(const std::string& path) {
  const std::string host = HostPath(path);
  struct stat info {};
  if (!StatPath(host, &info)) return FailErrno();
  if (S_ISDIR(info.st_mode) || IsReadOnly(info)) return Fail(win::kErrorAccessDenied);
  return unlink(host.c_str()) == 0 || FailErrno();
}

bool PosixFileSystem::MoveFileA(const std::string& from, const std::string& to) {
  const std::string target = HostPath(to);
  struct stat info {};
  if (lstat(target.c_str(), &info) == 0) return Fail(win::kErrorAlreadyExists);
  return rename(HostPath(from).c_str(), target.c_str()) == 0 || FailErrno();
}

bool PosixFileSystem::CopyFileA(const std::string& from, const std::string& to, bool failIfExists) {
  auto source = CreateFileA(from, win::kGenericRead, win::kFileShareRead, win::kOpenExisting, 0);
  if (!source) return false;
  auto target = CreateFileA(to, win::kGenericWrite, 0,
                            failIfExists ? win::kCreateNew : win::kCreateAlways, 0);
  if (!target) return false;
  char buffer[0x10000];
  for (;;) {
    uint32_t got = 0;
    uint32_t written = 0;
    if (!source->Read(buffer, sizeof(buffer), &got)) return false;
    if (got == 0) return true;
    if (!target->Write(buffer, got, &written)) return false;
  }
}

uint32_t PosixFileSystem::GetFileAttributesA(const std::string& path) {
  struct stat info {};
  if (!StatPath(HostPath(path), &info)) {
    FailErrno();
    return win::kInvalidFileAttributes;
  }
  if (S_ISDIR(info.st_mode)) return win::kAttributeDirectory;
  return IsReadOnly(info) ? win::kAttributeReadOnly : win::kAttributeNormal;
}

bool PosixFileSystem::SetFileAttributesA(const std::string& path, uint32_t attributes) {
  const std::string host = HostPath(path);
  struct stat info {};
  if (!StatPath(host, &info)) return FailErrno();
  mode_t mode = info.st_mode & 07777;
  mode = (attributes & win::kAttributeReadOnly) ? (mode & ~(S_IWUSR | S_IWGRP | S_IWOTH))
                                                : (mode | S_IWUSR);
  return chmod(host.c_str(), mode) == 0 || FailErrno();
}

bool PosixFileSystem::CreateDirectoryA(const std::string& path) {
  if (mkdir(HostPath(path).c_str(), 0777) == 0) return true;
  return errno == EEXIST ? Fail(win::kErrorAlreadyExists) : FailErrno();
}

bool PosixFileSystem::FindFilesA(const std::string& pattern, std::vector<std::string>* names) {
  names->clear();
  const std::string host = HostPath(pattern);
  const size_t cut = host.rfind('/');
  const std::string directory = cut == std::string::npos ? "." : host.substr(0, cut + 1);
  std::string leaf = cut == std::string::npos ? host : host.substr(cut + 1);
  if (leaf.empty()) return Fail(win::kErrorFileNotFound);
  if (leaf == "*.*") leaf = "*";
  std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(directory.c_str()), closedir);
  if (dir == nullptr) return errno == ENOENT ? Fail(win::kErrorPathNotFound) : FailErrno();
  while (const dirent* entry = readdir(dir.get())) {
    if (fnmatch(leaf.c_str(), entry->d_name, FNM_CASEFOLD) == 0) names->push_back(entry->d_name);
  }
  return !names->empty() || Fail(win::kErrorFileNotFound);
}

bool PosixFileSystem::SetCurrentDirectoryA(const std::string& path) {
  return chdir(HostPath(path).c_str()) == 0 || FailErrno();
}

uint32_t PosixFileSystem::GetDriveTypeA(const std::string& /*root*/) { return win::kDriveFixed; }

bool PosixFileSystem::DisableFsRedirection(void** oldValue) {
  *oldValue = nullptr;
  return true;
}

bool PosixFileSystem::RevertFsRedirection(void* /*oldValue*/) { return true; }

uint32_t PosixFileSystem::LastError() { return t_lastError; }

}  // namespace zv::platform::posix
