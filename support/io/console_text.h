// The routines that write texts to a unit: the console prompt, the conversions between a text
// and an integer-array name (one character code per element, zeros after the name) with their
// messages, and lines of a label and a text quoted from the user.
#pragma once

#include <span>
#include <string_view>

namespace qartwo {

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

// Writes `text` quoted from the user (see AppendVisible in support/text/fields.h) to `unit`
// without ending the line, however long it is.
void WriteVisible(int unit, std::string_view text);

// Writes `label` and then `text` as one line to `unit`; `text` is quoted from the user when
// `visible` (see AppendVisible).
void WriteLabelled(int unit, std::string_view label, std::string_view text, bool visible = false);

}  // namespace qartwo
