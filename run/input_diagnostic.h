// The diagnostic a reader's caller writes when an input file could not be taken: which file,
// which line and its text, what is wrong, and what the line should have held.
#pragma once

#include <span>
#include <string_view>

#include "run/input_lines.h"
#include "support/io/units.h"
#include "support/text/fields.h"
#include "support/text/free_form.h"

namespace qartwo {

// One value a data line must hold: its name and kind, e.g. {"block width", kReal}.
struct ExpectedValue {
  std::string_view name;
  FreeFormKind kind;
};

// What went wrong in one input file, gathered from a reader's result.
struct InputFileProblem {
  std::string_view file_kind;  // "cycle histogram", "SN-curve"
  std::string_view file_name;  // as typed; trailing blanks are dropped
  InputFileStatus status = InputFileStatus::kOk;
  long long line_number = 0;           // the failing line, or for kUnitError the lines read before
  std::string_view line_text;          // the failing line (kInputError, kRefused)
  std::string_view problem;            // what is wrong with it
  std::string_view expected;           // what the line should hold, or the limit it broke
  IoStatus io_status = IoStatus::kOk;  // kUnitError
  bool at_end = false;                 // kInputError found at the end of the file: no line to show
  std::string_view note;               // a hint at the cause, or empty
};

// Writes the diagnostic lines of `problem` to `unit`: a heading naming the file and the
// line, then the line's text, the problem, what was expected and the note (lines with nothing
// to show are left out). Writes nothing for kOk.
void WriteInputFileProblem(int unit, const InputFileProblem& problem);

// Writes the diagnostic of a reader's result (a HistogramFileResult or SnCurveFileResult) for
// a `file_kind` file named `file_name`, with what is wrong and what was expected, as
// WriteInputFileProblem does.
template <typename Result>
void WriteReaderProblem(int unit, std::string_view file_kind, std::string_view file_name,
                        const Result& result, const OutputLine& what, const OutputLine& expected,
                        std::string_view note = {}) {
  WriteInputFileProblem(unit, {.file_kind = file_kind,
                               .file_name = file_name,
                               .status = result.status,
                               .line_number = result.position.line_number,
                               .line_text = result.line_text,
                               .problem = LineText(what),
                               .expected = LineText(expected),
                               .io_status = result.io_status,
                               .at_end = result.problem == InputProblem::kEndsEarly,
                               .note = note});
}

// Writes the note on `surplus` (nothing when it holds no line) for a `file_kind` file named
// `file_name`: the line, its text, and that a comma separates values.
void WriteSurplusNote(int unit, std::string_view file_kind, std::string_view file_name,
                      const SurplusValues& surplus);

// Writes a line under a diagnostic's heading to `unit`: five blanks, `label` and `text`, which
// is shown as quoted from the user when `visible` (see AppendVisible). Nothing when `text` is
// empty.
void WriteIndented(int unit, std::string_view label, std::string_view text, bool visible);

// Appends the list of values a line holds: "number of blocks (integer), block width (real)".
void AppendExpectedValues(OutputLine& line, std::span<const ExpectedValue> values);

// Appends what the free-form reader found wrong with `value` (what the failing value should be)
// on a line that needs `needed` values, e.g. value 2 (block width) "abc" is not a real number.
void AppendValueProblem(OutputLine& line, const FreeFormResult& result, const ExpectedValue& value,
                        int needed);

// Appends what is wrong with a data line holding `values`: the free-form failure of `result`
// (kValue), a value cut at column 256, or value `value_index` (from 0) out of its range, e.g.
// value 2 (number of cycles) is below 0. Nothing for other problems.
void AppendLineProblem(OutputLine& line, InputProblem problem, const FreeFormResult& result,
                       std::span<const ExpectedValue> values, int value_index);

// Appends where a file ended too early: "the file ends after its <last> (line 3); " or, with
// no data line at all, "the file holds no data line (2 lines read); ".
void AppendEarlyEnd(OutputLine& line, std::string_view last, const InputLinePosition& position);

}  // namespace qartwo
