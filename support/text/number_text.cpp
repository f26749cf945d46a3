#include "support/text/number_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>

#include "support/text/free_form.h"

namespace qartwo {

std::string_view TrimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool IsDigits(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

NumberText ReadNumberText(std::string_view text, double& value) {
  const std::string_view number = TrimBlanks(text);
  if (number.empty()) return NumberText::kEmpty;
  // What the free-form reader takes as separators, repeats or an end would hide a second
  // value or a decimal comma.
  if (number.find_first_of(" \t,/*") != std::string_view::npos) return NumberText::kNotANumber;
  double read = 0.0;
  const std::array<FreeFormTarget, 1> target = {RealTarget(read)};
  const FreeFormResult result = ReadFreeForm(number, target);
  if (result.status == FreeFormStatus::kOutOfRange) return NumberText::kOutOfRange;
  if (result.status != FreeFormStatus::kOk || result.end != number.size()) {
    return NumberText::kNotANumber;
  }
  value = read;
  return NumberText::kNumber;
}

void AppendShortest(std::string& text, double value) {
  if (std::isnan(value)) {
    text += "nan";
    return;
  }
  std::array<char, 32> digits{};  // the longest shortest form, -2.2250738585072014e-308, fits
  const std::to_chars_result written =
      std::to_chars(digits.data(), digits.data() + digits.size(), value);
  text.append(digits.data(), static_cast<std::size_t>(written.ptr - digits.data()));
}

namespace {

// Fixed notation through std::to_chars: exact, but slow for the many coordinates of a picture.
void AppendFixed(std::string& text, double value, int decimals) {
  if (!std::isfinite(value)) {
    AppendShortest(text, value);
    return;
  }
  std::array<char, 352> digits{};  // the longest fixed form of a double with a few decimals
  const std::to_chars_result written = std::to_chars(digits.data(), digits.data() + digits.size(),
                                                     value, std::chars_format::fixed, decimals);
  if (written.ec != std::errc()) {
    AppendShortest(text, value);
    return;
  }
  std::string_view number(digits.data(), static_cast<std::size_t>(written.ptr - digits.data()));
  if (number.find('.') != std::string_view::npos) {
    number.remove_suffix(number.size() - 1 - number.find_last_not_of('0'));
    if (number.ends_with('.')) number.remove_suffix(1);
  }
  text += number == "-0" ? "0" : number;
}

// Below this a scaled value fits a 32-bit whole number, whose divisions are cheaper.
constexpr double kFitsUnsigned = 4294967295.0;

// "00" to "99": two digits a division.
constexpr std::string_view kDigitPairs =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Writes `whole` with its last `decimals` digits after a point, trailing zeros and a bare point
// dropped, so that it ends where `room` ends; returns where it starts.
template <typename Whole>
char* WriteDigits(Whole whole, int decimals, std::array<char, 32>& room) {
  char* start = room.data() + room.size();
  int places = decimals;
  while (places > 0 && whole % 10 == 0) {
    whole /= 10;
    --places;
  }
  for (int place = 0; place < places; ++place, whole /= 10) {
    *--start = static_cast<char>('0' + whole % 10);
  }
  if (places > 0) *--start = '.';
  for (; whole >= 100; whole /= 100) {
    start -= 2;
    kDigitPairs.copy(start, 2, static_cast<std::size_t>(whole % 100) * 2);
  }
  if (whole >= 10) {
    start -= 2;
    kDigitPairs.copy(start, 2, static_cast<std::size_t>(whole) * 2);
  } else {
    *--start = static_cast<char>('0' + whole);
  }
  return start;
}

}  // namespace

void AppendRounded(std::string& text, double value, int decimals) {
  // Below this a value scaled by 10^decimals is a whole number held exactly.
  constexpr double kExact = 1e15;
  constexpr std::array<double, 10> kScales = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
  if (decimals < 0 || decimals >= static_cast<int>(kScales.size()) || !std::isfinite(value) ||
      !(std::abs(value) * kScales[static_cast<std::size_t>(decimals)] < kExact)) {
    AppendFixed(text, value, decimals);
    return;
  }
  // Halves away from zero, without a call; a picture's thousands of coordinates make the
  // whole-number digits below pay (std::to_chars with a precision is several times slower).
  const double whole = std::abs(value) * kScales[static_cast<std::size_t>(decimals)] + 0.5;
  std::array<char, 32> digits;  // not cleared: written before it is read, from the end
  char* start = whole < kFitsUnsigned
                    ? WriteDigits(static_cast<std::uint32_t>(whole), decimals, digits)
                    : WriteDigits(static_cast<std::uint64_t>(whole), decimals, digits);
  if (value < 0.0 && !(start[0] == '0' && start + 1 == digits.data() + digits.size())) {
    *--start = '-';
  }
  text.append(start, static_cast<std::size_t>(digits.data() + digits.size() - start));
}

void AppendSignificant(std::string& text, double value, int digits) {
  if (!std::isfinite(value)) {
    AppendShortest(text, value);
    return;
  }
  // Where the fixed form applies, whole-number arithmetic gives it faster than std::to_chars.
  constexpr double kFixedFrom = 1e-4;
  constexpr int kMostDigits = 9;
  const double size = std::abs(value);
  if (size >= kFixedFrom && digits >= 1 && digits <= kMostDigits) {
    // The exponent of the leading digit, found without a logarithm.
    constexpr std::array<double, 13> kPowers = {1e-3, 1e-2, 1e-1, 1e0, 1e1, 1e2, 1e3,
                                                1e4,  1e5,  1e6,  1e7, 1e8, 1e9};
    int exponent = -4;
    for (const double power : kPowers) exponent += power <= size ? 1 : 0;
    const int decimals = digits - 1 - exponent;
    double scale = 1.0;
    for (int i = 0; i < decimals; ++i) scale *= 10.0;
    double limit = 1.0;  // 10^digits: a value rounded up to it takes the scientific form
    for (int i = 0; i < digits; ++i) limit *= 10.0;
    if (decimals >= 0 && decimals <= kMostDigits && size * scale + 0.5 < limit) {
      AppendRounded(text, value, decimals);
      return;
    }
  }
  std::array<char, 32> room{};
  const std::to_chars_result written = std::to_chars(room.data(), room.data() + room.size(), value,
                                                     std::chars_format::general, digits);
  text.append(room.data(), static_cast<std::size_t>(written.ptr - room.data()));
}

}  // namespace qartwo
