#include "support/io/console_text.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "support/io/units.h"
#include "support/text/fields.h"
#include "support/text/fixed_text.h"

namespace qartwo {

namespace {

constexpr char kBlank = ' ';

// A prompt shows at most this many characters of its text, behind one blank.
constexpr std::size_t kPromptWidth = 80;

// Width of the numbers in the messages of INT2CH and CH2INT.
constexpr int kMessageNumberWidth = 10;

// One message line: a label followed by a number right-aligned in its field.
void WriteLabelledNumber(int unit, std::string_view label, long long value) {
  OutputLine line;
  AppendText(line, label);
  AppendInteger(line, value, kMessageNumberWidth);
  WriteLine(unit, LineText(line));
}

}  // namespace

void PROMPT(int unit, std::string_view text) {
  std::array<char, kPromptWidth + 1> work;
  const std::size_t shown = std::min(text.size(), kPromptWidth);
  work[0] = kBlank;
  std::copy_n(text.begin(), shown, work.begin() + 1);
  WriteText(unit, std::string_view(work.data(), shown + 1));
}

void INT2CH(std::span<char> text, std::span<const int> codes, int n, int message_unit,
            int& error_flag) {
  BlankText(text);
  if (n <= 0) {
    WriteEmptyLines(message_unit, 2);
    WriteLine(message_unit, "   Error in routine *INT2CH*              ");
    WriteEmptyLines(message_unit, 2);
    WriteLabelledNumber(message_unit, "   Inpus string has illegal length            :", n);
    error_flag -= 1;
    return;
  }
  // A count beyond the text or the codes stops at whichever ends first.
  const std::size_t count = std::min({static_cast<std::size_t>(n), text.size(), codes.size()});
  for (std::size_t i = 0; i < count; ++i) {
    if (codes[i] == 0) break;
    text[i] = static_cast<char>(static_cast<unsigned char>(codes[i] & 0xFF));
  }
}

void CH2INT(std::span<const std::string_view> texts, std::span<int> names, int n, int m,
            int message_unit, int& error_flag) {
  IFILL(names, n, m, 0);
  // Only columns that lie wholly inside `names`, and only the texts actually given, are
  // converted; the rest of a matrix larger than its storage is left as zeroed above.
  std::size_t columns = m > 0 ? static_cast<std::size_t>(m) : 0;
  columns = std::min(columns, texts.size());
  if (n > 0) columns = std::min(columns, names.size() / static_cast<std::size_t>(n));

  for (std::size_t j = 0; j < columns; ++j) {
    const std::string_view text = texts[j];
    const int trimmed = LENTRM(text);
    if (trimmed > n) {
      WriteEmptyLines(message_unit, 2);
      WriteLine(message_unit, "   Error in routine *CH2INT*              ");
      WriteEmptyLines(message_unit, 2);
      WriteLine(message_unit, "   Character string longer than integer  array ");
      WriteLabelledNumber(message_unit,
                          "   Length of string :                         : ", trimmed);
      WriteLabelledNumber(message_unit, "   Length of array  :                         : ", n);
      error_flag -= 1;
      return;
    }
    // Here 0 <= trimmed <= n, and column j fits inside `names`.
    const std::size_t first = j * static_cast<std::size_t>(n);
    for (int i = 0; i < trimmed; ++i) {
      names[first + static_cast<std::size_t>(i)] =
          static_cast<unsigned char>(text[static_cast<std::size_t>(i)]);
    }
  }
}

void WriteLabelled(int unit, std::string_view label, std::string_view text, bool visible) {
  OutputLine line;
  AppendText(line, label);
  if (visible) {
    AppendVisible(line, text);
  } else {
    AppendText(line, text);
  }
  WriteLine(unit, LineText(line));
}

void WriteVisible(int unit, std::string_view text) {
  // A byte takes at most four characters, so each piece fits a line.
  constexpr std::size_t kPiece = kOutputLineCapacity / 4;
  for (std::size_t at = 0; at < text.size(); at += kPiece) {
    OutputLine line;
    AppendVisible(line, text.substr(at, kPiece));
    WriteText(unit, LineText(line));
  }
}

}  // namespace qartwo
