#include "support/io/file_open.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include "support/io/interrupt.h"
#include "support/io/units.h"
#include "support/text/fields.h"
#include "support/text/fixed_text.h"

namespace qartwo {
namespace {

// The open keywords, blank-padded to the widths the characteristics block shows them at.
inline constexpr std::size_t kStatusWidth = 7;
inline constexpr std::size_t kAccessWidth = 10;
inline constexpr std::size_t kFormWidth = 11;
inline constexpr std::size_t kBlankWidth = 4;

enum class OpenStatus { kUnknown, kOld, kNew, kScratch };

constexpr std::string_view StatusKeyword(OpenStatus status) {
  switch (status) {
    case OpenStatus::kOld:
      return "OLD    ";
    case OpenStatus::kNew:
      return "NEW    ";
    case OpenStatus::kScratch:
      return "SCRATCH";
    case OpenStatus::kUnknown:
      break;
  }
  return "UNKNOWN";
}

constexpr std::string_view AccessKeyword(Access access) {
  return access == Access::kDirect ? "DIRECT    " : "SEQUENTIAL";
}

constexpr std::string_view FormKeyword(Form form) {
  return form == Form::kUnformatted ? "UNFORMATTED" : "FORMATTED  ";
}

constexpr std::string_view BlankKeyword(BlankMode blank) {
  return blank == BlankMode::kZero ? "ZERO" : "NULL";
}

static_assert(StatusKeyword(OpenStatus::kOld).size() == kStatusWidth);
static_assert(StatusKeyword(OpenStatus::kUnknown).size() == kStatusWidth);
static_assert(AccessKeyword(Access::kDirect).size() == kAccessWidth);
static_assert(AccessKeyword(Access::kSequential).size() == kAccessWidth);
static_assert(FormKeyword(Form::kFormatted).size() == kFormWidth);
static_assert(FormKeyword(Form::kUnformatted).size() == kFormWidth);
static_assert(BlankKeyword(BlankMode::kNull).size() == kBlankWidth);

// Record length of access code 30, and bytes per word of an unformatted record length.
inline constexpr long long kFixedRecordLength = 128;
inline constexpr long long kBytesPerWord = 4;

// Field widths of the numbers in the messages.
inline constexpr int kConfirmUnitWidth = 4;
inline constexpr int kErrorUnitWidth = 5;
inline constexpr int kLengthWidth = 5;
inline constexpr int kErrorCodeWidth = 5;

// Permissions of a created file, before the process umask.
inline constexpr mode_t kCreateMode = 0666;

// The status code OPNOLD passes for mode 0 (any code but 2, 3 and 4 means UNKNOWN).
inline constexpr int kStatusCodeUnknown = 1;

// Status code OPNOLD reuses when given a negative mode; UNKNOWN before its first call.
int previous_status_code = kStatusCodeUnknown;

void WriteErrorHeader(int message_unit, int unit) {
  WriteEmptyLines(message_unit, 3);
  OutputLine line;
  AppendText(line, " *** ERROR DURING OPENING OF FILE UNIT");
  AppendInteger(line, unit, kErrorUnitWidth);
  WriteLine(message_unit, LineText(line));
}

// The confirmation of a successful open and the block of the file's characteristics.
void WriteConfirmation(int message_unit, std::string_view file_name, int unit, OpenStatus status,
                       const Connection& connection, long long record_length) {
  WriteEmptyLines(message_unit, 3);
  OutputLine line;
  if (status == OpenStatus::kScratch) {
    AppendText(line, "     A SCRATCH FILE IS OPENED ON UNIT NO.");
    AppendInteger(line, unit, kConfirmUnitWidth);
    WriteLine(message_unit, LineText(line));
  } else {
    AppendText(line, "     FILE  ");
    AppendText(line, file_name);
    WriteLine(message_unit, LineText(line));
    line = OutputLine{};
    AppendText(line, "     IS OPENED ON UNIT NO.");
    AppendInteger(line, unit, kConfirmUnitWidth);
    WriteLine(message_unit, LineText(line));
  }
  WriteLine(message_unit, "     FILE CHARACTERISTICS :");

  line = OutputLine{};
  AppendText(line, "          STATUS =");
  AppendText(line, StatusKeyword(status));
  WriteLine(message_unit, LineText(line));

  line = OutputLine{};
  AppendText(line, "          ACCESS =");
  AppendText(line, AccessKeyword(connection.access));
  WriteLine(message_unit, LineText(line));

  line = OutputLine{};
  AppendText(line, "          FORM   =");
  AppendText(line, FormKeyword(connection.form));
  WriteLine(message_unit, LineText(line));

  line = OutputLine{};
  AppendText(line, "          LENGTH =");
  AppendInteger(line, record_length, kLengthWidth);
  AppendText(line, " WORDS/BYTES PER RECORD (SECTOR)");
  WriteLine(message_unit, LineText(line));

  if (connection.form == Form::kFormatted) {
    line = OutputLine{};
    AppendText(line, "          BLANK  =");
    AppendText(line, BlankKeyword(connection.blank));
    WriteLine(message_unit, LineText(line));
  }
}

// How a file is to be connected, decoded from OPNFIL's option codes.
struct OpenRequest {
  OpenStatus status = OpenStatus::kUnknown;
  Connection connection;
  long long effective_length = 0;  // the record length the characteristics block shows
  // An input of the dialogue: opened for reading only, so that a FIFO sees its end.
  bool read_only = false;
  // The report of the dialogue: a file the open creates goes again if the run fails.
  bool remove_unfinished = false;
  // The name as it stands, trailing blanks included (a name from a table, not an answer).
  bool exact_name = false;
};

// A name the system is given as it stands, or `error` when it cannot be.
bool CopyPath(std::string_view name, std::array<char, kPathCapacity>& path, int& error) {
  // An empty name would otherwise be left to the system to interpret; it names no file.
  if (name.empty()) {
    error = ENOENT;
    return false;
  }
  if (name.size() >= kPathCapacity) {
    error = ENAMETOOLONG;
    return false;
  }
  // A NUL would silently cut the name and open some other file.
  if (name.find('\0') != std::string_view::npos) {
    error = EINVAL;
    return false;
  }
  std::copy(name.begin(), name.end(), path.begin());
  path[name.size()] = '\0';
  return true;
}

constexpr int kCommonFlags = O_CLOEXEC | O_NOCTTY;

// Symbolic links followed when a file is created through a dangling one (the system's limit).
constexpr int kMaxLinks = 40;

// The last failed open was of a FIFO that no program reads.
bool g_unread_fifo = false;

// Opens an existing file to be written, and read where it may be: a file that may be written
// but not read still takes output written whole (a report is made in memory first).
int OpenExisting(const char* path) {
  const int fd = ::open(path, O_RDWR | kCommonFlags);
  if (fd >= 0 || errno != EACCES) return fd;
  return ::open(path, O_WRONLY | kCommonFlags);
}

// Creates the file `path` names, when `follow_links` also through a dangling symbolic link.
// The file made, by the path taken at its creation, is registered for removal in the same
// held-signal window when `remove_unfinished`, so that no signal can come between the two.
int CreateFile(const char* path, bool follow_links, bool remove_unfinished, bool& created) {
  std::array<char, kPathCapacity> target{};
  std::copy_n(path, std::strlen(path) + 1, target.begin());  // fits: the caller's path does
  for (int links = 0; links <= kMaxLinks; ++links) {
    const InterruptHold hold;
    const int fd = ::open(target.data(), O_RDWR | O_CREAT | O_EXCL | kCommonFlags, kCreateMode);
    if (fd >= 0) {
      created = true;
      if (remove_unfinished) RemoveOnInterrupt(InterruptRemoval::kCreatedFile, target.data(), fd);
      return fd;
    }
    if (errno != EEXIST || !follow_links) return -1;
    if (!FollowLink(target)) break;
  }
  // A file made in between by another program: opened as it is, and never removed.
  return OpenExisting(path);
}

// A FIFO is opened for writing only, without waiting for a reader: with none, the report
// would wait for ever, or be lost in the pipe if it were opened for reading too.
int OpenFifoForWriting(const char* path) {
  const int fd = ::open(path, O_WRONLY | O_NONBLOCK | kCommonFlags);
  if (fd < 0) {
    g_unread_fifo = errno == ENXIO;
    return fd;
  }
  const int flags = fcntl(fd, F_GETFL);
  if (flags == -1 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    const int error = errno;
    ::close(fd);
    errno = error;
    return -1;
  }
  return fd;
}

// Opens an existing file for writing (and reading, where allowed and not a FIFO), or creates
// it when `status` allows; `created` tells whether this open made the file.
int OpenOrCreate(const char* path, OpenStatus status, bool remove_unfinished, bool& created) {
  if (status == OpenStatus::kNew) return CreateFile(path, false, remove_unfinished, created);
  const int fd =
      status == OpenStatus::kOld ? ::open(path, O_RDWR | kCommonFlags) : OpenExisting(path);
  if (fd >= 0 || errno != ENOENT || status != OpenStatus::kUnknown) return fd;
  return CreateFile(path, true, remove_unfinished, created);
}

// Opens `path` for writing as OpenOrCreate does, a FIFO as OpenFifoForWriting does. Never
// truncates.
int OpenForWriting(const char* path, OpenStatus status, bool remove_unfinished, bool& created) {
  struct stat info {};
  if (::stat(path, &info) == 0 && S_ISFIFO(info.st_mode)) return OpenFifoForWriting(path);
  const int fd = OpenOrCreate(path, status, remove_unfinished, created);
  // A FIFO put under the name since the look: opened read-write it would never wait for a
  // reader, and the output would vanish into the pipe.
  if (fd < 0 || ::fstat(fd, &info) != 0 || !S_ISFIFO(info.st_mode)) return fd;
  ::close(fd);
  return OpenFifoForWriting(path);
}

// Opens `name` as the request asks, never truncating: read and write when allowed, read only
// for an input, or when a file that must exist may be read but not written. A directory is
// refused. Returns the stream, or nullptr with `error` set to a positive system error number.
std::FILE* OpenNamedFile(std::string_view name, OpenRequest& request, int& error) {
  std::array<char, kPathCapacity> path{};
  if (!CopyPath(name, path, error)) return nullptr;

  bool writable = !request.read_only;
  int fd = request.read_only
               ? ::open(path.data(), O_RDONLY | kCommonFlags)
               : OpenForWriting(path.data(), request.status, request.remove_unfinished,
                                request.connection.created);
  if (fd < 0 && writable && (errno == EACCES || errno == EROFS) &&
      request.status == OpenStatus::kOld) {
    // A file that must exist only needs reading, so one that cannot be written may still be
    // read. A file that may be created is to be written: refusing it now lets the user name
    // another one instead of losing the output at the end.
    const int write_error = errno;
    fd = ::open(path.data(), O_RDONLY | kCommonFlags);
    if (fd < 0) errno = write_error;
    writable = false;
  }
  if (fd < 0) {
    error = errno;
    return nullptr;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    error = S_ISDIR(info.st_mode) ? EISDIR : errno;
    ::close(fd);
    return nullptr;
  }
  const int access = request.read_only ? O_RDONLY : fcntl(fd, F_GETFL) & O_ACCMODE;
  std::FILE* stream = ::fdopen(fd, access == O_WRONLY ? "w" : writable ? "r+" : "r");
  if (stream == nullptr) {
    error = errno;
    ::close(fd);
  }
  return stream;
}

// A nameless file the system removes when it is closed or the process ends.
std::FILE* OpenScratchFile(int& error) {
  errno = 0;
  std::FILE* stream = std::tmpfile();
  if (stream == nullptr) error = errno != 0 ? errno : EIO;
  return stream;
}

// The request of OPNFIL's option codes; false (with `status` and the message written) when
// the direct-access record length is refused.
bool DecodeOptions(int unit, int status_code, int access_code, int form_code, int blank_code,
                   int record_length, int message_unit, OpenRequest& request, int& status) {
  if (status_code == kStatusCodeOld) request.status = OpenStatus::kOld;
  if (status_code == kStatusCodeNew) request.status = OpenStatus::kNew;
  if (status_code == kStatusCodeScratch) request.status = OpenStatus::kScratch;

  const bool direct = access_code == kAccessCodeDirect || access_code == kAccessCodeDirect128;
  Connection& connection = request.connection;
  connection.access = direct ? Access::kDirect : Access::kSequential;
  connection.form = direct ? Form::kUnformatted : Form::kFormatted;
  if (form_code == kFormCodeFormatted) connection.form = Form::kFormatted;
  if (form_code == kFormCodeUnformatted) connection.form = Form::kUnformatted;

  // The length the open counts in: characters for a formatted file, words for an unformatted
  // one; the argument is always in words.
  if (access_code == kAccessCodeDirect) {
    if (record_length <= 0) {
      if (message_unit > 0) {
        WriteErrorHeader(message_unit, unit);
        OutputLine line;
        AppendText(line, "     ILLEGAL RECORD LENGTH =");
        AppendInteger(line, record_length, kLengthWidth);
        WriteLine(message_unit, LineText(line));
      }
      status = kOpenBadRecordLength;
      return false;
    }
    request.effective_length =
        form_code == kFormCodeFormatted ? kBytesPerWord * record_length : record_length;
  } else if (access_code == kAccessCodeDirect128) {
    request.effective_length = kFixedRecordLength;
  }
  if (direct) {
    const long long bytes_per_unit = connection.form == Form::kFormatted ? 1 : kBytesPerWord;
    connection.record_bytes = static_cast<std::size_t>(request.effective_length * bytes_per_unit);
  }
  if (connection.form == Form::kFormatted && blank_code == kBlankCodeZero) {
    connection.blank = BlankMode::kZero;
  }
  // Opened at its start without truncation: the old content goes with the first record.
  connection.replace_on_first_write = !direct;
  return true;
}

// Opens the file of `request` on `unit` (closing the unit's former file first, so that
// reopening the same file sees everything written to it). On failure the unit is left
// unconnected, `status` is minus the system error and the message goes to `message_unit`.
void OpenOnUnit(std::string_view file_name, int unit, OpenRequest& request, int print_switch,
                int message_unit, int& status) {
  static_cast<void>(CloseUnit(unit));  // a former file's lost output was its writer's to see
  request.connection.owns_stream = true;
  g_unread_fifo = false;
  int error = 0;
  std::FILE* stream =
      request.status == OpenStatus::kScratch
          ? OpenScratchFile(error)
          : OpenNamedFile(request.exact_name ? file_name : TrimTrailingBlanks(file_name), request,
                          error);
  if (stream != nullptr && ConnectUnit(unit, stream, request.connection) != IoStatus::kOk) {
    std::fclose(stream);
    stream = nullptr;
    error = EBADF;
  }
  if (stream == nullptr) {
    if (error <= 0) error = EIO;  // a failure must never read as success
    if (message_unit > 0) {
      WriteErrorHeader(message_unit, unit);
      OutputLine line;
      AppendText(line, "     ERROR CODE =");
      AppendInteger(line, error, kErrorCodeWidth);
      AppendText(line, "  (SYSTEM PARAMETER)");
      WriteLine(message_unit, LineText(line));
    }
    status = -error;
    return;
  }
  if (print_switch > 0 && message_unit > 0) {
    WriteConfirmation(message_unit, file_name, unit, request.status, request.connection,
                      request.effective_length);
  }
}

}  // namespace

void OPNFIL(std::string_view file_name, int unit, int status_code, int access_code, int form_code,
            int blank_code, int record_length, int print_switch, int message_unit, int& status) {
  status = 0;
  if (unit < kFirstUnit || unit > kLastUnit) {
    if (message_unit > 0) {
      WriteErrorHeader(message_unit, unit);
      WriteLine(message_unit, "     ILLEGAL FILE UNIT");
    }
    status = kOpenBadUnit;
    return;
  }
  OpenRequest request;
  if (!DecodeOptions(unit, status_code, access_code, form_code, blank_code, record_length,
                     message_unit, request, status)) {
    return;
  }
  OpenOnUnit(file_name, unit, request, print_switch, message_unit, status);
}

void OPNOLD(std::string_view file_name, int unit, int mode, int& error_flag, int& system_error) {
  if (mode > 0) previous_status_code = kStatusCodeOld;
  if (mode == 0) previous_status_code = kStatusCodeUnknown;
  const int length = std::max(LENTRM(file_name), 0);
  int status = kOpenBadUnit;
  if (unit >= kFirstUnit && unit <= kLastUnit) {
    // Sequential, formatted, NULL blanks, no record length, no confirmation, no messages. A
    // file that must exist is an input and is only read, so that a FIFO sees its end.
    OpenRequest request;
    DecodeOptions(unit, previous_status_code, 0, kFormCodeFormatted, 0, 0, -1, request, status);
    request.read_only = request.status == OpenStatus::kOld;
    request.remove_unfinished = mode == 0;
    status = 0;
    OpenOnUnit(file_name.substr(0, static_cast<std::size_t>(length)), unit, request, 0, -1, status);
  }
  system_error = status == kOpenBadUnit ? EBADF : -status;
  if (status != 0) error_flag = -1;
}

void OPNOLD(std::string_view file_name, int unit, int mode, int& error_flag) {
  int ignored = 0;
  OPNOLD(file_name, unit, mode, error_flag, ignored);
}

int OpenInputFile(std::string_view file_name, int unit) {
  if (unit < kFirstUnit || unit > kLastUnit) return EBADF;
  OpenRequest request;
  int status = 0;
  DecodeOptions(unit, kStatusCodeOld, 0, kFormCodeFormatted, 0, 0, -1, request, status);
  request.read_only = true;
  request.exact_name = true;
  OpenOnUnit(file_name, unit, request, 0, -1, status);
  return -status;
}

bool FollowLink(std::array<char, kPathCapacity>& path) {
  std::array<char, kPathCapacity> link{};
  const ssize_t length = readlink(path.data(), link.data(), link.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= link.size()) return false;
  const std::string_view target(link.data(), static_cast<std::size_t>(length));
  const std::string_view current(path.data());
  const std::size_t slash = current.rfind('/');
  const std::size_t folder = target[0] == '/' || slash == std::string_view::npos ? 0 : slash + 1;
  if (folder + target.size() >= path.size()) return false;
  std::copy(target.begin(), target.end(), path.begin() + static_cast<std::ptrdiff_t>(folder));
  path[folder + target.size()] = '\0';
  return true;
}

std::string_view OpenErrorText(int system_error) {
  if (system_error == ENXIO && g_unread_fifo) return "no program reads this FIFO";
  return std::strerror(system_error);
}

}  // namespace qartwo
