#include "support/io/units.h"

#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace qartwo {
namespace {

enum class LastOperation { kNone, kRead, kWrite };

// A stream that never ends a line (a device such as /dev/zero, a corrupt file) must not keep
// a reader busy for ever: a line ends after this many bytes and its rest is the next line.
constexpr std::size_t kMaxLineBytes = std::size_t{16} << 20;
static_assert(kMaxLineBytes > kTextLength);

struct UnitSlot {
  std::FILE* stream = nullptr;
  Connection connection;
  // The file is to be cut at the current position before the next record is written.
  bool truncate_pending = false;
  LastOperation last = LastOperation::kNone;
  // Some output on this unit could not be written; reported again at flush and close.
  bool failed = false;
  // Nothing has been read from the stream yet: a byte-order mark may still come.
  bool at_start = true;
  // errno of the last line read that failed with kReadError; 0 when not known.
  int read_error = 0;
};

// Indexed by unit number.
std::array<UnitSlot, kLastUnit + 1> g_units;
bool g_console_connected = false;

// A console read through a line source shows the prompt itself, so the prompt written to
// unit 6 waits here instead of reaching the stream.
constexpr std::size_t kHeldPromptRoom = 128;
ConsoleLineSource g_line_source = nullptr;
std::array<char, kHeldPromptRoom> g_held_prompt{};
std::size_t g_held_length = 0;

void EnsureConsole() {
  if (!g_console_connected) ConnectConsoleUnits();
}

UnitSlot* SlotFor(int unit) {
  EnsureConsole();
  if (unit < kDiagnosticOutput || unit > kLastUnit) return nullptr;
  return &g_units[static_cast<std::size_t>(unit)];
}

// C streams need a positioning call between reading and writing on the same stream.
void PrepareFor(UnitSlot& slot, LastOperation next) {
  if (slot.last != LastOperation::kNone && slot.last != next) {
    std::fflush(slot.stream);
    fseeko(slot.stream, 0, SEEK_CUR);  // fails harmlessly on pipes and terminals
  }
  slot.last = next;
  if (next == LastOperation::kRead && slot.connection.replace_on_first_write) {
    slot.truncate_pending = true;
  }
}

// A sequential record written makes itself the last one of the file.
IoStatus CutBeforeWrite(UnitSlot& slot) {
  if (!slot.truncate_pending) return IoStatus::kOk;
  slot.truncate_pending = false;
  const int fd = fileno(slot.stream);
  struct stat status {};
  // Only a regular file has content to replace; devices and pipes are written as they are.
  if (fd < 0 || fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) return IoStatus::kOk;
  if (std::fflush(slot.stream) != 0) return IoStatus::kWriteError;
  const off_t position = ftello(slot.stream);
  if (position < 0 || ftruncate(fd, position) != 0) return IoStatus::kWriteError;
  return IoStatus::kOk;
}

IoStatus Failed(UnitSlot& slot) {
  slot.failed = true;
  return IoStatus::kWriteError;
}

// Keeps `text` back as (the rest of) the next console prompt; false when it is no prompt
// text to hold (a line end in it, no line source, no room left).
bool HoldPrompt(int unit, std::string_view text) {
  if (unit != kConsoleOutput || g_line_source == nullptr) return false;
  if (text.find('\n') != std::string_view::npos) return false;
  if (text.size() > kHeldPromptRoom - g_held_length) return false;
  std::copy(text.begin(), text.end(), g_held_prompt.begin() + g_held_length);
  g_held_length += text.size();
  return true;
}

// Writes the held prompt text, when there is any, to unit 6's stream ahead of other output.
IoStatus ReleaseHeldPrompt() {
  const std::size_t length = g_held_length;
  g_held_length = 0;
  UnitSlot& console = g_units[kConsoleOutput];
  if (length == 0 || console.stream == nullptr) return IoStatus::kOk;
  if (std::fwrite(g_held_prompt.data(), 1, length, console.stream) != length) {
    return Failed(console);
  }
  return IoStatus::kOk;
}

// Hands the held prompt to the line source, which shows it and reads the answer.
IoStatus ReadThroughSource(std::span<char> line, LineOverflow& overflow) {
  std::array<char, kHeldPromptRoom> prompt = g_held_prompt;
  const std::size_t length = g_held_length;
  g_held_length = 0;
  // What came before the prompt is on the screen first; a failure stays recorded on unit 6.
  static_cast<void>(FlushUnit(kConsoleOutput));
  std::fill(line.begin(), line.end(), ' ');
  return g_line_source(std::string_view(prompt.data(), length), line, overflow);
}

IoStatus FindSequential(int unit, Form form, UnitSlot*& slot) {
  slot = SlotFor(unit);
  if (slot == nullptr) return IoStatus::kBadUnit;
  if (slot->stream == nullptr) return IoStatus::kNotConnected;
  if (slot->connection.access != Access::kSequential || slot->connection.form != form) {
    return IoStatus::kWrongAccess;
  }
  return IoStatus::kOk;
}

IoStatus WriteBytes(UnitSlot& slot, const void* data, std::size_t size) {
  if (size > 0 && std::fwrite(data, 1, size, slot.stream) != size) return Failed(slot);
  return IoStatus::kOk;
}

IoStatus WriteDirectRecord(UnitSlot& slot, int record, std::span<const char> bytes) {
  const std::size_t record_bytes = slot.connection.record_bytes;
  if (record < 1 || record_bytes == 0 || bytes.size() > record_bytes) return IoStatus::kBadRecord;
  PrepareFor(slot, LastOperation::kWrite);
  const off_t offset = static_cast<off_t>(record - 1) * static_cast<off_t>(record_bytes);
  if (fseeko(slot.stream, offset, SEEK_SET) != 0) return Failed(slot);
  if (WriteBytes(slot, bytes.data(), bytes.size()) != IoStatus::kOk) return IoStatus::kWriteError;
  const char pad = slot.connection.form == Form::kFormatted ? ' ' : '\0';
  for (std::size_t i = bytes.size(); i < record_bytes; ++i) {
    if (std::fputc(pad, slot.stream) == EOF) return Failed(slot);
  }
  return IoStatus::kOk;
}

IoStatus ReadDirectRecord(UnitSlot& slot, int record, std::span<char> bytes, std::size_t& length) {
  const std::size_t record_bytes = slot.connection.record_bytes;
  if (record < 1 || record_bytes == 0) return IoStatus::kBadRecord;
  PrepareFor(slot, LastOperation::kRead);
  const off_t offset = static_cast<off_t>(record - 1) * static_cast<off_t>(record_bytes);
  if (fseeko(slot.stream, offset, SEEK_SET) != 0) return IoStatus::kReadError;
  const std::size_t wanted = std::min(record_bytes, bytes.size());
  const std::size_t got = std::fread(bytes.data(), 1, wanted, slot.stream);
  if (std::ferror(slot.stream)) return IoStatus::kReadError;
  if (got == 0 && wanted > 0) return IoStatus::kEndOfFile;
  // A record cut short by the end of the file reads as padded.
  const char pad = slot.connection.form == Form::kFormatted ? ' ' : '\0';
  std::fill(bytes.begin() + static_cast<std::ptrdiff_t>(got),
            bytes.begin() + static_cast<std::ptrdiff_t>(wanted), pad);
  length = wanted;
  return IoStatus::kOk;
}

// Sequential unformatted records carry their length before and after them.
using RecordMarker = std::uint32_t;

IoStatus WriteFramedRecord(UnitSlot& slot, std::span<const char> bytes) {
  if (bytes.size() > UINT32_MAX) return IoStatus::kBadRecord;
  PrepareFor(slot, LastOperation::kWrite);
  if (CutBeforeWrite(slot) != IoStatus::kOk) return Failed(slot);
  const RecordMarker marker = static_cast<RecordMarker>(bytes.size());
  if (WriteBytes(slot, &marker, sizeof marker) != IoStatus::kOk ||
      WriteBytes(slot, bytes.data(), bytes.size()) != IoStatus::kOk ||
      WriteBytes(slot, &marker, sizeof marker) != IoStatus::kOk) {
    return IoStatus::kWriteError;
  }
  return IoStatus::kOk;
}

IoStatus ReadFramedRecord(UnitSlot& slot, std::span<char> bytes, std::size_t& length) {
  PrepareFor(slot, LastOperation::kRead);
  RecordMarker leading = 0;
  const std::size_t got = std::fread(&leading, 1, sizeof leading, slot.stream);
  if (got == 0 && !std::ferror(slot.stream)) return IoStatus::kEndOfFile;
  if (got != sizeof leading) return IoStatus::kReadError;
  const std::size_t kept = std::min<std::size_t>(leading, bytes.size());
  if (std::fread(bytes.data(), 1, kept, slot.stream) != kept) return IoStatus::kReadError;
  if (fseeko(slot.stream, static_cast<off_t>(leading - kept), SEEK_CUR) != 0) {
    return IoStatus::kReadError;
  }
  RecordMarker trailing = 0;
  if (std::fread(&trailing, 1, sizeof trailing, slot.stream) != sizeof trailing ||
      trailing != leading) {
    return IoStatus::kReadError;
  }
  length = kept;
  return IoStatus::kOk;
}

// The bytes read at the start of a stream while looking for a byte-order mark, handed to
// the first line before the stream's next ones; none when the mark was there.
struct HeldBytes {
  std::array<int, 3> bytes{};
  std::size_t count = 0;

