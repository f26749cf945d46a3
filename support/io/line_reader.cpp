#include "support/io/line_reader.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "support/io/unit_table.h"
#include "support/text/fixed_text.h"

namespace qartwo {
namespace {

using unit_table::LastOperation;
using unit_table::UnitSlot;

// A stream that never ends a line (a device such as /dev/zero, a corrupt file) must not keep
// a reader busy for ever: a line ends after this many bytes and its rest is the next line.
constexpr std::size_t kMaxLineBytes = std::size_t{16} << 20;
static_assert(kMaxLineBytes > kTextLength);

ConsoleLineSource g_line_source = nullptr;

// Hands the held prompt to the line source, which shows it and reads the answer.
IoStatus ReadThroughSource(std::span<char> line, LineOverflow& overflow) {
  std::array<char, kHeldPromptRoom> room;
  const std::string_view prompt = TakeHeldPrompt(room);
  // What came before the prompt is on the screen first; a failure stays recorded on unit 6.
  static_cast<void>(FlushUnit(kConsoleOutput));
  std::fill(line.begin(), line.end(), ' ');
  return g_line_source(prompt, line, overflow);
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

// Lines are found in the stream's own read buffer: ReadAhead shows the characters the stream
// has read ahead and not handed out yet, so that a line is found with memchr and copied at
// once, and Consume hands them out. That is sound only
//   - in one thread: the buffer is read and its pointer moved without the stream's lock, as
//     getc_unlocked does (the program has one thread);
//   - with glibc, whose FILE keeps that buffer in _IO_read_ptr and _IO_read_end: fields of its
//     own, no public interface. A character pushed back with ungetc is the buffer's last one
//     again, or lies in glibc's backup area, which the two fields then show until a getc at
//     its end goes back to the buffer;
//   - elsewhere ReadAhead shows nothing and every line is read a byte at a time with
//     getc_unlocked: slower, the same lines.
// getdelim would need none of this, but its buffer grows with the longest line without limit
// (a stream without line ends takes all memory) and it costs 7% more instructions on a
// 10000-line file.
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

}  // namespace

IoStatus ReadLine(int unit, std::span<char> line, LineOverflow& overflow) {
  overflow = LineOverflow{};
  UnitSlot* slot = nullptr;
  if (const IoStatus found = unit_table::FindSequential(unit, Form::kFormatted, slot);
      found != IoStatus::kOk) {
    std::fill(line.begin(), line.end(), ' ');
    return found;
  }
  if (unit == kConsoleInput) {
    if (g_line_source != nullptr) return ReadThroughSource(line, overflow);
    static_cast<void>(FlushUnit(kConsoleOutput));  // a failure stays recorded on unit 6
  }
  unit_table::PrepareFor(*slot, LastOperation::kRead);

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

IoStatus ReadLine(int unit, std::string& line) {
  line.clear();
  UnitSlot* slot = nullptr;
  if (const IoStatus found = unit_table::FindSequential(unit, Form::kFormatted, slot);
      found != IoStatus::kOk) {
    return found;
  }
  unit_table::PrepareFor(*slot, LastOperation::kRead);
  std::FILE* const stream = slot->stream;
  HeldBytes held;
  if (slot->at_start) {
    slot->at_start = false;
    held = SkipByteOrderMark(stream);
  }
  bool any = held.count > 0;
  LineStop stop = LineStop::kFull;
  for (const int c : held.View()) {
    if (c == '\n') stop = LineStop::kNewline;  // only the last byte held can be one
    if (c != '\n') line += static_cast<char>(c);
  }
  std::size_t stored = line.size();
  constexpr std::size_t kStep = 256;
  while (stop == LineStop::kFull && stored < kMaxLineBytes) {
    line.resize(std::min(std::max(stored + kStep, 2 * stored), kMaxLineBytes));
    const std::size_t before = stored;
    stop = StoreLine(stream, std::span<char>(line.data(), line.size()), line.size(), stored);
    any = any || stored > before || stop == LineStop::kNewline;
  }
  line.resize(stored);
  if (ferror_unlocked(stream)) {
    slot->read_error = errno;
    return IoStatus::kReadError;
  }
  if (!any) return IoStatus::kEndOfFile;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return IoStatus::kOk;
}

int UnitReadError(int unit) {
  const UnitSlot* slot = unit_table::SlotFor(unit);
  return slot != nullptr ? slot->read_error : 0;
}

IoStatus ReadLine(int unit, std::span<char> line) {
  LineOverflow ignored;
  return ReadLine(unit, line, ignored);
}

void SetConsoleLineSource(ConsoleLineSource source) {
  HoldConsolePrompts(source != nullptr);
  g_line_source = source;
}

}  // namespace qartwo
