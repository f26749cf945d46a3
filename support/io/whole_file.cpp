#include "support/io/whole_file.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <span>

#include "support/io/file_identity.h"
#include "support/io/interrupt.h"
#include "support/text/fixed_text.h"

namespace qartwo {
namespace {

static_assert(kPathCapacity >= PATH_MAX, "realpath writes up to PATH_MAX characters");

constexpr mode_t kPermissionBits = 0777;

// The temporary file's name does not grow with the target's, so that a target whose name is
// as long as the file system allows is replaced like any other.
constexpr std::string_view kTemporaryName = ".qartwo-XXXXXX";

constexpr WholeWriteResult kWrittenWhole{};

// "<folder>/.qartwo-XXXXXX" for the target "<folder>/<name>", the pattern mkostemp fills in;
// false when it would not fit.
bool TemporaryPattern(const std::array<char, kPathCapacity>& target,
                      std::array<char, kPathCapacity>& pattern) {
  const std::string_view path(target.data());
  const std::size_t slash = path.rfind('/');
  const std::string_view folder = slash == std::string_view::npos ? "" : path.substr(0, slash + 1);
  if (folder.size() + kTemporaryName.size() >= pattern.size()) return false;
  char* out = std::copy(folder.begin(), folder.end(), pattern.data());
  *std::copy(kTemporaryName.begin(), kTemporaryName.end(), out) = '\0';
  return true;
}

// Writes all of `bytes` to `fd`; false, with errno set, when a write fails.
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

// Nothing was written: a file the open created goes again.
WholeWriteResult NotWritten(const WholeFile& file, std::string_view reason) {
  return {file.created ? WholeWriteOutcome::kRemoved : WholeWriteOutcome::kUnchanged, reason};
}

bool ExceedsFileSizeLimit(std::size_t size) {
  rlimit limit{};
  return getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
         size > limit.rlim_cur;
}

// Removes the temporary file while it is still open (so that its identity is sure) and
// closes it, keeping errno.
void DropTemporary(int fd) {
  const int error = errno;
  RemoveRegisteredFile(InterruptRemoval::kTemporaryFile);
  close(fd);
  errno = error;
}

// A new temporary file beside the target, registered for removal, with the rights of the
// file `opened` (those of its group only where the group can be kept); -1 with errno set.
int CreateTemporary(WholeFile& file, const struct stat& opened) {
  if (!TemporaryPattern(file.target, file.temporary)) {
    errno = ENAMETOOLONG;
    return -1;
  }
  int fd = -1;
  {
    const InterruptHold hold;
    fd = mkostemp(file.temporary.data(), O_CLOEXEC);
    if (fd >= 0) RemoveOnInterrupt(InterruptRemoval::kTemporaryFile, file.temporary.data(), fd);
  }
  if (fd < 0) return -1;
  mode_t mode = opened.st_mode & kPermissionBits;
  struct stat made {};
  if (fstat(fd, &made) != 0 ||
      (made.st_gid != opened.st_gid && fchown(fd, static_cast<uid_t>(-1), opened.st_gid) != 0)) {
    mode &= ~static_cast<mode_t>(S_IRWXG);
  }
  if (fchmod(fd, mode) != 0) {
    DropTemporary(fd);
    return -1;
  }
  return fd;
}

// Syncs the folder of the path in `path` (which it cuts after the folder's name), so that a
// rename in it survives a crash. A folder that cannot be synced leaves only that risk.
void SyncFolder(std::array<char, kPathCapacity>& path) {
  const std::size_t slash = std::string_view(path.data()).rfind('/');
  if (slash != std::string_view::npos) path[slash + 1] = '\0';
  const int fd =
      open(slash == std::string_view::npos ? "." : path.data(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  static_cast<void>(fsync(fd));
  close(fd);
}

// Puts `bytes` in the target's place through a temporary file with the rights of `opened`.
// With `sync` the new file is on the disk before the rename and the rename after it, so that
// a crash leaves the old file or the new one. Returns 0, or the system error of the failure;
// `made` tells whether a temporary file could be made at all.
int Replace(WholeFile& file, std::span<const char> bytes, const struct stat& opened, bool sync,
            bool& made) {
  const int fd = CreateTemporary(file, opened);
  made = fd >= 0;
  if (!made) return errno;
  if (!WriteAll(fd, bytes) || (sync && fsync(fd) != 0)) {
    DropTemporary(fd);
    return errno;
  }
  if (close(fd) != 0) {
    const int error = errno;
    RemoveRegisteredFile(InterruptRemoval::kTemporaryFile);
    return error;
  }
  {
    const InterruptHold hold;
    if (std::rename(file.temporary.data(), file.target.data()) != 0) {
      const int error = errno;
      RemoveRegisteredFile(InterruptRemoval::kTemporaryFile);
      return error;
    }
    KeepRegisteredFile(InterruptRemoval::kTemporaryFile);  // it is the target now
  }
  if (sync) SyncFolder(file.temporary);
  return 0;
}

// Writes `bytes` into the file opened under the name. A regular file is cut only once the
// content is sure to fit: its bytes are reserved first, where the file system can do that.
WholeWriteResult WriteInPlace(WholeFile& file, std::span<const char> bytes, bool regular) {
  const int fd = fileno(file.file);
  if (regular) {
    if (fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(bytes.size())) != 0 &&
        errno != EOPNOTSUPP && errno != ENOSYS) {
      return NotWritten(file, std::strerror(errno));
    }
    if (ftruncate(fd, 0) != 0 || lseek(fd, 0, SEEK_SET) != 0) {
      return NotWritten(file, std::strerror(errno));
    }
  }
  bool whole = WriteAll(fd, bytes);
  if (whole) {
    whole = std::fclose(file.file) == 0;  // a file system may report a write error only here
    file.file = nullptr;
  }
  if (whole) return kWrittenWhole;
  const WholeWriteOutcome cut =
      file.created ? WholeWriteOutcome::kRemoved : WholeWriteOutcome::kIncomplete;
  return {cut, std::strerror(errno)};
}

// The name no longer refers to the regular file opened under it (moved, removed or replaced
// by another program): that file is left as it is, and the content goes under the name in a
// new file with its rights, synced only when it replaces a file standing there now.
WholeWriteResult WriteAnew(WholeFile& file, std::span<const char> bytes,
                           const struct stat& opened) {
  struct stat named {};
  const bool replacing = lstat(file.target.data(), &named) == 0;
  bool made = false;
  const int error = Replace(file, bytes, opened, replacing, made);
  if (error != 0) return {WholeWriteOutcome::kNotWrittenAnew, std::strerror(error)};
  return {WholeWriteOutcome::kWrittenAnew, {}};
}

// Puts `bytes` where they belong (see FinishWholeWrite).
WholeWriteResult Commit(WholeFile& file, std::span<const char> bytes) {
  const int fd = fileno(file.file);
  struct stat opened {};
  if (fstat(fd, &opened) != 0) return NotWritten(file, std::strerror(errno));
  // A device, pipe or FIFO is written as it is, and never replaced by a rename.
  if (!S_ISREG(opened.st_mode)) return WriteInPlace(file, bytes, false);
  if (ExceedsFileSizeLimit(bytes.size())) {
    return NotWritten(file, "it would exceed the file-size limit set by ulimit -f");
  }
  if (!SameFile(DescriptorIdentity(fd), NameIdentity(file.target.data()))) {
    return WriteAnew(file, bytes, opened);
  }
  // A file the open created has nothing old to keep: written in place, and not synced, so
  // that many new reports stay fast.
  if (!file.created && opened.st_nlink == 1 && opened.st_uid == geteuid()) {
    bool made = false;
    const int error = Replace(file, bytes, opened, true, made);
    if (made) return error == 0 ? kWrittenWhole : NotWritten(file, std::strerror(error));
  }
  return WriteInPlace(file, bytes, true);
}

// Closes the unit's stream into memory; false when the content did not all reach it.
bool CloseDraft(WholeFile& file, int unit, std::size_t& length) {
  if (file.drafting == nullptr) return false;
  const bool flushed = FlushUnit(unit) == IoStatus::kOk;
  const off_t end = ftello(file.drafting);
  file.drafting = nullptr;
  const bool closed = CloseUnit(unit) == IoStatus::kOk;
  length = static_cast<std::size_t>(std::max<off_t>(end, 0));
  return flushed && closed && end >= 0;
}

}  // namespace

void NoteOpenedFile(WholeFile& file, std::string_view name, int unit) {
  const Connection* connection = UnitConnection(unit);
  file.created = connection != nullptr && connection->created;
  // The open succeeded, so the name fits and holds no NUL.
  const std::string_view trimmed = TrimTrailingBlanks(name);
  std::array<char, kPathCapacity> given{};
  SetText(std::span(given).first(kPathCapacity - 1), trimmed);
  given[std::min(trimmed.size(), kPathCapacity - 1)] = '\0';
  if (realpath(given.data(), file.target.data()) == nullptr) file.target = given;
}

void BeginWholeWrite(WholeFile& file, int unit) {
  file.file = DetachUnit(unit);
  file.drafting = fmemopen(file.draft.data(), file.draft.size(), "w");
  if (file.drafting != nullptr && ConnectUnit(unit, file.drafting, Connection{}) != IoStatus::kOk) {
    std::fclose(file.drafting);
    file.drafting = nullptr;
  }
}

WholeWriteResult FinishWholeWrite(WholeFile& file, int unit) {
  std::size_t length = 0;
  WholeWriteResult result = NotWritten(file, "it does not fit in the memory held for it");
  if (CloseDraft(file, unit, length) && file.file != nullptr) {
    result = Commit(file, std::span(file.draft).first(std::min(length, file.draft.size())));
  }
  if (result.outcome != WholeWriteOutcome::kWritten &&
      result.outcome != WholeWriteOutcome::kWrittenAnew) {
    AbandonWholeWrite(file, unit);
    return result;
  }
  KeepRegisteredFile(InterruptRemoval::kCreatedFile);
  file.created = false;
  if (file.file != nullptr) std::fclose(file.file);  // replaced: nothing was written to it
  file.file = nullptr;
  return result;
}

void AbandonWholeWrite(WholeFile& file, int unit) {
  // Removed while still open, so that the identity checked is surely theirs.
  RemoveRegisteredFile(InterruptRemoval::kTemporaryFile);
  RemoveRegisteredFile(InterruptRemoval::kCreatedFile);
  static_cast<void>(CloseUnit(unit));  // what it held is not kept anyway
  file.drafting = nullptr;
  if (file.file != nullptr) std::fclose(file.file);
  file.file = nullptr;
  file.created = false;
}

}  // namespace qartwo
