// One number as the text of a table cell or a command-line value: read as exactly one number,
// and written as the shortest text that reads back as the same double, or rounded for people
// and pictures.
#pragma once

#include <string>
#include <string_view>

namespace qartwo {

// What a cell or value held.
enum class NumberText {
  kEmpty,       // nothing but blanks: the default applies
  kNumber,      // one number
  kNotANumber,  // anything else: a word, a second value, a decimal comma
  kOutOfRange,  // a number too large for a double
};

// Reads `text`, blanks (space, tab) around it dropped, as one real number written as the input
// files write one (2, 1.25, 3E1, 1.5D-3), into `value`; `value` is left as it was unless the
// result is kNumber. A comma, slash, repeat count or second value makes it kNotANumber.
[[nodiscard]] NumberText ReadNumberText(std::string_view text, double& value);

// `text` without the blanks (space, tab) around it.
std::string_view TrimBlanks(std::string_view text);

// True when `text` is one or more of the digits 0 to 9 and nothing else.
bool IsDigits(std::string_view text);

// Appends the shortest text that reads back as exactly `value` (std::to_chars): 0.1, 1e-05,
// 25; inf, -inf, and nan for a value that is not a number.
void AppendShortest(std::string& text, double value);

// Appends `value` rounded to `decimals` digits after the point (halves away from zero), without
// trailing zeros or a trailing point (12.5, 3, -0.25; never -0): coordinates of a picture.
void AppendRounded(std::string& text, double value, int decimals);

// Appends `value` with `digits` significant digits, fixed (halves away from zero) or, for
// values below 1e-4 or from 10^digits on, scientific, trailing zeros dropped (0.008727, 8594,
// 1.164e-05): numbers for people. inf, -inf and nan as AppendShortest writes them.
void AppendSignificant(std::string& text, double value, int digits);

}  // namespace qartwo
