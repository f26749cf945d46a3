#include "support/text/free_form.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <span>
#include <system_error>

#include "support/text/fixed_text.h"

namespace qartwo {
namespace {

// Longest real value normalised for std::from_chars. A value can be as long as a whole
// input line; a longer one can only come from a caller's own text and is refused.
constexpr std::size_t kRealTokenSize = 256;
static_assert(kRealTokenSize >= kTextLength, "a real as long as a whole line must fit");

// Exponent digits beyond this magnitude cannot change whether a real overflows or
// underflows, so the exponent is saturated here instead of overflowing an int.
constexpr int kExponentCap = 1'000'000;

// What a character is to the scanner; the ones that end a token come last.
enum class CharClass : unsigned char { kToken, kStar, kBlank, kComma, kSlash };

// One look-up per character instead of a chain of comparisons.
constexpr std::array<CharClass, 256> kCharClasses = [] {
  std::array<CharClass, 256> classes{};
  classes[static_cast<unsigned char>('*')] = CharClass::kStar;
  classes[static_cast<unsigned char>(' ')] = CharClass::kBlank;
  classes[static_cast<unsigned char>('\t')] = CharClass::kBlank;
  classes[static_cast<unsigned char>(',')] = CharClass::kComma;
  classes[static_cast<unsigned char>('/')] = CharClass::kSlash;
  return classes;
}();

CharClass ClassOf(char c) {
  return kCharClasses[static_cast<unsigned char>(c)];
}
bool IsBlank(char c) {
  return ClassOf(c) == CharClass::kBlank;
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsSign(char c) {
  return c == '+' || c == '-';
}

bool AllDigits(std::string_view text) {
  for (char c : text) {
    if (!IsDigit(c)) return false;
  }
  return !text.empty();
}

std::size_t SkipBlanks(std::string_view text, std::size_t pos) {
  while (pos < text.size() && IsBlank(text[pos])) ++pos;
  return pos;
}

// The separator after a token: blanks, then at most one comma with blanks after it.
std::size_t SkipSeparator(std::string_view text, std::size_t pos) {
  pos = SkipBlanks(text, pos);
  if (pos < text.size() && text[pos] == ',') pos = SkipBlanks(text, pos + 1);
  return pos;
}

FreeFormStatus ReadInteger(std::string_view token, int& value) {
  const std::string_view unsigned_part =
      !token.empty() && IsSign(token[0]) ? token.substr(1) : token;
  if (!AllDigits(unsigned_part)) return FreeFormStatus::kNotANumber;
  // from_chars takes a minus sign but not a plus sign.
  const std::string_view number = token[0] == '+' ? unsigned_part : token;
  int result = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), result);
  if (error == std::errc::result_out_of_range) return FreeFormStatus::kOutOfRange;
  if (error != std::errc() || end != number.data() + number.size()) {
    return FreeFormStatus::kNotANumber;
  }
  value = result;
  return FreeFormStatus::kOk;
}

// Digits of a real's mantissa before or after its point.
struct MantissaDigits {
  int count = 0;
  int significant_integer = 0;  // integer digits from the first nonzero one on
  int fraction_zeros = 0;       // zeros after the point before the first nonzero digit
  bool nonzero_seen = false;
};

// Skips the digits at `pos`; `fraction` tells the digits after the point.
std::size_t ScanDigits(std::string_view token, std::size_t pos, bool fraction,
                       MantissaDigits& digits) {
  const std::size_t first = pos;
  while (pos < token.size() && IsDigit(token[pos])) ++pos;
  const std::size_t count = pos - first;
  digits.count += static_cast<int>(count);
  if (digits.nonzero_seen) return pos;
  std::size_t zeros = 0;  // leading zeros of the run
  while (zeros < count && token[first + zeros] == '0') ++zeros;
  digits.nonzero_seen = zeros < count;
  if (fraction) {
    digits.fraction_zeros += static_cast<int>(zeros);
  } else {
    digits.significant_integer += static_cast<int>(count - zeros);
  }
  return pos;
}

// Checks `token` against the real grammar and finds the decimal exponent of its first
// nonzero digit (0 for 1.5, -3 for 0.00123), which tells an overflow from an underflow when
// std::from_chars reports the value out of range. False when it is not a real.
bool LeadingExponent(std::string_view token, int& leading_exponent) {
  std::size_t pos = !token.empty() && IsSign(token[0]) ? 1 : 0;
  MantissaDigits digits;
  pos = ScanDigits(token, pos, false, digits);
  if (pos < token.size() && token[pos] == '.') pos = ScanDigits(token, pos + 1, true, digits);
  if (digits.count == 0) return false;
  int exponent = 0;
  if (pos < token.size()) {
    const char letter = token[pos];
    if (letter != 'E' && letter != 'e' && letter != 'D' && letter != 'd') return false;
    ++pos;
    bool exponent_negative = false;
    if (pos < token.size() && IsSign(token[pos])) {
      exponent_negative = token[pos] == '-';
      ++pos;
    }
    if (!AllDigits(token.substr(pos))) return false;
    for (; pos < token.size(); ++pos) {
      exponent = exponent * 10 + (token[pos] - '0');
      if (exponent > kExponentCap) exponent = kExponentCap;
    }
    if (exponent_negative) exponent = -exponent;
  }
  leading_exponent = digits.significant_integer > 0 ? digits.significant_integer - 1 + exponent
                                                    : exponent - digits.fraction_zeros - 1;
  return true;
}

// `token` without a leading plus and with 'e' for a 'D' or 'd', for std::from_chars.
std::string_view RewriteReal(std::string_view token, std::span<char, kRealTokenSize> text) {
  std::size_t length = 0;
  for (std::size_t pos = token.starts_with('+') ? 1 : 0; pos < token.size(); ++pos) {
    const char c = token[pos];
    text[length++] = c == 'D' || c == 'd' ? 'e' : c;
  }
  return {text.data(), length};
}

// std::from_chars on the whole of `text`: kOk, kOutOfRange (too large or too small), or
// kNotANumber with `stop` where it stopped.
FreeFormStatus FromChars(std::string_view text, double& result, const char*& stop) {
  const char* const end = text.data() + text.size();
  const auto [at, error] = std::from_chars(text.data(), end, result);
  stop = at;
  if (at != end) return FreeFormStatus::kNotANumber;
  if (error == std::errc::result_out_of_range) return FreeFormStatus::kOutOfRange;
  return error == std::errc() ? FreeFormStatus::kOk : FreeFormStatus::kNotANumber;
}

// Digits below 10^15 make an integer that a double holds exactly, so a token of at most that
// many digits (cycle counts and block labels mostly are) is converted by hand to the same
// double std::from_chars would give, without its general machinery. False for other tokens.
bool ReadWholeDigits(std::string_view token, double& value) {
  constexpr std::size_t kExactDigits = 15;
  const bool negative = token.starts_with('-');
  const std::size_t first = negative || token.starts_with('+') ? 1 : 0;
  if (token.size() - first > kExactDigits || token.size() == first) return false;
  unsigned long long whole = 0;
  for (std::size_t pos = first; pos < token.size(); ++pos) {
    if (!IsDigit(token[pos])) return false;
    whole = whole * 10 + static_cast<unsigned>(token[pos] - '0');
  }
  value = negative ? -static_cast<double>(whole) : static_cast<double>(whole);
  return true;
}

// std::from_chars is the recogniser: it reads a real of the grammar whole, once "inf" and
// "nan" are kept out by the first character, a leading plus is dropped and 'e' stands for a
// 'D' or 'd' exponent letter. As from_chars never reads past a 'D' or 'd', a token is
// rewritten only when it stopped at one, and most are read as written.
FreeFormStatus ReadReal(std::string_view token, double& value) {
  if (ReadWholeDigits(token, value)) return FreeFormStatus::kOk;
  const std::size_t first = !token.empty() && IsSign(token[0]) ? 1 : 0;
  if (token.size() > kRealTokenSize || first == token.size() ||
      !(IsDigit(token[first]) || token[first] == '.')) {
    return FreeFormStatus::kNotANumber;
  }
  std::array<char, kRealTokenSize> rewritten;
  std::string_view text = token.starts_with('+') ? RewriteReal(token, rewritten) : token;
  double result = 0.0;
  const char* stop = nullptr;
  FreeFormStatus status = FromChars(text, result, stop);
  const bool at_letter_d = stop < text.data() + text.size() && (*stop == 'D' || *stop == 'd');
  if (status == FreeFormStatus::kNotANumber && at_letter_d) {
    text = RewriteReal(token, rewritten);
    status = FromChars(text, result, stop);
  }
  if (status == FreeFormStatus::kOutOfRange) {
    // from_chars says the same for a value too large and one that rounds to zero
    // (subnormals come back as values); only the first is an error.
    int leading_exponent = 0;
    if (!LeadingExponent(token, leading_exponent)) return FreeFormStatus::kNotANumber;
    if (leading_exponent >= 0) return FreeFormStatus::kOutOfRange;
    result = token[0] == '-' ? -0.0 : 0.0;
    status = FreeFormStatus::kOk;
  }
  if (status == FreeFormStatus::kOk) value = result;
  return status;
}

// The no-value marks of targets first .. last - 1 (those below 64).
std::uint64_t MarksFrom(std::size_t first, std::size_t last) {
  constexpr std::size_t kMarked = 64;
  if (first >= kMarked) return 0;
  const std::uint64_t up_to_last =
      last >= kMarked ? ~std::uint64_t{0} : (std::uint64_t{1} << last) - 1;
  return up_to_last & ~((std::uint64_t{1} << first) - 1);
}

// Converts `token` for `target`, writing the target only on success.
FreeFormStatus ReadValue(std::string_view token, const FreeFormTarget& target) {
  return target.kind == FreeFormKind::kInteger ? ReadInteger(token, *target.integer)
                                               : ReadReal(token, *target.real);
}

}  // namespace