  std::span<const int> View() const { return std::span(bytes).first(count); }
};

// Editors on some systems start a text file with the UTF-8 byte-order mark EF BB BF; it is
// no part of the first line.
HeldBytes SkipByteOrderMark(std::FILE* stream) {
  constexpr std::array<int, 3> kMark = {0xEF, 0xBB, 0xBF};
  HeldBytes held;
  for (const int expected : kMark) {
    const int c = getc_unlocked(stream);
    if (c == EOF) return held;
    held.bytes[held.count++] = c;
    if (c != expected) return held;
  }
  held.count = 0;
  return held;
}

// The characters a stream has read ahead and not handed out yet. glibc's FILE shows its read
// buffer, so a line can be found in it with memchr and copied at once; elsewhere nothing is
// seen and lines are read a character at a time.
std::span<const char> ReadAhead(std::FILE* stream) {
#if defined(__GLIBC__)
  return {stream->_IO_read_ptr, stream->_IO_read_end};
#else
  static_cast<void>(stream);
  return {};
#endif
}

// Hands out the first `count` characters of ReadAhead(stream).
void Consume(std::FILE* stream, std::size_t count) {
#if defined(__GLIBC__)
  stream->_IO_read_ptr += count;
#else
  static_cast<void>(stream);
  static_cast<void>(count);
#endif
}

// One line of a stream as read into a fixed buffer: how long it was and what did not fit.
struct LineBytes {
  bool any = false;                 // some byte was read, so there is a line (perhaps empty)
  std::size_t length = 0;           // characters before the line end, counted past the buffer
  std::size_t stored = 0;           // characters at the start of the buffer
  char last = '\0';                 // the last of the `length` characters
  char first_beyond = ' ';          // the character right after the buffer's end
  std::size_t nonblank_beyond = 0;  // non-blanks past the buffer, counted at least up to 2
};

// Adds `c` to the line: stored while it fits, only looked at beyond the buffer's end.
void AddCharacter(LineBytes& read, std::span<char> line, char c) {
  if (read.length < line.size()) {
    line[read.stored++] = c;
  } else {
    if (read.length == line.size()) read.first_beyond = c;
    if (c != ' ') ++read.nonblank_beyond;
  }
  read.last = c;
  ++read.length;
}

enum class LineStop { kNewline, kEndOfStream, kFull };

// Stores characters of `stream` from line[stored] on until a newline (read, not stored), the
// end of the stream or line[room]; `stored` counts them. Runs without a newline are copied
// from the stream's buffer at once.
LineStop StoreLine(std::FILE* stream, std::span<char> line, std::size_t room, std::size_t& stored) {
  while (stored < room) {
    const std::span<const char> ahead = ReadAhead(stream);
    if (ahead.empty()) {  // the buffer is used up (or unseen): the stream refills it
      const int c = getc_unlocked(stream);
      if (c == EOF) return LineStop::kEndOfStream;
      if (c == '\n') return LineStop::kNewline;
      line[stored++] = static_cast<char>(c);
      continue;
    }
    const std::size_t take = std::min(ahead.size(), room - stored);
    const char* const newline = static_cast<const char*>(std::memchr(ahead.data(), '\n', take));
    const std::size_t count =
        newline != nullptr ? static_cast<std::size_t>(newline - ahead.data()) : take;
    std::memcpy(line.data() + stored, ahead.data(), count);
    stored += count;
    if (newline != nullptr) {
      Consume(stream, count + 1);
      return LineStop::kNewline;
    }
    Consume(stream, count);
  }
  return LineStop::kFull;
}

// The rest of a line that filled the buffer is only looked at, a run of the stream's buffer
// at a time where it can be seen, so that a stream without line ends (/dev/zero) is gone
// through fast. Kept out of line, so that it does not weigh on the common short line.
[[gnu::noinline]] void LookAtRest(std::FILE* stream, LineBytes& read, std::span<char> line) {
  while (read.length < kMaxLineBytes) {
    const std::span<const char> ahead = ReadAhead(stream);
    if (ahead.empty()) {
      const int c = getc_unlocked(stream);
      if (c == EOF) return;
      read.any = true;
      if (c == '\n') return;
      AddCharacter(read, line, static_cast<char>(c));
      continue;
    }
    const std::size_t take = std::min(ahead.size(), kMaxLineBytes - read.length);
    const char* const newline = static_cast<const char*>(std::memchr(ahead.data(), '\n', take));
    const std::size_t count =
        newline != nullptr ? static_cast<std::size_t>(newline - ahead.data()) : take;
    read.any = true;
    if (count > 0) {
      if (read.length == line.size()) read.first_beyond = ahead[0];
      // Two non-blanks tell all there is to know, also when the last is a carriage return.
      for (std::size_t i = 0; i < count && read.nonblank_beyond < 2; ++i) {
        if (ahead[i] != ' ') ++read.nonblank_beyond;
      }
      read.last = ahead[count - 1];
      read.length += count;
    }
    Consume(stream, newline != nullptr ? count + 1 : count);
    if (newline != nullptr) return;
  }
}

// Reads the characters of one line, `held` first, up to its newline (not stored), the end of
// the stream or kMaxLineBytes characters.
LineBytes ReadLineBytes(std::FILE* stream, std::span<const int> held, std::span<char> line) {
  LineBytes read;
  for (const int c : held) {
    read.any = true;
    if (c == '\n') return read;  // only the last byte held can be a newline
    AddCharacter(read, line, static_cast<char>(c));
  }
  std::size_t stored = read.stored;
  const LineStop stop = StoreLine(stream, line, std::min(line.size(), kMaxLineBytes), stored);
  if (stored > read.stored) {
    read.any = true;
    read.last = line[stored - 1];
    read.length = read.stored = stored;
  }
  if (stop == LineStop::kNewline) read.any = true;
  if (stop != LineStop::kFull) return read;
  LookAtRest(stream, read, line);
  return read;
}

// A carriage return before the line end belongs to the line end, not to the line.
void DropFinalReturn(LineBytes& read, std::span<char> line) {
  if (read.length == 0 || read.last != '\r') return;
  const std::size_t at = --read.length;
  if (at < line.size()) {
    line[at] = ' ';
    read.stored = at;
    return;
  }
  if (at == line.size()) read.first_beyond = ' ';
  --read.nonblank_beyond;
}

IoStatus WriteUnitText(int unit, std::string_view text, bool end_line) {
  if (!end_line && HoldPrompt(unit, text)) return IoStatus::kOk;
  UnitSlot* slot = nullptr;
  if (const IoStatus found = FindSequential(unit, Form::kFormatted, slot); found != IoStatus::kOk) {
    return found;
  }
  // A diagnostic follows what the console already shows, also on a shared terminal.
  if (unit == kDiagnosticOutput) static_cast<void>(FlushUnit(kConsoleOutput));
  PrepareFor(*slot, LastOperation::kWrite);
  if (CutBeforeWrite(*slot) != IoStatus::kOk) return Failed(*slot);
  if (unit == kConsoleOutput && ReleaseHeldPrompt() != IoStatus::kOk) return IoStatus::kWriteError;
  if (WriteBytes(*slot, text.data(), text.size()) != IoStatus::kOk) return IoStatus::kWriteError;
  if (end_line && std::fputc('\n', slot->stream) == EOF) return Failed(*slot);
  return IoStatus::kOk;
}

}  // namespace

