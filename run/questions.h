// The console questions of a run: a prompt, an answer read as a line or as a number, the
// retry loops, and the diagnostic when an answer cannot be used.
#pragma once

#include <span>
#include <string_view>

#include "support/io/file_identity.h"

namespace qartwo {

// How a question ended. kEndOfInput and kInputError have had their diagnostic written to
// the diagnostic unit; the run must end.
enum class AnswerStatus { kOk, kEndOfInput, kInputError };

// Shows `prompt` on unit 6 and reads one console line into `answer` (blanked first).
[[nodiscard]] AnswerStatus AskLine(std::string_view prompt, std::span<char> answer);

// A file that a file-name answer must not name, and why, e.g. "it is the report file".
struct RefusedFile {
  FileIdentity identity;
  std::string_view reason;
};

// What a file question asks for and how it opens the file.
struct FileQuestion {
  std::string_view prompt;
  std::string_view failure_text;  // shown on the console before the name after a failure
  std::string_view what;          // names the file in a diagnostic, e.g. "the report file"
  int unit = 0;
  int mode = 0;  // OPNOLD's mode: 0 open or create, 1 must exist
  std::span<const RefusedFile> refused;
};

// Asks for a file name into `name` and opens it on the question's unit, asking again with the
// failure text and the name as typed on the console (and the reason on the diagnostic unit)
// after a name longer than `name` holds, a failed open, or a file that is one of `refused`
// (closed again at once). With line editing on, Tab completes the name being typed.
[[nodiscard]] AnswerStatus AskFile(const FileQuestion& question, std::span<char> name);

// Asks for a real number: an answer whose first character is a blank gives
// `default_value`, otherwise the first free-form value of the line. `what` names the value
// in the diagnostic.
[[nodiscard]] AnswerStatus AskReal(std::string_view prompt, std::string_view what,
                                   double default_value, std::span<char> answer, double& value);

// Asks for a curve number until it lies in 1..nCurves, showing " Illegal SN-Curve :" and the
// number after each one outside. Blank lines before the number are passed over; a null value
// or a slash keeps the number as it was.
[[nodiscard]] AnswerStatus AskCurveNumber(std::string_view prompt, int nCurves,
                                          std::span<char> answer, int& number);

}  // namespace qartwo
