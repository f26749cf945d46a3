#include "support/text/fixed_text.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "support/text/fields.h"
#include "support/io/units.h"

namespace qartwo {

namespace {

constexpr char kBlank = ' ';

// Tail fractions (in tenths) tried before the backward scan, in this order. Most texts are
// 256-character buffers holding a short name, so one of them usually skips the blank tail.
constexpr std::array<int, 5> kProbeTenths = {1, 2, 3, 4, 7};

// A prompt shows at most this many characters of its text, behind one blank.
constexpr std::size_t kPromptWidth = 80;

// Width of the numbers in the messages of INT2CH and CH2INT.
constexpr int kMessageNumberWidth = 10;

bool AllBlank(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c == kBlank; });
}

// One message line: a label followed by a number right-aligned in its field.
void WriteLabelledNumber(int unit, std::string_view label, long long value) {
  OutputLine line;
  AppendText(line, label);
  AppendInteger(line, value, kMessageNumberWidth);
  WriteLine(unit, LineText(line));
}

}  // namespace

int LENTRM(std::string_view text) {
  const std::size_t length = text.size();
  std::size_t start = length;  // positions from 1; the scan looks at start, start-1, ...
  for (int tenths : kProbeTenths) {
    const std::size_t k = (length * static_cast<std::size_t>(tenths) + 5) / 10;  // rounded
    if (k > 1 && AllBlank(text.substr(k - 1))) {
      start = k;
      break;
    }
  }
  for (std::size_t position = start; position >= 1; --position) {
    if (text[position - 1] != kBlank) return static_cast<int>(position);
  }
  return 0;
}

std::string_view TrimTrailingBlanks(std::string_view text) {
  return text.substr(0, static_cast<std::size_t>(LENTRM(text)));
}

void BlankText(std::span<char> text) {
  std::fill(text.begin(), text.end(), kBlank);
}

void SetText(std::span<char> text, std::string_view source) {
  const std::size_t copied = std::min(text.size(), source.size());
  std::copy_n(source.begin(), copied, text.begin());
  std::fill(text.begin() + static_cast<std::ptrdiff_t>(copied), text.end(), kBlank);
}

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

void IFILL(std::span<int> array, int rows, int columns, int value) {
  const long long product = static_cast<long long>(rows) * columns;
  if (product <= 0) return;
  const std::size_t count = std::min(static_cast<std::size_t>(product), array.size());
  std::fill_n(array.begin(), count, value);
}

}  // namespace qartwo
