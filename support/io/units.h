// The unit table: every stream the program reads or writes is reached through a unit number.
// Units 5 (standard input) and 6 (standard output) are connected from the start, and so is
// unit 0 (standard error, for diagnostics); files are plugged in on units 1 to 99 with
// ConnectUnit by the file-opening routines.
#pragma once

#include <cstddef>
#include <cstdio>
#include <span>
#include <string_view>

namespace qartwo {

inline constexpr int kDiagnosticOutput = 0;
inline constexpr int kFirstUnit = 1;
inline constexpr int kLastUnit = 99;
inline constexpr int kConsoleInput = 5;
inline constexpr int kConsoleOutput = 6;

// Length of file names, console answers and input-file lines.
inline constexpr std::size_t kTextLength = 256;

// Outcome of a unit operation: 0 ok, negative end of input, positive errors.
enum class IoStatus : int {
  kOk = 0,
  kEndOfFile = -1,
  kBadUnit = 1,       // unit number outside 0..99
  kNotConnected = 2,  // nothing is connected to the unit
  kWrongAccess = 3,   // operation does not suit the connection (lines on a direct file, ...)
  kBadRecord = 4,     // record number below 1, or record longer than the record length
  kReadError = 5,
  kWriteError = 6,
};

// Short English text for a status, e.g. "end of file" or "write error".
std::string_view IoStatusText(IoStatus status);

enum class Access { kSequential, kDirect };
enum class Form { kFormatted, kUnformatted };
enum class BlankMode { kNull, kZero };

// How a stream is attached to a unit.
struct Connection {
  Access access = Access::kSequential;
  Form form = Form::kFormatted;
  BlankMode blank = BlankMode::kNull;
  // Direct access: bytes per record (the caller converts words to bytes).
  std::size_t record_bytes = 0;
  // Sequential file opened at its start without truncation: its former content is dropped
  // when the first record is written, so a file opened but never written keeps what it held.
  bool replace_on_first_write = false;
  // The unit closes the stream when it is disconnected (false for the console streams).
  bool owns_stream = true;
  // The open that made this connection created the file.
  bool created = false;
};

// Attaches `stream` to `unit`, first closing whatever the unit had. On kBadUnit nothing
// changes and the caller still owns `stream`.
IoStatus ConnectUnit(int unit, std::FILE* stream, const Connection& connection);

// (Re)connects units 5, 6 and 0 to standard input, output and error; the state at start.
void ConnectConsoleUnits();

// True when a stream is attached to `unit`.
bool IsConnected(int unit);

// The connection of `unit`, or nullptr when nothing is connected.
const Connection* UnitConnection(int unit);

// The system's file descriptor of the stream on `unit`, -1 when nothing is connected.
int UnitDescriptor(int unit);

// Writes `text` and a newline to a sequential formatted unit. A write that fails is also
// recorded on the unit and reported again by FlushUnit and CloseUnit, so that a caller may
// write a whole report and check once, at the close, that all of it reached its file.
IoStatus WriteLine(int unit, std::string_view text);

// Writes `count` empty lines to `unit` (nothing for count <= 0); failures as for WriteLine.
void WriteEmptyLines(int unit, int count);

// Writes `text` without ending the line (prompts); failures as for WriteLine.
IoStatus WriteText(int unit, std::string_view text);

// What a line held past the end of the buffer it was read into, and how much of the buffer
// it filled.
struct LineOverflow {
  // Some character other than a blank (code 32) stood after the buffer's end.
  bool nonblank_beyond = false;
  // The character right after the buffer's end; a blank when the line fitted.
  char first_beyond = ' ';
  // Characters of the line at the start of the buffer (a dropped carriage return not among
  // them); every character after them is a blank of the padding.
  std::size_t stored = 0;
};

// Reads the next line of a sequential formatted unit into `line`: the newline and one
// carriage return before it are dropped, and so is a UTF-8 byte-order mark at the very start
// of the stream; the text is cut at line.size() and padded with blanks; every other byte (NUL
// included) is one character. `overflow` tells what was cut off. kEndOfFile when no line is
// left (`line` is then all blank). A last line without a newline still counts. Reading unit 5
// first flushes unit 6 so that a prompt is visible (or reads through the console line source,
// see SetConsoleLineSource). A line ends after 16 MiB at the latest, so that a stream without
// line ends cannot keep a reader busy for ever.
[[nodiscard]] IoStatus ReadLine(int unit, std::span<char> line, LineOverflow& overflow);

// The same, for a caller that does not look at what was cut off.
[[nodiscard]] IoStatus ReadLine(int unit, std::span<char> line);

// The system's error number (errno) of the last ReadLine on `unit` that returned kReadError,
// for a diagnostic that gives the reason; 0 when none did or the reason is not known.
[[nodiscard]] int UnitReadError(int unit);

// Direct access: writes `bytes` as record `record` (from 1); a shorter record is padded
// with blanks (formatted) or zero bytes (unformatted). Sequential unformatted: record 0
// writes the next record, framed by its 4-byte length before and after.
IoStatus WriteRecord(int unit, int record, std::span<const char> bytes);

// Direct access: reads record `record` into the first record_bytes of `bytes` (a record
// beyond the end of the file is kEndOfFile). Sequential unformatted, record 0: reads the
// next record; `bytes` receives at most bytes.size() of it. `length` receives the number of
// bytes stored.
[[nodiscard]] IoStatus ReadRecord(int unit, int record, std::span<char> bytes, std::size_t& length);

// Flushes `unit`'s pending output; kWriteError when any output on it could not be written.
[[nodiscard]] IoStatus FlushUnit(int unit);

// Disconnects `unit`, flushing it and closing an owned stream. kWriteError when any output
// on it was lost; kOk (nothing to do) when the unit was not connected.
[[nodiscard]] IoStatus CloseUnit(int unit);

// Disconnects `unit` without flushing or closing its stream, which the caller takes over;
// nullptr when nothing was connected.
std::FILE* DetachUnit(int unit);

// Closes every unit (console units are flushed, not closed); the first failure is returned.
[[nodiscard]] IoStatus CloseAllUnits();

// Reads one console line in place of unit 5's stream, showing `prompt` in front of it; fills
// `line` and `overflow` as ReadLine does (blank-padded, cut at line.size()) and returns its
// status.
using ConsoleLineSource = IoStatus (*)(std::string_view prompt, std::span<char> line,
                                       LineOverflow& overflow);

// Makes unit 5 read through `source` (nullptr: through its stream again). While a source is
// set, text written to unit 6 without a line end (a prompt) is held back, up to 128
// characters, and handed to the source as the prompt of the next console read; any other
// output on unit 6 or unit 0, a flush or a close writes the held text first.
void SetConsoleLineSource(ConsoleLineSource source);

}  // namespace qartwo
