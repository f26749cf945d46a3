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

// Room for the prompt text held on unit 6.
inline constexpr std::size_t kHeldPromptRoom = 128;

// While `on`, text written to unit 6 without a line end (a prompt) is held back, up to
// kHeldPromptRoom characters, for TakeHeldPrompt; any other output on unit 6 or unit 0, a
// flush or a close writes the held text first, and so does turning holding off.
void HoldConsolePrompts(bool on);

// Copies the prompt text held on unit 6 into `room` (cut at its size) and forgets it; returns
// the copy (empty when nothing is held).
std::string_view TakeHeldPrompt(std::span<char> room);

}  // namespace qartwo