// The text read (blank = space or tab; every other character, NUL and other control
// characters included, is a token character):
//
//   text      := blank* item* [ '/' anything ]
//   item      := ',' blank*                 null value: the target keeps its value
//              | token separator
//   separator := blank* [ ',' blank* ]      none needed before '/' or the end of the text
//   token     := the longest run of characters other than blank, ',' and '/'
//              = value
//              | count '*' value            the value, converted for each of count targets
//              | count '*'                  count null values
//   count     := digit+                     1 .. 2147483647
//   value     := integer                    for an integer target
//              | real                       for a real target
//   integer   := [sign] digit+              -2147483648 .. 2147483647
//   real      := [sign] mantissa [exponent]
//   mantissa  := digit+ [ '.' digit* ] | '.' digit+
//   exponent  := ( 'E' | 'e' | 'D' | 'd' ) [sign] digit+
//   sign      := '+' | '-'
//
// Hence a comma at the start of the text or right after another comma is a null value,
// while a comma followed only by blanks gives no value. Each value, null value or repeated
// copy fills the next target. Once every target is filled the rest of the text is not
// looked at (surplus values, and copies beyond the last target, are dropped). A slash ends
// the values successfully, leaving later targets as they were; the end of the text before
// every target is filled is kTooFewValues. A real too large for a double is kOutOfRange; one
// too small reads as zero with its sign (subnormals are kept). A real longer than
// kRealTokenSize characters (longer than any input line) is refused as not a number.
void ReadFreeForm(std::string_view text, std::span<const FreeFormTarget> targets,
                  FreeFormResult& result) {
  std::size_t pos = SkipBlanks(text, 0);
  std::size_t next = 0;
  std::size_t end = 0;
  std::uint64_t no_value = 0;
  const auto failure = [&](FreeFormStatus status, std::string_view value) {
    result = FreeFormResult{status, static_cast<int>(next), value, end, pos, no_value};
  };
  while (next < targets.size()) {
    if (pos == text.size()) return failure(FreeFormStatus::kTooFewValues, {});
    if (text[pos] == '/') {
      no_value |= MarksFrom(next, targets.size());
      break;
    }
    if (text[pos] == ',') {
      no_value |= MarksFrom(next, next + 1);
      ++next;
      pos = SkipBlanks(text, pos + 1);
      continue;
    }
    const std::size_t start = pos;
    std::size_t star = std::string_view::npos;  // the first '*', looked for on the way
    for (; pos < text.size(); ++pos) {
      const CharClass kind = ClassOf(text[pos]);
      if (kind == CharClass::kToken) continue;
      if (kind != CharClass::kStar) break;
      if (star == std::string_view::npos) star = pos - start;
    }
    const std::string_view token = text.substr(start, pos - start);
    end = pos;
    pos = SkipSeparator(text, pos);

    if (star == std::string_view::npos) {
      const FreeFormStatus status = ReadValue(token, targets[next]);
      if (status != FreeFormStatus::kOk) return failure(status, token);
      ++next;
      continue;
    }
    const std::string_view count_text = token.substr(0, star);
    const std::string_view value = token.substr(star + 1);
    if (!AllDigits(count_text)) return failure(FreeFormStatus::kNotANumber, token);
    int count = 0;
    const auto [end, error] =
        std::from_chars(count_text.data(), count_text.data() + count_text.size(), count);
    if (error != std::errc() || count == 0) return failure(FreeFormStatus::kBadRepeat, token);
    if (value.empty()) {
      const std::size_t last = std::min(targets.size(), next + static_cast<std::size_t>(count));
      no_value |= MarksFrom(next, last);
      next = last;
      continue;
    }
    for (int copy = 0; copy < count && next < targets.size(); ++copy, ++next) {
      const FreeFormStatus status = ReadValue(value, targets[next]);
      if (status != FreeFormStatus::kOk) return failure(status, token);
    }
  }
  result = FreeFormResult{FreeFormStatus::kOk, 0, {}, end, pos, no_value};
}

