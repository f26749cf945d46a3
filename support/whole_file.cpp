#include "support/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "support/interrupt.h"
#include "support/text.h"

namespace qartwo {
namespace {

static_assert(kPathCapacity >= PATH_MAX, "realpath writes up to PATH_MAX characters");

constexpr mode_t kPermissionBits = 0777;

// "<folder>/.<name>.XXXXXX" for target "<folder>/<name>", the pattern mkostemp fills in;
// false when it would not fit.
bool TemporaryPattern(const std::array<char, kPathCapacity>& target,
                      std::array<char, kPathCapacity>& pattern) {
  const std::string_view path(target.data());
  const std::size_t slash = path.rfind('/');
  const std::string_view folder = slash == std::string_view::npos ? "" : path.substr(0, slash + 1);
  const std::string_view name = path.substr(folder.size());
  constexpr std::string_view kSuffix = ".XXXXXX";
  if (folder.size() + 1 + name.size() + kSuffix.size() >= pattern.size()) return false;
  char* out = std::copy(folder.begin(), folder.end(), pattern.data());
  *out++ = '.';
  out = std::copy(name.begin(), name.end(), out);
  out = std::copy(kSuffix.begin(), kSuffix.end(), out);
  *out = '\0';
  return true;
}

// True when the target may be replaced by another file: a regular file of this user, known
// by one name only, still the file that is open on the unit.
bool Replaceable(const WholeFile& file, int unit, struct stat& opened) {
  const int fd = UnitDescriptor(unit);
  struct stat named {};
  if (fd < 0 || fstat(fd, &opened) != 0 || stat(file.target.data(), &named) != 0) return false;
  return S_ISREG(opened.st_mode) && opened.st_nlink == 1 && opened.st_uid == geteuid() &&
         opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

// Creates the temporary file and registers it for removal; -1 when the folder refuses it.
int CreateTemporary(WholeFile& file) {
  if (!TemporaryPattern(file.target, file.temporary)) return -1;
  HoldInterrupts(true);
  const int fd = mkostemp(file.temporary.data(), O_CLOEXEC);
  if (fd >= 0) RemoveOnInterrupt(InterruptRemoval::kTemporaryFile, file.temporary.data());
  HoldInterrupts(false);
  if (fd < 0) file.temporary[0] = '\0';
  return fd;
}

void RemoveTemporary(WholeFile& file) {
  if (file.replacing) unlink(file.temporary.data());
  RemoveOnInterrupt(InterruptRemoval::kTemporaryFile, nullptr);
  file.replacing = false;
}

}  // namespace

void NoteOpenedFile(WholeFile& file, std::string_view name, int unit) {
  const Connection* connection = UnitConnection(unit);
  file.created = connection != nullptr && connection->created;
  file.replacing = false;
  // The open succeeded, so the name fits and holds no NUL.
  const std::string_view trimmed = TrimTrailingBlanks(name);
  std::array<char, kPathCapacity> given{};
  SetText(std::span(given).first(kPathCapacity - 1), trimmed);
  given[std::min(trimmed.size(), kPathCapacity - 1)] = '\0';
  if (realpath(given.data(), file.target.data()) == nullptr) file.target = given;
  if (file.created) RemoveOnInterrupt(InterruptRemoval::kCreatedFile, file.target.data());
}

void BeginWholeWrite(WholeFile& file, int unit) {
  // A file the open created holds nothing to keep, and is removed again when not completed:
  // it is written in place, which spares the file system a rename over it.
  struct stat opened {};
  if (file.replacing || file.created || !Replaceable(file, unit, opened)) return;
  const int fd = CreateTemporary(file);
  if (fd < 0) return;
  file.replacing = true;
  // The new file gets the old one's rights. Rights meant for the old file's group must not
  // go to another group when that one cannot be kept.
  mode_t mode = opened.st_mode & kPermissionBits;
  struct stat created {};
  if (fstat(fd, &created) != 0 ||
      (created.st_gid != opened.st_gid && fchown(fd, static_cast<uid_t>(-1), opened.st_gid) != 0)) {
    mode &= ~static_cast<mode_t>(S_IRWXG);
  }
  fchmod(fd, mode);
  std::FILE* stream = fdopen(fd, "w");
  Connection connection;
  if (stream == nullptr || ConnectUnit(unit, stream, connection) != IoStatus::kOk) {
    if (stream != nullptr) {
      std::fclose(stream);
    } else {
      close(fd);
    }
    RemoveTemporary(file);
  }
}

IoStatus FinishWholeWrite(WholeFile& file, int unit) {
  IoStatus status = CloseUnit(unit);
  HoldInterrupts(true);
  if (file.replacing && status == IoStatus::kOk &&
      std::rename(file.temporary.data(), file.target.data()) != 0) {
    status = IoStatus::kWriteError;
  }
  if (status == IoStatus::kOk) {
    file.replacing = false;  // the temporary file is the target now
    file.created = false;
    RemoveOnInterrupt(InterruptRemoval::kTemporaryFile, nullptr);
    RemoveOnInterrupt(InterruptRemoval::kCreatedFile, nullptr);
  }
  HoldInterrupts(false);
  if (status != IoStatus::kOk) AbandonWholeWrite(file, unit);
  return status;
}

void AbandonWholeWrite(WholeFile& file, int unit) {
  static_cast<void>(CloseUnit(unit));  // what it held is not kept anyway
  HoldInterrupts(true);
  RemoveTemporary(file);
  if (file.created) unlink(file.target.data());
  file.created = false;
  RemoveOnInterrupt(InterruptRemoval::kCreatedFile, nullptr);
  HoldInterrupts(false);
}

}  // namespace qartwo