std::string_view IoStatusText(IoStatus status) {
  switch (status) {
    case IoStatus::kOk:
      return "ok";
    case IoStatus::kEndOfFile:
      return "end of file";
    case IoStatus::kBadUnit:
      return "unit number outside 0 to 99";
    case IoStatus::kNotConnected:
      return "unit not connected";
    case IoStatus::kWrongAccess:
      return "operation does not suit the unit's connection";
    case IoStatus::kBadRecord:
      return "bad record number or record length";
    case IoStatus::kReadError:
      return "read error";
    case IoStatus::kWriteError:
      return "write error";
  }
  return "unknown unit status";
}

IoStatus ConnectUnit(int unit, std::FILE* stream, const Connection& connection) {
  if (unit < kDiagnosticOutput || unit > kLastUnit) return IoStatus::kBadUnit;
  EnsureConsole();
  static_cast<void>(CloseUnit(unit));  // a former stream's lost output was its writer's to see
  UnitSlot& slot = g_units[static_cast<std::size_t>(unit)];
  slot.stream = stream;
  slot.connection = connection;
  slot.truncate_pending =
      connection.replace_on_first_write && connection.access == Access::kSequential;
  slot.last = LastOperation::kNone;
  slot.failed = false;
  slot.at_start = true;
  slot.read_error = 0;
  return IoStatus::kOk;
}

