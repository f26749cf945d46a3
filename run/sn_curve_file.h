// The user-defined SN-curve reader: a curve name line, a size line (nSNlin, nParPerLin,
// nFixPar and an optional standard code), one line of LogA, m, nBreak per segment and a line
// of fixed parameters, read into the SN-curve parameter vector.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "fatigue/sn_vector.h"
#include "run/input_lines.h"
#include "support/io/units.h"
#include "support/text/free_form.h"

namespace qartwo {

// What stands before a user-defined curve's name on the console and in the report.
inline constexpr std::string_view kUserDefinedLabel = " User Defined SN-Curve         : ";

// The data lines of the file, in the order they come.
enum class SnCurveLine { kNone, kName, kSize, kSegment, kFixed };

// Why a size line was refused.
enum class SnCurveRefusal {
  kNone,
  kNegativeCount,     // nSNlin, nParPerLin or nFixPar below 0
  kValuesPerSegment,  // nParPerLin other than 3: a segment line holds LogA, m, nBreak
  kTooManyValues,     // 8 + 3 x nSNlin + nFixPar above the room of the vector
};

// What the reader took from the file, and where it stopped when it could not go on.
struct SnCurveFileResult {
  InputFileStatus status = InputFileStatus::kOk;
  // The last data line taken, or the failing one; kNone when the file had no data line.
  // kOk with a line before kFixed: the file ended where only its fixed-parameter line was
  // missing, and the fixed block is as it was (zero in the program).
  SnCurveLine line_kind = SnCurveLine::kNone;
  int segment = 0;  // segment number (from 1) of the last segment line taken or failing
  // From the size line as read, also when it was refused.
  int nSNlin = 0;
  int nParPerLin = 0;
  int nFixPar = 0;
  // The size line's fourth item when it is the integer 1 (kStandardNorsok: thickness-corrected
  // with the last three fixed values as thick, k, kHigh) or 2; kStandardDnv otherwise.
  int iStandard = kStandardDnv;
  // Not kOk: the failing line (for kUnitError the last line read) and its data-line number.
  InputLinePosition position;
  // kInputError, kRefused: the failing line without trailing blanks; a view into the
  // caller's line buffer, valid until that buffer changes.
  std::string_view line_text;
  InputProblem problem = InputProblem::kNone;  // kInputError: what is wrong
  FreeFormResult value;                        // kValue: which value failed, on what text
  int value_index = 0;  // kNotAboveZero, kNotGiven, kOutOfRange: which value (from 0)
  SnCurveRefusal refusal = SnCurveRefusal::kNone;
  long long needed_values = 0;         // kTooManyValues: 8 + 3 x nSNlin + nFixPar
  std::size_t vector_room = 0;         // kTooManyValues: the values the vector holds
  IoStatus io_status = IoStatus::kOk;  // kUnitError
  SurplusValues surplus;               // the first data line with a number after the values read
};

// Reads the SN-curve file on `unit`, one line at a time into `line` (256 characters), up to
// its fixed-parameter line or its end. The name line is copied into `name_line` (cut or
// padded with blanks) and announced on `console_unit` by an empty line and
// " User Defined SN-Curve         : " with the name. The size line sets elements 1 to 8 of
// `curve` (element 1 the standard code); segment k goes to elements 9 + 3(k-1) to 11 + 3(k-1);
// the fixed values from the element named by element 8. A size line with a negative count,
// nParPerLin other than 3 or more values than min(curve.size(), kCurveVectorLength) is refused
// (kRefused) before anything is stored from it. kInputError: a line with too few values, a
// value of the wrong kind or cut at column 256, nSNlin of 0, a left-out nSNlin, nParPerLin,
// LogA, m or nBreak, a LogA outside -300..300, a slope m of 0 or below, or a file that ends
// before its name, size or segment lines; with standard code 1 also nFixPar below 3, a missing
// fixed-parameter line, thick left out or not above 0, k or kHigh left out or below 0. Never
// writes outside `line`, `curve` and `name_line`.
[[nodiscard]] SnCurveFileResult ReadSnCurveFile(int unit, std::span<char> line,
                                                std::span<double> curve, std::span<char> name_line,
                                                int console_unit);

// Writes the diagnostic for a result that is not kOk to `unit` (nothing for kOk): the file
// name, the line number, the line's text and what was expected, or the limit it broke.
void WriteSnCurveFileProblem(int unit, std::string_view file_name, const SnCurveFileResult& result);

// Writes the note on the first data line with a number after its values (see SurplusValues)
// to `unit`; nothing when there is none.
void WriteSnCurveFileNote(int unit, std::string_view file_name, const SnCurveFileResult& result);

}  // namespace qartwo
