#include "run/input_diagnostic.h"

#include "support/io/console_text.h"

namespace qartwo {
namespace {

// Indent of the lines under the heading, so that they read as one message.
constexpr std::string_view kIndent = "     ";

// A value of a line is followed by a further number.
constexpr std::string_view kSurplusNote =
    "a comma separates values: write a decimal comma as a point, and no thousands separator "
    "(only the first such line of the file is shown)";

constexpr std::string_view kLeftOut = ") is left out by a null value (\",,\" or \"n*\") or a slash";

void AppendFileName(OutputLine& line, std::string_view file_kind, std::string_view file_name) {
  AppendText(line, file_kind);
  AppendText(line, " file \"");
  AppendVisible(line, TrimTrailingBlanks(file_name));
  AppendText(line, "\"");
}

}  // namespace

void WriteIndented(int unit, std::string_view label, std::string_view text, bool visible) {
  if (text.empty()) return;
  OutputLine indented;
  AppendText(indented, kIndent);
  AppendText(indented, label);
  WriteLabelled(unit, LineText(indented), text, visible);
}

void WriteInputFileProblem(int unit, const InputFileProblem& problem) {
  OutputLine heading;
  switch (problem.status) {
    case InputFileStatus::kOk:
      return;
    case InputFileStatus::kInputError:
      AppendText(heading, " *** ERROR: input error in ");
      AppendFileName(heading, problem.file_kind, problem.file_name);
      if (problem.at_end) {
        AppendText(heading, " at its end");
        break;
      }
      AppendText(heading, " at line ");
      AppendCount(heading, problem.line_number);
      break;
    case InputFileStatus::kRefused:
      AppendText(heading, " *** ERROR: ");
      AppendFileName(heading, problem.file_kind, problem.file_name);
      AppendText(heading, " refused at line ");
      AppendCount(heading, problem.line_number);
      break;
    case InputFileStatus::kUnitError:
      AppendText(heading, " *** ERROR: cannot read ");
      AppendFileName(heading, problem.file_kind, problem.file_name);
      AppendText(heading, " after line ");
      AppendCount(heading, problem.line_number);
      AppendText(heading, ": ");
      AppendText(heading, IoStatusText(problem.io_status));
      break;
  }
  WriteLine(unit, LineText(heading));
  WriteIndented(unit, "line text: ", TrimTrailingBlanks(problem.line_text), true);
  WriteIndented(unit, "problem  : ", problem.problem, false);
  WriteIndented(unit, "expected : ", problem.expected, false);
  WriteIndented(unit, "note     : ", problem.note, false);
}

void WriteSurplusNote(int unit, std::string_view file_kind, std::string_view file_name,
                      const SurplusValues& surplus) {
  if (surplus.line_number == 0) return;
  OutputLine heading;
  AppendText(heading, " *** NOTE: ");
  AppendFileName(heading, file_kind, file_name);
  AppendText(heading, " at line ");
  AppendCount(heading, surplus.line_number);
  AppendText(heading, ": values beyond the first ");
  AppendCount(heading, surplus.values_read);
  AppendText(heading, " are ignored");
  WriteLine(unit, LineText(heading));
  WriteIndented(unit, "line text: ", {surplus.text.data(), surplus.length}, true);
  WriteIndented(unit, "note     : ", kSurplusNote, false);
}

void AppendExpectedValues(OutputLine& line, std::span<const ExpectedValue> values) {
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i > 0) AppendText(line, ", ");
    AppendText(line, values[i].name);
    AppendText(line, values[i].kind == FreeFormKind::kInteger ? " (integer)" : " (real)");
  }
}

void AppendValueProblem(OutputLine& line, const FreeFormResult& result, const ExpectedValue& value,
                        int needed) {
  if (result.status == FreeFormStatus::kTooFewValues) {
    AppendText(line, "too few values: ");
    AppendCount(line, result.target);
    AppendText(line, " found, ");
    AppendCount(line, needed);
    AppendText(line, " needed (");
    AppendText(line, value.name);
    AppendText(line, " is missing)");
    return;
  }
  AppendText(line, "value ");
  AppendCount(line, static_cast<long long>(result.target) + 1);
  AppendText(line, " (");
  AppendText(line, value.name);
  AppendText(line, ") \"");
  AppendVisible(line, result.value);
  AppendText(line, "\" ");
  if (result.status == FreeFormStatus::kNotANumber) {
    AppendText(line,
               value.kind == FreeFormKind::kInteger ? "is not an integer" : "is not a real number");
  } else {
    AppendText(line, "is wrong: ");
    AppendText(line, FreeFormStatusText(result.status));
  }
}

void AppendLineProblem(OutputLine& line, InputProblem problem, const FreeFormResult& result,
                       std::span<const ExpectedValue> values, int value_index) {
  if (problem == InputProblem::kCutValue) {
    AppendText(line, "the line is longer than 256 characters: a value runs on past column 256");
    return;
  }
  if (values.empty()) return;
  const auto value_at = [&values](std::size_t index) -> const ExpectedValue& {
    return values[index < values.size() ? index : values.size() - 1];
  };
  switch (problem) {
    case InputProblem::kValue:
      AppendValueProblem(line, result, value_at(static_cast<std::size_t>(result.target)),
                         static_cast<int>(values.size()));
      return;
    case InputProblem::kBelowZero:
    case InputProblem::kNotAboveZero:
    case InputProblem::kNotGiven:
      AppendText(line, "value ");
      AppendCount(line, value_index + 1);
      AppendText(line, " (");
      AppendText(line, value_at(static_cast<std::size_t>(value_index)).name);
      AppendText(line, problem == InputProblem::kBelowZero      ? ") is below 0"
                       : problem == InputProblem::kNotAboveZero ? ") is not above 0"
                                                                : kLeftOut);
      return;
    case InputProblem::kNone:
    case InputProblem::kCutValue:
    case InputProblem::kOutOfRange:  // the reader says the range
    case InputProblem::kEndsEarly:
      return;
  }
}

void AppendEarlyEnd(OutputLine& line, std::string_view last, const InputLinePosition& position) {
  if (position.data_line == 0) {
    AppendText(line, "the file holds no data line (");
    AppendCount(line, position.line_number);
    AppendText(line, position.line_number == 1 ? " line read); " : " lines read); ");
    return;
  }
  AppendText(line, "the file ends after its ");
  AppendText(line, last);
  AppendText(line, " (line ");
  AppendCount(line, position.data_line_number);
  AppendText(line, "); ");
}

}  // namespace qartwo