void ConnectConsoleUnits() {
  g_console_connected = true;
  Connection console;
  console.owns_stream = false;
  ConnectUnit(kConsoleInput, stdin, console);
  ConnectUnit(kConsoleOutput, stdout, console);
  ConnectUnit(kDiagnosticOutput, stderr, console);
}

bool IsConnected(int unit) {
  const UnitSlot* slot = SlotFor(unit);
  return slot != nullptr && slot->stream != nullptr;
}

const Connection* UnitConnection(int unit) {
  const UnitSlot* slot = SlotFor(unit);
  return slot != nullptr && slot->stream != nullptr ? &slot->connection : nullptr;
}

int UnitDescriptor(int unit) {
  const UnitSlot* slot = SlotFor(unit);
  return slot != nullptr && slot->stream != nullptr ? fileno(slot->stream) : -1;
}

void WriteEmptyLines(int unit, int count) {
  for (int i = 0; i < count; ++i) WriteLine(unit, "");
}

IoStatus WriteText(int unit, std::string_view text) {
  return WriteUnitText(unit, text, false);
}

IoStatus WriteLine(int unit, std::string_view text) {
  return WriteUnitText(unit, text, true);
}

IoStatus ReadLine(int unit, std::span<char> line, LineOverflow& overflow) {
  overflow = LineOverflow{};
  UnitSlot* slot = nullptr;
  if (const IoStatus found = FindSequential(unit, Form::kFormatted, slot); found != IoStatus::kOk) {
    std::fill(line.begin(), line.end(), ' ');
    return found;
  }
  if (unit == kConsoleInput) {
    if (g_line_source != nullptr) return ReadThroughSource(line, overflow);
    static_cast<void>(FlushUnit(kConsoleOutput));  // a failure stays recorded on unit 6
  }
  PrepareFor(*slot, LastOperation::kRead);

  std::FILE* const stream = slot->stream;
  HeldBytes held;
  if (slot->at_start) {
    slot->at_start = false;
    held = SkipByteOrderMark(stream);
  }
  LineBytes read = ReadLineBytes(stream, held.View(), line);
  DropFinalReturn(read, line);
  // Only the part of the buffer the line left is blanked: most lines are far shorter.
  std::fill(line.begin() + static_cast<std::ptrdiff_t>(read.stored), line.end(), ' ');
  if (ferror_unlocked(stream)) {
    slot->read_error = errno;  // set by the read that failed: nothing since has touched it
    return IoStatus::kReadError;
  }
  if (!read.any) return IoStatus::kEndOfFile;
  overflow = {.nonblank_beyond = read.nonblank_beyond > 0,
              .first_beyond = read.first_beyond,
              .stored = read.stored};
  return IoStatus::kOk;
}

