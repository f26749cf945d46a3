#include "support/text/fields.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace qartwo {
namespace {

// Decimals beyond this are not needed by any layout and are written as this many.
constexpr int kMaxDecimals = 64;
// A double has at most 309 digits before the point; sign, point and decimals on top.
constexpr std::size_t kFixedBufferSize = 1 + 309 + 1 + kMaxDecimals + 8;
// Sign, digit, point, decimals, "e-308".
constexpr std::size_t kScientificBufferSize = 3 + kMaxDecimals + 8;
// Widest field an OutputLine builds in one go.
constexpr int kMaxFieldWidth = 256;
static_assert(kMaxFieldWidth <= static_cast<int>(kOutputLineCapacity));

// The one place a field is filled: right-aligned text, or asterisks when it is too wide.
void Place(std::span<char> field, std::string_view text) {
  if (text.size() > field.size()) {
    std::fill(field.begin(), field.end(), '*');
    return;
  }
  const std::size_t pad = field.size() - text.size();
  std::fill(field.begin(), field.begin() + static_cast<std::ptrdiff_t>(pad), ' ');
  std::copy(text.begin(), text.end(), field.begin() + static_cast<std::ptrdiff_t>(pad));
}

// Infinity, -Infinity and NaN are written as words; true when `value` was one of them.
bool PlaceNonFinite(std::span<char> field, double value) {
  if (std::isnan(value)) {
    Place(field, "NaN");
    return true;
  }
  if (std::isinf(value)) {
    Place(field, value < 0 ? "-Infinity" : "Infinity");
    return true;
  }
  return false;
}

int ClampDecimals(int decimals) {
  return std::clamp(decimals, 0, kMaxDecimals);
}

// Appends a field of `width` characters that `fill` writes.
template <typename Fill>
void AppendField(OutputLine& line, int width, Fill fill) {
  std::array<char, kMaxFieldWidth> field{};
  const auto size = static_cast<std::size_t>(std::clamp(width, 0, kMaxFieldWidth));
  fill(std::span<char>(field.data(), size));
  AppendText(line, std::string_view(field.data(), size));
}

}  // namespace

void WriteInteger(std::span<char> field, long long value) {
  std::array<char, 24> text{};
  const auto result = std::to_chars(text.data(), text.data() + text.size(), value);
  Place(field, std::string_view(text.data(), static_cast<std::size_t>(result.ptr - text.data())));
}

void WriteFixed(std::span<char> field, double value, int decimals) {
  if (PlaceNonFinite(field, value)) return;
  decimals = ClampDecimals(decimals);
  std::array<char, kFixedBufferSize> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                    std::chars_format::fixed, decimals);
  auto length = static_cast<std::size_t>(result.ptr - buffer.data());
  if (decimals == 0) buffer[length++] = '.';  // a fixed-point field always shows its point
  std::string_view text(buffer.data(), length);
  // The zero before the point is optional: drop it when only that makes the value fit.
  if (text.size() == field.size() + 1) {
    if (text.starts_with("0.")) {
      text.remove_prefix(1);
    } else if (text.starts_with("-0.")) {
      buffer[1] = '-';
      text = std::string_view(buffer.data() + 1, length - 1);
    }
  }
  Place(field, text);
}

void WriteScientific(std::span<char> field, double value, int decimals) {
  if (PlaceNonFinite(field, value)) return;
  decimals = ClampDecimals(decimals);
  std::array<char, kScientificBufferSize> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                    std::chars_format::scientific, decimals);
  const std::string_view digits(buffer.data(),
                                static_cast<std::size_t>(result.ptr - buffer.data()));
  const std::size_t e = digits.find('e');
  const std::string_view mantissa = digits.substr(0, e);
  const char sign = digits[e + 1];
  int exponent = 0;
  std::from_chars(digits.data() + e + 2, digits.data() + digits.size(), exponent);

  std::array<char, kScientificBufferSize + 2> text{};
  std::size_t length = 0;
  for (const char c : mantissa) text[length++] = c;
  if (decimals == 0) text[length++] = '.';
  if (exponent <= 99) text[length++] = 'E';  // a three-digit exponent takes the E's place
  text[length++] = sign;
  const int exponent_digits = exponent <= 99 ? 2 : 3;
  for (int i = exponent_digits - 1, rest = exponent; i >= 0; --i, rest /= 10) {
    text[length + static_cast<std::size_t>(i)] = static_cast<char>('0' + rest % 10);
  }
  length += static_cast<std::size_t>(exponent_digits);
  Place(field, std::string_view(text.data(), length));
}

void AppendText(OutputLine& line, std::string_view text) {
  const std::size_t room = line.chars.size() - line.length;
  const std::size_t count = std::min(room, text.size());
  std::copy_n(text.begin(), count, line.chars.begin() + static_cast<std::ptrdiff_t>(line.length));
  line.length += count;
}

void AppendBlanks(OutputLine& line, int count) {
  const std::size_t room = line.chars.size() - line.length;
  const auto wanted = static_cast<std::size_t>(std::max(count, 0));
  const std::size_t n = std::min(room, wanted);
  std::fill_n(line.chars.begin() + static_cast<std::ptrdiff_t>(line.length), n, ' ');
  line.length += n;
}

void AppendInteger(OutputLine& line, long long value, int width) {
  AppendField(line, width, [value](std::span<char> field) { WriteInteger(field, value); });
}

void AppendCount(OutputLine& line, long long value) {
  int width = value < 0 ? 2 : 1;
  for (long long rest = value / 10; rest != 0; rest /= 10) ++width;
  AppendInteger(line, value, width);
}

void AppendFixed(OutputLine& line, double value, int width, int decimals) {
  AppendField(line, width,
              [value, decimals](std::span<char> field) { WriteFixed(field, value, decimals); });
}

void AppendScientific(OutputLine& line, double value, int width, int decimals) {
  AppendField(line, width, [value, decimals](std::span<char> field) {
    WriteScientific(field, value, decimals);
  });
}

void AppendVisible(OutputLine& line, std::string_view text) {
  constexpr std::string_view kHexDigits = "0123456789ABCDEF";
  for (const char c : text) {
    const auto code = static_cast<unsigned char>(c);
    if (c == '\t') {
      AppendText(line, "\\t");
    } else if (c == '\\') {
      AppendText(line, "\\\\");
    } else if (code < 32 || code == 127) {
      const std::array<char, 4> escaped = {'\\', 'x', kHexDigits[code >> 4], kHexDigits[code & 15]};
      AppendText(line, std::string_view(escaped.data(), escaped.size()));
    } else {
      AppendText(line, std::string_view(&c, 1));
    }
  }
}

std::string_view LineText(const OutputLine& line) {
  return std::string_view(line.chars.data(), line.length);
}

}  // namespace qartwo
