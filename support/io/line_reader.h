// The line reader: the next line of a unit read into a fixed-length text, with what did not
// fit, and the console line source that the line editor plugs in for unit 5.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "support/io/units.h"

namespace qartwo {

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
// line ends cannot keep a reader busy for ever. For one thread: the stream is read unlocked.
[[nodiscard]] IoStatus ReadLine(int unit, std::span<char> line, LineOverflow& overflow);

// The same, for a caller that does not look at what was cut off.
[[nodiscard]] IoStatus ReadLine(int unit, std::span<char> line);

// Reads the next line of a sequential formatted unit into `line`, whole: as the fixed-length
// ReadLine above, but the line is neither cut nor padded (a line still ends after 16 MiB). Not
// for unit 5 while a console line source is set.
[[nodiscard]] IoStatus ReadLine(int unit, std::string& line);

// The system's error number (errno) of the last ReadLine on `unit` that returned kReadError,
// for a diagnostic that gives the reason; 0 when none did or the reason is not known.
[[nodiscard]] int UnitReadError(int unit);

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