int UnitReadError(int unit) {
  const UnitSlot* slot = SlotFor(unit);
  return slot != nullptr ? slot->read_error : 0;
}

IoStatus ReadLine(int unit, std::span<char> line) {
  LineOverflow ignored;
  return ReadLine(unit, line, ignored);
}

IoStatus WriteRecord(int unit, int record, std::span<const char> bytes) {
  UnitSlot* slot = SlotFor(unit);
  if (slot == nullptr) return IoStatus::kBadUnit;
  if (slot->stream == nullptr) return IoStatus::kNotConnected;
  if (slot->connection.access == Access::kDirect) return WriteDirectRecord(*slot, record, bytes);
  if (slot->connection.form != Form::kUnformatted) return IoStatus::kWrongAccess;
  if (record != 0) return IoStatus::kBadRecord;
  return WriteFramedRecord(*slot, bytes);
}

IoStatus ReadRecord(int unit, int record, std::span<char> bytes, std::size_t& length) {
  UnitSlot* slot = SlotFor(unit);
  if (slot == nullptr) return IoStatus::kBadUnit;
  if (slot->stream == nullptr) return IoStatus::kNotConnected;
  if (slot->connection.access == Access::kDirect) {
    return ReadDirectRecord(*slot, record, bytes, length);
  }
  if (slot->connection.form != Form::kUnformatted) return IoStatus::kWrongAccess;
  if (record != 0) return IoStatus::kBadRecord;
  return ReadFramedRecord(*slot, bytes, length);
}

