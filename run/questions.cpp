#include "run/questions.h"

#include <array>
#include <cstring>

#include "run/input_diagnostic.h"
#include "support/fields.h"
#include "support/file_identity.h"
#include "support/file_open.h"
#include "support/free_form.h"
#include "support/line_editor.h"
#include "support/text.h"
#include "support/units.h"

namespace qartwo {
namespace {

// Width of the number behind " Illegal SN-Curve :".
constexpr int kIllegalNumberWidth = 4;

void WriteHeading(std::string_view what, std::string_view prompt) {
  OutputLine line;
  AppendText(line, " *** ERROR: ");
  AppendText(line, what);
  AppendText(line, " \"");
  AppendText(line, TrimTrailingBlanks(prompt));  // as the user saw it
  AppendText(line, "\"");
  WriteLine(kDiagnosticOutput, LineText(line));
}

AnswerStatus EndOfInput(std::string_view prompt) {
  WriteHeading("console input ended at the question", prompt);
  return AnswerStatus::kEndOfInput;
}

AnswerStatus BadNumber(std::string_view prompt, std::string_view answer,
                       const FreeFormResult& result, std::string_view expected,
                       std::string_view note = {}) {
  WriteHeading("input error in the answer to", prompt);
  WriteIndented(kDiagnosticOutput, "answer   : ", TrimTrailingBlanks(answer), true);
  OutputLine problem;
  if (!result.value.empty()) {
    AppendText(problem, "\"");
    AppendVisible(problem, result.value);
    AppendText(problem, "\": ");
  }
  AppendText(problem, FreeFormStatusText(result.status));
  WriteIndented(kDiagnosticOutput, "problem  : ", LineText(problem), false);
  WriteIndented(kDiagnosticOutput, "expected : ", expected, false);
  WriteIndented(kDiagnosticOutput, "note     : ", note, false);  // nothing without a note
  return AnswerStatus::kInputError;
}

AnswerStatus ReadAnswer(std::string_view prompt, std::span<char> answer, LineOverflow& overflow) {
  const IoStatus read = ReadLine(kConsoleInput, answer, overflow);
  if (read == IoStatus::kOk) return AnswerStatus::kOk;
  return EndOfInput(prompt);
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

void WriteRefusal(const FileQuestion& question, std::string_view name, std::string_view reason) {
  OutputLine line;
  AppendText(line, " *** ERROR: cannot use \"");
  AppendVisible(line, TrimTrailingBlanks(name));
  AppendText(line, "\" as ");
  AppendText(line, question.what);
  AppendText(line, ": ");
  AppendText(line, reason);
  WriteLine(kDiagnosticOutput, LineText(line));
}

// True when the line holds nothing the free-form reader would take as a value.
bool HoldsNoValue(std::string_view text) {
  return text.find_first_not_of(" \t") == std::string_view::npos;
}

// Reads lines until one holds something, then takes the curve number from it.
AnswerStatus ReadCurveNumber(std::string_view prompt, std::span<char> answer, int& number) {
  for (;;) {
    if (const AnswerStatus read = ReadAnswer(prompt, answer); read != AnswerStatus::kOk) {
      return read;
    }
    if (!HoldsNoValue(TextView(answer))) break;
  }
  const std::array<FreeFormTarget, 1> target = {IntegerTarget(number)};
  const FreeFormResult result = ReadFreeForm(TextView(answer), target);
  if (result.status != FreeFormStatus::kOk) {
    // "N" or " n" at the question before chose the catalogue, perhaps unwittingly.
    return BadNumber(prompt, TextView(answer), result, "a whole curve number",
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
  for (;;) {
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
    WriteRefusal(question, TextView(name), refusal);
  }
}

AnswerStatus AskReal(std::string_view prompt, std::string_view what, double default_value,
                     std::span<char> answer, double& value) {
  value = default_value;
  if (const AnswerStatus asked = AskLine(prompt, answer); asked != AnswerStatus::kOk) {
    return asked;
  }
  if (answer.empty() || answer[0] == ' ') return AnswerStatus::kOk;
  const std::array<FreeFormTarget, 1> target = {RealTarget(value)};
  const FreeFormResult result = ReadFreeForm(TextView(answer), target);
  if (result.status != FreeFormStatus::kOk) {
    return BadNumber(prompt, TextView(answer), result, what);
  }
  return AnswerStatus::kOk;
}

AnswerStatus AskCurveNumber(std::string_view prompt, int nCurves, std::span<char> answer,
                            int& number) {
  for (;;) {
    PROMPT(kConsoleOutput, prompt);
    if (const AnswerStatus read = ReadCurveNumber(prompt, answer, number);
        read != AnswerStatus::kOk) {
      return read;
    }
    if (number >= 1 && number <= nCurves) return AnswerStatus::kOk;
    OutputLine line;
    AppendText(line, " Illegal SN-Curve :");
    AppendInteger(line, number, kIllegalNumberWidth);
    WriteLine(kConsoleOutput, LineText(line));
  }
}

}  // namespace qartwo
