#include "support/text/number_text.h"

#include <array>
#include <charconv>
#include <cmath>

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
  text.append(digits.data(), written.ptr);
}

void AppendRounded(std::string& text, double value, int decimals) {
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

void AppendSignificant(std::string& text, double value, int digits) {
  if (!std::isfinite(value)) {
    AppendShortest(text, value);
    return;
  }
  std::array<char, 32> room{};
  const std::to_chars_result written = std::to_chars(room.data(), room.data() + room.size(), value,
                                                     std::chars_format::general, digits);
  text.append(room.data(), written.ptr);
}

}  // namespace qartwo
