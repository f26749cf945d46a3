// Fixed-length texts: blank-padded character buffers where only code 32 is a blank.
// Trimmed length, console prompt, and the conversions between a text and an integer-array
// name (one character code per element, zeros after the name).
#pragma once

#include <span>
#include <string_view>

namespace qartwo {

// Position (from 1) of the last non-blank character; 0 for an empty or all-blank text.
int LENTRM(std::string_view text);

// `text` up to its last non-blank character (LENTRM): a view into `text`, valid as long as
// the characters it views.
//   "ab c  " => "ab c"      "   " => ""
std::string_view TrimTrailingBlanks(std::string_view text);

// Sets every character of `text` to a blank.
void BlankText(std::span<char> text);

// Copies `source` into `text`, cut at text.size() or padded with blanks.
void SetText(std::span<char> text, std::string_view source);

// The characters of a text buffer as a view.
inline std::string_view TextView(std::span<const char> text) {
  return {text.data(), text.size()};
}

// Writes one blank and the first 80 characters of `text` to `unit`, without ending the line.
void PROMPT(int unit, std::string_view text);

// Turns the first n codes of `codes` into `text` (blank first; stops at a code 0, at the end
// of `text` or of `codes`; each character is the code's low 8 bits). For n <= 0 writes two
// messages to `message_unit`, subtracts 1 from `error_flag` and leaves `text` blank.
void INT2CH(std::span<char> text, std::span<const int> codes, int n, int message_unit,
            int& error_flag);

// Converts m texts into the n x m integer matrix `names` (column j holds text j): all
// elements are zeroed first, then each text's characters up to its trimmed length are
// stored as codes 0..255. A text longer than n characters: two messages on `message_unit`,
// 1 subtracted from `error_flag`, that column and all later ones stay zero. Never writes
// past `names`: only columns lying wholly inside it, and only the texts given, are converted.
void CH2INT(std::span<const std::string_view> texts, std::span<int> names, int n, int m,
            int message_unit, int& error_flag);

// Sets the first rows x columns elements of `array` (at most array.size()) to `value`;
// nothing when the product is 0 or less.
void IFILL(std::span<int> array, int rows, int columns, int value);

}  // namespace qartwo