IoStatus FlushUnit(int unit) {
  UnitSlot* slot = SlotFor(unit);
  if (slot == nullptr) return IoStatus::kBadUnit;
  if (slot->stream == nullptr) return IoStatus::kNotConnected;
  if (unit == kConsoleOutput) ReleaseHeldPrompt();
  if (std::fflush(slot->stream) != 0 || std::ferror(slot->stream)) slot->failed = true;
  return slot->failed ? IoStatus::kWriteError : IoStatus::kOk;
}

IoStatus CloseUnit(int unit) {
  UnitSlot* slot = SlotFor(unit);
  if (slot == nullptr) return IoStatus::kBadUnit;
  if (slot->stream == nullptr) return IoStatus::kOk;
  if (unit == kConsoleOutput) ReleaseHeldPrompt();
  bool failed = slot->failed;
  if (std::fflush(slot->stream) != 0) failed = true;
  // Read-only streams may carry a read error; only output problems matter here.
  if (slot->last == LastOperation::kWrite && std::ferror(slot->stream)) failed = true;
  if (slot->connection.owns_stream && std::fclose(slot->stream) != 0) failed = true;
  *slot = UnitSlot{};
  return failed ? IoStatus::kWriteError : IoStatus::kOk;
}

std::FILE* DetachUnit(int unit) {
  UnitSlot* slot = SlotFor(unit);
  if (slot == nullptr) return nullptr;
  std::FILE* stream = slot->stream;
  *slot = UnitSlot{};
  return stream;
}

void SetConsoleLineSource(ConsoleLineSource source) {
  EnsureConsole();
  ReleaseHeldPrompt();
  g_line_source = source;
}

IoStatus CloseAllUnits() {
  IoStatus first = IoStatus::kOk;
  for (int unit = kDiagnosticOutput; unit <= kLastUnit; ++unit) {
    const IoStatus closed = CloseUnit(unit);
    if (first == IoStatus::kOk) first = closed;
  }
  return first;
}

}  // namespace qartwo
