#include "support/text/fixed_text.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace qartwo {

namespace {

constexpr char kBlank = ' ';

// Tail fractions (in tenths) tried before the backward scan, in this order. Most texts are
// 256-character buffers holding a short name, so one of them usually skips the blank tail.
constexpr std::array<int, 5> kProbeTenths = {1, 2, 3, 4, 7};

bool AllBlank(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c == kBlank; });
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

void IFILL(std::span<int> array, int rows, int columns, int value) {
  const long long product = static_cast<long long>(rows) * columns;
  if (product <= 0) return;
  const std::size_t count = std::min(static_cast<std::size_t>(product), array.size());
  std::fill_n(array.begin(), count, value);
}

}  // namespace qartwo