FreeFormItem ClassifyFreeFormItem(std::string_view text, std::size_t pos) {
  pos = SkipBlanks(text, pos);
  if (pos >= text.size() || text[pos] == '/') return FreeFormItem::kNone;
  if (text[pos] == ',') return FreeFormItem::kNull;
  std::size_t stop = pos;
  while (stop < text.size() && ClassOf(text[stop]) <= CharClass::kStar) ++stop;
  std::string_view token = text.substr(pos, stop - pos);
  if (const std::size_t star = token.find('*'); star != std::string_view::npos) {
    if (!AllDigits(token.substr(0, star))) return FreeFormItem::kWord;
    token.remove_prefix(star + 1);
    if (token.empty()) return FreeFormItem::kValue;
  }
  int ignored = 0;  // only the grammar matters: a number out of range is a number as well
  return LeadingExponent(token, ignored) ? FreeFormItem::kValue : FreeFormItem::kWord;
}

FreeFormResult ReadFreeForm(std::string_view text, std::span<const FreeFormTarget> targets) {
  FreeFormResult result;
  ReadFreeForm(text, targets, result);
  return result;
}

std::string_view FreeFormStatusText(FreeFormStatus status) {
  switch (status) {
    case FreeFormStatus::kOk:
      return "ok";
    case FreeFormStatus::kTooFewValues:
      return "too few values";
    case FreeFormStatus::kNotANumber:
      return "not a number";
    case FreeFormStatus::kOutOfRange:
      return "number out of range";
    case FreeFormStatus::kBadRepeat:
      return "bad repeat count";
  }
  return "unknown status";
}

}  // namespace qartwo
