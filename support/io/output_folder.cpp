#include "support/io/output_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>

namespace qartwo {
namespace {

constexpr mode_t kFolderMode = 0777;  // before the umask
constexpr mode_t kFileMode = 0666;
constexpr std::string_view kTemporaryPrefix = ".qartwo-";

// `name` with a terminating NUL in `room`; false when it does not fit or holds a NUL or '/'.
bool FolderName(std::string_view name, std::array<char, kFolderNameRoom>& room) {
  if (name.empty() || name.size() >= room.size() ||
      name.find_first_of(std::string_view("/\0", 2)) != std::string_view::npos) {
    return false;
  }
  *std::copy(name.begin(), name.end(), room.begin()) = '\0';
  return true;
}

// Makes `path` and the folders above it that are missing.
int MakeFolders(const char* path) {
  if (mkdir(path, kFolderMode) == 0 || errno == EEXIST) return 0;
  if (errno != ENOENT) return errno;
  std::string parent(path);
  while (parent.size() > 1 && parent.back() == '/') parent.pop_back();
  const std::size_t slash = parent.rfind('/');
  if (slash == std::string::npos || slash == 0) return ENOENT;
  parent.resize(slash);
  if (const int error = MakeFolders(parent.c_str()); error != 0) return error;
  return mkdir(path, kFolderMode) == 0 || errno == EEXIST ? 0 : errno;
}

bool WriteAll(int fd, std::span<const char> bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      if (written == 0) errno = EIO;
      return false;
    }
    bytes = bytes.subspan(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

int OpenOutputFolder(const char* path, OutputFolder& folder) {
  if (const int error = MakeFolders(path); error != 0) return error;
  folder.fd = open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder.fd < 0) return errno;
  folder.pid = getpid();
  return 0;
}

int CreateTemporaryFile(OutputFolder& folder, std::array<char, kFolderNameRoom>& name) {
  for (;;) {
    char* end = std::copy(kTemporaryPrefix.begin(), kTemporaryPrefix.end(), name.begin());
    end = std::to_chars(end, name.end() - 1, folder.pid).ptr;
    *end++ = '-';
    end = std::to_chars(end, name.end() - 1, folder.made++).ptr;
    *end = '\0';
    const int fd =
        openat(folder.fd, name.data(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kFileMode);
    if (fd >= 0 || errno != EEXIST) return fd;  // one left by another run: the next name
  }
}

int CommitFile(OutputFolder& folder, const char* temporary, std::string_view name) {
  std::array<char, kFolderNameRoom> target{};
  int error = ENAMETOOLONG;
  if (FolderName(name, target)) {
    // Only a rename that would replace a file costs a sync at the end.
    error = renameat2(folder.fd, temporary, folder.fd, target.data(), RENAME_NOREPLACE) == 0
                ? 0
                : errno;
    if (error == EEXIST || error == EINVAL || error == ENOSYS) {
      error = renameat(folder.fd, temporary, folder.fd, target.data()) == 0 ? 0 : errno;
      folder.changed_old = folder.changed_old || error == 0;
    }
  }
  if (error != 0) unlinkat(folder.fd, temporary, 0);
  return error;
}

int WriteWholeFile(OutputFolder& folder, std::string_view name, std::span<const char> bytes) {
  std::array<char, kFolderNameRoom> target{};
  if (!FolderName(name, target)) return ENAMETOOLONG;
  // A new file has nothing old to keep: written under its name at once, and removed again
  // when it cannot be written whole. Only a file that stands there goes by a rename.
  std::array<char, kFolderNameRoom> temporary{};
  int fd = openat(folder.fd, target.data(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kFileMode);
  const bool replacing = fd < 0 && errno == EEXIST;
  if (replacing) fd = CreateTemporaryFile(folder, temporary);
  if (fd < 0) return errno;
  const char* written_name = replacing ? temporary.data() : target.data();
  int error = WriteAll(fd, bytes) ? 0 : errno;
  if (close(fd) != 0 && error == 0) error = errno;  // a file system may report a write error here
  if (error != 0) {
    unlinkat(folder.fd, written_name, 0);
    return error;
  }
  return replacing ? CommitFile(folder, temporary.data(), name) : 0;
}

int RemoveFolderFile(OutputFolder& folder, std::string_view name) {
  std::array<char, kFolderNameRoom> target{};
  if (!FolderName(name, target)) return ENAMETOOLONG;
  if (unlinkat(folder.fd, target.data(), 0) == 0) {
    folder.changed_old = true;
    return 0;
  }
  return errno == ENOENT ? 0 : errno;
}

int CloseOutputFolder(OutputFolder& folder) {
  if (folder.fd < 0) return 0;
  const int error = folder.changed_old && syncfs(folder.fd) != 0 ? errno : 0;
  close(folder.fd);
  folder.fd = -1;
  return error;
}

}  // namespace qartwo
