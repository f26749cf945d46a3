// The line convention of the two input files (cycle histogram, user-defined SN-curve): lines
// of 256 characters, comment lines marked in column 1, blank lines passed over, and the
// remaining data lines counted from 1.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <span>
#include <string_view>

#include "support/io/line_reader.h"
#include "support/io/units.h"
#include "support/text/fixed_text.h"
#include "support/text/free_form.h"

namespace qartwo {

// Characters of an input-file line that count; a longer line is cut here.
inline constexpr std::size_t kInputLineLength = kTextLength;

// True for the comment marks "$", "#", "!" and the apostrophe.
bool IsCommentMark(char c);

enum class InputLineKind { kComment, kBlank, kData };

// Comment when column 1 holds a comment mark (only column 1 counts), blank when the line is
// empty or holds only blanks (code 32), data otherwise.
InputLineKind ClassifyInputLine(std::string_view line);

// The part of a line buffer that holds the line: its first kInputLineLength characters.
std::string_view InputLineText(std::span<const char> line);

// Position of a reader in its file. Every physical line counts in line_number, so a user
// can find it in an editor; only data lines count in data_line.
struct InputLinePosition {
  long long line_number = 0;
  int data_line = 0;
  long long data_line_number = 0;  // line_number of the last data line
  LineOverflow overflow;           // what the last line read held past kInputLineLength
};

// True when the cut at kInputLineLength split a value that `read` took from `line`: the
// characters on both sides of the cut belong to one token (neither is a blank, tab, comma or
// slash) and the last token read as a value ran up to the cut.
bool ValueCutAtLineEnd(std::string_view line, const LineOverflow& overflow,
                       const FreeFormResult& read);

// Why a reader stopped with kInputError.
enum class InputProblem {
  kNone,
  kValue,         // a value missing or not of its kind: the reader's FreeFormResult says which
  kCutValue,      // a value runs on past kInputLineLength
  kBelowZero,     // the value at the reader's value index is below 0
  kNotAboveZero,  // the value at the reader's value index is 0 or below
  kNotGiven,      // the value at the reader's value index was left out (null value, n*, slash)
  kOutOfRange,    // the value at the reader's value index lies outside the range it may take
  kEndsEarly,     // the file ended before a line the reader needs
};

// Reads the values of data line `text` into `targets` into `read`: kValue when the free-form
// reader refused the line, kCutValue when a value it took was cut at kInputLineLength (see
// ValueCutAtLineEnd), kNone when all values were read. `overflow` is what ReadLine told of
// the line: only its first overflow.stored characters are read, the rest being padding.
[[nodiscard]] InputProblem ReadLineValues(std::string_view text, const LineOverflow& overflow,
                                          std::span<const FreeFormTarget> targets,
                                          FreeFormResult& read);

// The first data line of a file that holds a number after the values read from it: a
// decimal comma or a thousands separator splits a number in two, silently.
struct SurplusValues {
  long long line_number = 0;  // 0: no such line
  int values_read = 0;
  std::size_t length = 0;  // of `text`: the line without trailing blanks
  std::array<char, kInputLineLength> text{};
};

// Notes the line at `position` in `surplus` when a number follows the `values_read` values that
// `read` took from `text` (the line as ReadLine stored it).
void NoteSurplusValues(std::string_view text, const InputLinePosition& position,
                       const FreeFormResult& read, std::size_t values_read, SurplusValues& surplus);

// ReadLineValues for a reader's data line (the line at result.position, its free-form result
// into result.value), then: kNotGiven with result.value_index the first target of `needed`
// (bit i: target i) that got no value; else the line noted in result.surplus when that holds
// no line yet and a number follows the values. `Result` is a HistogramFileResult or an
// SnCurveFileResult.
template <typename Result>
[[nodiscard]] InputProblem ReadResultValues(std::string_view text, Result& result,
                                            std::span<const FreeFormTarget> targets,
                                            std::uint64_t needed) {
  const InputProblem problem =
      ReadLineValues(text, result.position.overflow, targets, result.value);
  if (problem != InputProblem::kNone) return problem;
  if (const std::uint64_t missing = result.value.no_value & needed; missing != 0) {
    result.value_index = std::countr_zero(missing);
    return InputProblem::kNotGiven;
  }
  // Most lines end at their last value: only those with more are looked at.
  if (result.surplus.line_number == 0 && result.value.next < result.position.overflow.stored) {
    NoteSurplusValues(text, result.position, result.value, targets.size(), result.surplus);
  }
  return InputProblem::kNone;
}

// Reads lines of `unit` into `line` (at most its first kInputLineLength characters are
// used, padded with blanks) until a data line, passing over comment and blank lines.
// kOk: `line` holds the data line and `position` has counted it. kEndOfFile: no data line
// was left. Any other status is the unit's failure. `line` is blank on every non-ok return.
[[nodiscard]] IoStatus ReadDataLine(int unit, std::span<char> line, InputLinePosition& position);

// How a reader ended. The main program ends the run with status 2 on kInputError and 1 on
// kRefused or kUnitError.
enum class InputFileStatus {
  kOk,          // read to its end (or, for an SN-curve file, to its fixed-parameter line)
  kInputError,  // a data line with too few values, or a value not of the required kind
  kRefused,     // the file's content does not fit the program's storage or format
  kUnitError,   // the unit could not be read
};

// Ends a reader's result (a HistogramFileResult or SnCurveFileResult) at the failing `line`:
// `status`, `problem` and the line's text without trailing blanks, a view into `line` that
// stays valid until the line buffer changes.
template <typename Result>
Result& StopAtLine(Result& result, InputFileStatus status, InputProblem problem,
                   std::span<const char> line) {
  result.status = status;
  result.problem = problem;
  result.line_text = TrimTrailingBlanks(InputLineText(line));
  return result;
}

// A reader's loop step: ReadDataLine, true when `line` holds the next data line. False at
// the end of the file (nothing else changes) or when the unit fails (`status` becomes
// kUnitError and `io_status` the unit's failure).
[[nodiscard]] bool NextDataLine(int unit, std::span<char> line, InputLinePosition& position,
                                InputFileStatus& status, IoStatus& io_status);

}  // namespace qartwo
