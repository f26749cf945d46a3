#include "run/questions.h"

#include <array>

#include "support/fields.h"
#include "support/file_open.h"
#include "support/free_form.h"
#include "support/text.h"
#include "support/units.h"

namespace qartwo {
namespace {

constexpr std::string_view kDiagnosticPrefix = "qartwo: input error: ";

// The prompt as the user saw it, without the blanks behind its colon.
std::string_view Question(std::string_view prompt) {
  return prompt.substr(0, static_cast<std::size_t>(LENTRM(prompt)));
}

AnswerStatus EndOfInput(std::string_view prompt) {
  OutputLine line;
  AppendText(line, kDiagnosticPrefix);
  AppendText(line, "console input ended at the question \"");
  AppendText(line, Question(prompt));
  AppendText(line, "\"");
  WriteLine(kDiagnosticOutput, LineText(line));
  return AnswerStatus::kEndOfInput;
}

AnswerStatus BadNumber(std::string_view prompt, std::string_view answer,
                       const FreeFormResult& result, std::string_view expected) {
  OutputLine line;
  AppendText(line, kDiagnosticPrefix);
  AppendText(line, "the answer \"");
  AppendText(line, answer.substr(0, static_cast<std::size_t>(LENTRM(answer))));
  AppendText(line, "\" to \"");
  AppendText(line, Question(prompt));
  AppendText(line, "\" cannot be used: ");
  AppendText(line, FreeFormStatusText(result.status));
  if (!result.value.empty()) {
    AppendText(line, " (\"");
    AppendText(line, result.value);
    AppendText(line, "\")");
  }
  AppendText(line, "; expected ");
  AppendText(line, expected);
  WriteLine(kDiagnosticOutput, LineText(line));
  return AnswerStatus::kInputError;
}

AnswerStatus ReadAnswer(std::string_view prompt, std::span<char> answer) {
  BlankText(answer);
  const IoStatus read = ReadLine(kConsoleInput, answer);
  if (read == IoStatus::kOk) return AnswerStatus::kOk;
  return EndOfInput(prompt);
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
    return BadNumber(prompt, TextView(answer), result, "a whole curve number");
  }
  return AnswerStatus::kOk;
}

}  // namespace

AnswerStatus AskLine(std::string_view prompt, std::span<char> answer) {
  PROMPT(kConsoleOutput, prompt);
  return ReadAnswer(prompt, answer);
}

AnswerStatus AskFile(std::string_view prompt, std::string_view failure_text, std::span<char> name,
                     int unit, int mode) {
  for (;;) {
    if (const AnswerStatus asked = AskLine(prompt, name); asked != AnswerStatus::kOk) {
      return asked;
    }
    int error_flag = 0;
    OPNOLD(TextView(name), unit, mode, error_flag);
    if (error_flag == 0) return AnswerStatus::kOk;
    OutputLine line;
    AppendText(line, failure_text);
    AppendText(line, TextView(name));
    WriteLine(kConsoleOutput, LineText(line));
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
  PROMPT(kConsoleOutput, prompt);
  if (const AnswerStatus read = ReadCurveNumber(prompt, answer, number);
      read != AnswerStatus::kOk) {
    return read;
  }
  while (number < 1 || number > nCurves) {
    OutputLine line;
    AppendText(line, " Illegal SN-Curve :");
    AppendInteger(line, number, 4);
    WriteLine(kConsoleOutput, LineText(line));
    PROMPT(kConsoleOutput, prompt);
    if (const AnswerStatus read = ReadCurveNumber(prompt, answer, number);
        read != AnswerStatus::kOk) {
      return read;
    }
  }
  return AnswerStatus::kOk;
}

}  // namespace qartwo
