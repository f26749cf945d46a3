#include "run/questions.h"

#include <unistd.h>

#include <array>
#include <charconv>
#include <cstring>

#include "run/input_diagnostic.h"
#include "run/input_files.h"
#include "support/io/console_text.h"
#include "support/io/file_identity.h"
#include "support/io/file_open.h"
#include "support/io/line_reader.h"
#include "support/io/units.h"
#include "support/terminal/line_editor.h"
#include "support/text/fields.h"
#include "support/text/fixed_text.h"
#include "support/text/free_form.h"

namespace qartwo {
namespace {

// Width of the number behind " Illegal SN-Curve :".
constexpr int kIllegalNumberWidth = 4;

// Refused answers in a row after which a question ends the run when the answers do not come
// from a terminal: a script or a file that keeps giving an answer the question refuses (or
// only blank lines at the curve number) would keep it asking for ever.
constexpr int kMaxRefusedInARow = 100;

void WriteHeading(std::string_view what, std::string_view prompt, std::string_view after = {}) {
  OutputLine line;
  AppendText(line, " *** ERROR: ");
  AppendText(line, what);
  AppendText(line, " \"");
  AppendText(line, TrimTrailingBlanks(prompt));  // as the user saw it
  AppendText(line, "\"");
  AppendText(line, after);
  WriteLine(kDiagnosticOutput, LineText(line));
}

// The end of console input, or the system's reason why it could not be read.
AnswerStatus InputEnded(std::string_view prompt, IoStatus read) {
  if (read == IoStatus::kEndOfFile) {
    WriteHeading("console input ended at the question", prompt);
    return AnswerStatus::kEndOfInput;
  }
  const int error = UnitReadError(kConsoleInput);
  OutputLine reason;
  AppendText(reason, ": ");
  AppendText(reason, error != 0 ? std::string_view(std::strerror(error)) : IoStatusText(read));
  WriteHeading("console input could not be read at the question", prompt, LineText(reason));
  return AnswerStatus::kEndOfInput;
}

// Counts one more refused answer at a question; true, with the diagnostic written, when it is
// the kMaxRefusedInARow-th in a row and the answers do not come from a terminal.
bool RefusedTooOften(std::string_view prompt, int& refused) {
  if (refused < kMaxRefusedInARow) ++refused;
  if (refused < kMaxRefusedInARow || isatty(UnitDescriptor(kConsoleInput)) != 0) return false;
  OutputLine what;
  AppendCount(what, kMaxRefusedInARow);
  AppendText(what, " answers in a row were refused at the question");
  WriteHeading(LineText(what), prompt);
  return true;
}

// What the free-form reader found wrong with an answer, e.g. "x": not a number.
void AppendAnswerProblem(OutputLine& problem, const FreeFormResult& result) {
  if (!result.value.empty()) {
    AppendText(problem, "\"");
    AppendVisible(problem, result.value);
    AppendText(problem, "\": ");
  }
  AppendText(problem, FreeFormStatusText(result.status));
}

AnswerStatus BadNumber(std::string_view prompt, std::string_view answer, std::string_view problem,
                       std::string_view expected, std::string_view note = {}) {
  WriteHeading("input error in the answer to", prompt);
  WriteIndented(kDiagnosticOutput, "answer   : ", TrimTrailingBlanks(answer), true);
  WriteIndented(kDiagnosticOutput, "problem  : ", problem, false);
  WriteIndented(kDiagnosticOutput, "expected : ", expected, false);
  WriteIndented(kDiagnosticOutput, "note     : ", note, false);  // nothing without a note
  return AnswerStatus::kInputError;
}

AnswerStatus ReadAnswer(std::string_view prompt, std::span<char> answer, LineOverflow& overflow) {
  const IoStatus read = ReadLine(kConsoleInput, answer, overflow);
  if (read == IoStatus::kOk) return AnswerStatus::kOk;
  return InputEnded(prompt, read);
}

AnswerStatus ReadAnswer(std::string_view prompt, std::span<char> answer) {
  LineOverflow ignored;
  return ReadAnswer(prompt, answer, ignored);
}

// Opens the named file on the question's unit; an empty text when it is open there, else why
// the answer cannot be used.
std::string_view OpenAnswer(const FileQuestion& question, std::span<char> name,
                            const LineOverflow& overflow) {
  // A name cut at its length, or at a NUL, would open some other file.
  if (overflow.nonblank_beyond) return "the name is longer than 256 characters";
  if (TextView(name).find('\0') != std::string_view::npos) return "the name holds a NUL byte";
  int error_flag = 0;
  int system_error = 0;
  OPNOLD(TextView(name), question.unit, question.mode, error_flag, system_error);
  if (error_flag != 0) return OpenErrorText(system_error);
  const FileIdentity opened = DescriptorIdentity(UnitDescriptor(question.unit));
  for (const RefusedFile& refused : question.refused) {
    if (SameFile(opened, refused.identity)) {
      static_cast<void>(CloseUnit(question.unit));  // opened only to be looked at
      return refused.reason;
    }
  }
  return {};
}

// True when the line holds nothing the free-form reader would take as a value.
bool HoldsNoValue(std::string_view text) {
  return text.find_first_not_of(" \t") == std::string_view::npos;
}

// True when the text's first item is a repeat n* or n*v with n above 1: more than one value,
// of which a single target would take the first (2*1.5 is 1.5 twice; 1*1.5 is one value).
bool RepeatsMoreThanOnce(std::string_view text) {
  const std::size_t start = text.find_first_not_of(" \t");
  if (start == std::string_view::npos) return false;
  const std::size_t star = text.find_first_of(" \t,/*", start);
  if (star == std::string_view::npos || text[star] != '*') return false;
  long long count = 0;
  const auto [stop, error] = std::from_chars(text.data() + start, text.data() + star, count);
  return error == std::errc() && stop == text.data() + star && count > 1;
}

// Reads lines until one holds something, then takes the curve number from it; a blank line
// counts as a refused answer.
AnswerStatus ReadCurveNumber(std::string_view prompt, std::span<char> answer, int& number,
                             int& refused) {
  for (;;) {
    if (const AnswerStatus read = ReadAnswer(prompt, answer); read != AnswerStatus::kOk) {
      return read;
    }
    if (!HoldsNoValue(TextView(answer))) break;
    if (RefusedTooOften(prompt, refused)) return AnswerStatus::kInputError;
  }
  const std::array<FreeFormTarget, 1> target = {IntegerTarget(number)};
  const FreeFormResult result = ReadFreeForm(TextView(answer), target);
  if (result.status != FreeFormStatus::kOk) {
    OutputLine problem;
    AppendAnswerProblem(problem, result);
    // "N" or " n" at the question before chose the catalogue, perhaps unwittingly.
    return BadNumber(prompt, TextView(answer), LineText(problem), "a whole curve number",
                     "only a lower-case n in the first column of the answer to \"Use the "
                     "predefined SN-Curves? /y/ :\" chooses an SN-curve file");
  }
  return AnswerStatus::kOk;
}

}  // namespace

AnswerStatus AskLine(std::string_view prompt, std::span<char> answer) {
  PROMPT(kConsoleOutput, prompt);
  return ReadAnswer(prompt, answer);
}

AnswerStatus AskFile(const FileQuestion& question, std::span<char> name) {
  for (int refused = 0;;) {
    PROMPT(kConsoleOutput, question.prompt);
    LineOverflow overflow;
    CompleteFileNames(true);  // Tab completes the name while a person types it
    const AnswerStatus asked = ReadAnswer(question.prompt, name, overflow);
    CompleteFileNames(false);
    if (asked != AnswerStatus::kOk) return asked;
    const std::string_view refusal = OpenAnswer(question, name, overflow);
    if (refusal.empty()) return AnswerStatus::kOk;
    OutputLine line;
    AppendText(line, question.failure_text);
    AppendText(line, TextView(name));
    WriteLine(kConsoleOutput, LineText(line));
    WriteFileRefusal(kDiagnosticOutput, TextView(name), question.what, refusal);
    if (RefusedTooOften(question.prompt, refused)) return AnswerStatus::kInputError;
  }
}

AnswerStatus AskReal(std::string_view prompt, std::string_view what, double default_value,
                     std::span<char> answer, double& value) {
  value = default_value;
  PROMPT(kConsoleOutput, prompt);
  LineOverflow overflow;
  if (const AnswerStatus read = ReadAnswer(prompt, answer, overflow); read != AnswerStatus::kOk) {
    return read;
  }
  if (answer.empty() || answer[0] == ' ') return AnswerStatus::kOk;
  const std::string_view text = TextView(answer);
  const std::array<FreeFormTarget, 1> target = {RealTarget(value)};
  FreeFormResult result;
  const InputProblem read = ReadLineValues(text, overflow, target, result);
  OutputLine problem;
  if (read == InputProblem::kValue) AppendAnswerProblem(problem, result);
  if (read == InputProblem::kCutValue) {
    AppendText(problem,
               "the answer is longer than 256 characters: a value runs on past column 256");
  }
  if (read != InputProblem::kNone) return BadNumber(prompt, text, LineText(problem), what);
  // "1,5" is 1 followed by a second value: a decimal comma must not pass for a point.
  const FreeFormItem after = ClassifyFreeFormItem(text.substr(0, overflow.stored), result.next);
  if (after == FreeFormItem::kValue || after == FreeFormItem::kNull) {
    return BadNumber(prompt, text, "more than one value", what,
                     "a comma separates values, so a decimal comma must be written as a point "
                     "(1.5, not 1,5)");
  }
  if (RepeatsMoreThanOnce(text)) {
    return BadNumber(prompt, text, "more than one value", what,
                     "n*v stands for n values v (2*1.5 is 1.5 twice)");
  }
  return AnswerStatus::kOk;
}

AnswerStatus AskCurveNumber(std::string_view prompt, int nCurves, std::span<char> answer,
                            int& number) {
  for (int refused = 0;;) {
    PROMPT(kConsoleOutput, prompt);
    if (const AnswerStatus read = ReadCurveNumber(prompt, answer, number, refused);
        read != AnswerStatus::kOk) {
      return read;
    }
    if (number >= 1 && number <= nCurves) return AnswerStatus::kOk;
    OutputLine line;
    AppendText(line, " Illegal SN-Curve :");
    AppendInteger(line, number, kIllegalNumberWidth);
    WriteLine(kConsoleOutput, LineText(line));
    if (RefusedTooOften(prompt, refused)) return AnswerStatus::kInputError;
  }
}

}  // namespace qartwo
