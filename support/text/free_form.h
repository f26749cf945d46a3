// Free-form number reading: a list of integer and real targets filled from one text (a
// console answer or one input-file line). In brief (the full grammar is written above the
// parser in free_form.cpp):
//   - values are separated by blanks (space, tab) or by one comma with blanks around it;
//   - an integer is [sign] digits; a real is [sign] digits [. digits] [exponent], or
//     [sign] . digits [exponent], the exponent E, e, D or d with [sign] digits:
//     2, 10.0, .5, 2E5, 1.5D-3;
//   - n*v gives v to n targets, n* skips n targets, a comma with nothing before it skips one;
//   - a slash ends the values: the targets after it keep what they held;
//   - once every target has a value the rest of the text is not looked at.
//   "4, 10.0, 0.0"   => 4, 10.0, 0.0           "3*7"    => 7, 7, 7
//   "1 /"            => 1, (kept)              "2 x"    => kNotANumber at target 1
#pragma once

#include <cstddef>
#include <cstdint>
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
  int target = 0;  // index (from 0) of the target that failed
  // The offending value as written (empty for kTooFewValues): a view into the text read,
  // valid as long as that text.
  std::string_view value;
  // Position in the text just past the last token that went to a target (0 when none did):
  // tells whether a value ran up to the end of a line that was cut.
  std::size_t end = 0;
  // kOk: position of the first item after those taken (past their separator), where a slash
  // that ended the values stands, or the end of the text.
  std::size_t next = 0;
  // Bit i set: target i got no value, from a null value, a null repeat n* or a slash before
  // it. Targets from the 64th on are not marked.
  std::uint64_t no_value = 0;
};

// Fills `targets` in order from `text`. Targets reached by a null value or after a slash
// keep their values. On failure the targets before the failing one hold their new values
// and the result says which target failed and on what text; the process never ends here.
[[nodiscard]] FreeFormResult ReadFreeForm(std::string_view text,
                                          std::span<const FreeFormTarget> targets);

// The same, with the result written to `result`: a reader that keeps it for its diagnostic
// spares the copy of a returned one.
void ReadFreeForm(std::string_view text, std::span<const FreeFormTarget> targets,
                  FreeFormResult& result);

// What the item of a text at `pos` (as FreeFormResult::next gives it) is: kValue for a
// number (integer or real, also one out of range) or a repeat n* or n*v with v a number,
// kNull for a comma (a null value), kWord for anything else, kNone at a slash or the end.
enum class FreeFormItem { kNone, kValue, kNull, kWord };
[[nodiscard]] FreeFormItem ClassifyFreeFormItem(std::string_view text, std::size_t pos);

// Short English text for a status, e.g. "too few values".
std::string_view FreeFormStatusText(FreeFormStatus status);

}  // namespace qartwo
