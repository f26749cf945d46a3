// Fixed-length texts: blank-padded character buffers where only code 32 is a blank. Their
// trimmed length, filling and copying; nothing here reads or writes a stream.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace qartwo {

// Length of file names, console answers and input-file lines.
inline constexpr std::size_t kTextLength = 256;

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

// Sets the first rows x columns elements of `array` (at most array.size()) to `value`;
// nothing when the product is 0 or less.
void IFILL(std::span<int> array, int rows, int columns, int value);

}  // namespace qartwo
