#include "support/io/whole_file.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <span>

#include "support/io/file_identity.h"
#include "support/io/interrupt.h"
#include "support/text/fixed_text.h"

namespace qartwo {
namespace {

// Symbolic links followed to find where a rename lands (the system's own limit).
constexpr int kMaxLinks = 40;

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

// Writes all of `bytes` to `fd`: from the file's start when `over` (over the bytes there),
// else where the file stands. `written` counts the bytes that went out; false, with errno
// set, when a write fails.
bool WriteAll(int fd, std::span<const char> bytes, bool over, std::size_t& written) {
  written = 0;
  while (written < bytes.size()) {
    const std::span<const char> rest = bytes.subspan(written);
    const ssize_t wrote = over ? pwrite(fd, rest.data(), rest.size(), static_cast<off_t>(written))
                               : write(fd, rest.data(), rest.size());
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) {
      if (wrote == 0) errno = EIO;
      return false;
    }
    written += static_cast<std::size_t>(wrote);
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
  std::size_t written = 0;
  if (!WriteAll(fd, bytes, false, written) || (sync && fsync(fd) != 0)) {
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

// The end of a write in place: the file closed (a file system may report a write error only
// then), and what became of it, by whether any byte of it was written.
WholeWriteResult EndInPlace(WholeFile& file, bool whole, std::size_t written) {
  if (whole) {
    whole = std::fclose(file.file) == 0;
    file.file = nullptr;
  }
  if (whole) return kWrittenWhole;
  if (written == 0) return NotWritten(file, std::strerror(errno));
  const WholeWriteOutcome cut =
      file.created ? WholeWriteOutcome::kRemoved : WholeWriteOutcome::kIncomplete;
  return {cut, std::strerror(errno)};
}

// Writes `bytes` into a device, pipe or FIFO opened under the name. Its reader may take its
// time, so the ending signals are not held.
WholeWriteResult WriteThrough(WholeFile& file, std::span<const char> bytes) {
  std::size_t written = 0;
  const bool whole = WriteAll(fileno(file.file), bytes, false, written);
  return EndInPlace(file, whole, written);
}

// Writes `bytes` over the regular file opened under the name, from its start, and then cuts
// the file to their length, so that only its surplus is freed: the blocks it holds stay its
// own, and those it needs beyond are reserved first, where the file system can do that.
WholeWriteResult WriteOver(WholeFile& file, std::span<const char> bytes) {
  const int fd = fileno(file.file);
  const auto length = static_cast<off_t>(bytes.size());
  if (fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, length) != 0 && errno != EOPNOTSUPP &&
      errno != ENOSYS) {
    return NotWritten(file, std::strerror(errno));
  }
  // From the first byte overwritten to the end, an ending signal would leave a report half
  // old and half new: it waits, which costs at most the few writes of a few kilobytes.
  const InterruptHold hold;
  std::size_t written = 0;
  const bool whole = WriteAll(fd, bytes, true, written) && ftruncate(fd, length) == 0;
  return EndInPlace(file, whole, written);
}

// Follows the symbolic links that the name leads through into `target`, so that a rename
// replaces the file a link points to now and the link stays.
void FindTarget(WholeFile& file) {
  file.target = file.name;
  int links = 0;
  while (links < kMaxLinks && FollowLink(file.target)) ++links;
}

// The name no longer leads to the regular file opened under it (moved, removed or replaced by
// another program, or a link pointed elsewhere): that file is left as it is, and the content
// goes under the name in a new file with its rights, synced only when it replaces a file
// standing there now.
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
  if (!S_ISREG(opened.st_mode)) return WriteThrough(file, bytes);
  if (ExceedsFileSizeLimit(bytes.size())) {
    return NotWritten(file, "it would exceed the file-size limit set by ulimit -f");
  }
  FindTarget(file);
  if (!SameFile(DescriptorIdentity(fd), PathIdentity(file.name.data()))) {
    return WriteAnew(file, bytes, opened);
  }
  // A file the open created has nothing old to keep: written in place, and not synced, so
  // that many new reports stay fast.
  if (!file.created && opened.st_nlink == 1 && opened.st_uid == geteuid()) {
    bool made = false;
    const int error = Replace(file, bytes, opened, true, made);
    if (made) return error == 0 ? kWrittenWhole : NotWritten(file, std::strerror(error));
  }
  return WriteOver(file, bytes);
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
  SetText(std::span(file.name).first(kPathCapacity - 1), trimmed);
  file.name[std::min(trimmed.size(), kPathCapacity - 1)] = '\0';
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
    const bool removed = AbandonWholeWrite(file, unit);
    if (result.outcome == WholeWriteOutcome::kRemoved && !removed) {
      result.outcome = WholeWriteOutcome::kNotRemoved;
    }
    return result;
  }
  KeepRegisteredFile(InterruptRemoval::kCreatedFile);
  file.created = false;
  if (file.file != nullptr) std::fclose(file.file);  // replaced: nothing was written to it
  file.file = nullptr;
  return result;
}

bool AbandonWholeWrite(WholeFile& file, int unit) {
  // Removed while still open, so that the identity checked is surely theirs.
  RemoveRegisteredFile(InterruptRemoval::kTemporaryFile);
  const bool removed = RemoveRegisteredFile(InterruptRemoval::kCreatedFile);
  static_cast<void>(CloseUnit(unit));  // what it held is not kept anyway
  file.drafting = nullptr;
  if (file.file != nullptr) std::fclose(file.file);
  file.file = nullptr;
  file.created = false;
  return removed;
}

}  // namespace qartwo
