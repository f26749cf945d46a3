// Free-form number reading: a list of integer and real targets filled from one text (a
// console answer or one input-file line). The grammar is written above the parser in
// free_form.cpp.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace qartwo {

enum class FreeFormKind { kInteger, kReal };

// One place a value goes; exactly one of the pointers is used, according to `kind`.
struct FreeFormTarget {
  FreeFormKind kind;
  int* integer;
  double* real;
};

inline FreeFormTarget IntegerTarget(int& value) {
  return {FreeFormKind::kInteger, &value, nullptr};
}
inline FreeFormTarget RealTarget(double& value) {
  return {FreeFormKind::kReal, nullptr, &value};
}

// 0 ok, positive errors.
enum class FreeFormStatus : int {
  kOk = 0,
  kTooFewValues = 1,  // the text ended before every target had a value
  kNotANumber = 2,    // a value that is not a number of the target's kind
  kOutOfRange = 3,    // an integer outside 32 bits, or a real too large for a double
  kBadRepeat = 4,     // a repeat count that is zero or too large
};

struct FreeFormResult {
  FreeFormStatus status = FreeFormStatus::kOk;
  int target = 0;          // index (from 0) of the target that failed
  std::string_view value;  // the offending value as written (empty for kTooFewValues)
  // Position in the text just past the last token that went to a target (0 when none did):
  // tells whether a value ran up to the end of a line that was cut.
  std::size_t end = 0;
};

// Fills `targets` in order from `text`. Targets reached by a null value or after a slash
// keep their values. On failure the targets before the failing one hold their new values
// and the result says which target failed and on what text; the process never ends here.
FreeFormResult ReadFreeForm(std::string_view text, std::span<const FreeFormTarget> targets);

// The same, with the result written to `result`: a reader that keeps it for its diagnostic
// spares the copy of a returned one.
void ReadFreeForm(std::string_view text, std::span<const FreeFormTarget> targets,
                  FreeFormResult& result);

// Short English text for a status, e.g. "too few values".
std::string_view FreeFormStatusText(FreeFormStatus status);

}  // namespace qartwo
