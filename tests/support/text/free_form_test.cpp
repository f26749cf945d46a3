#include "support/text/free_form.h"

#include <gtest/gtest.h>

#include <array>
#include <charconv>
#include <string>
#include <vector>

namespace qartwo {
namespace {

// The value every target holds before a read, shown as "K" when it is kept.
constexpr int kBefore = -777;

// Reads `text` into targets laid out by `kinds` ('i' integer, 'r' real) and tells what came
// of it: the status text, for a failure the failing target and its text in brackets, then
// every target's value (in its shortest exact form, so that -0 and 5e-324 show; "-" for one
// marked as given no value), and on success the kind of item that follows.
std::string Read(std::string_view kinds, std::string_view text) {
  std::vector<int> integers(kinds.size(), kBefore);
  std::vector<double> reals(kinds.size(), kBefore);
  std::vector<FreeFormTarget> targets;
  for (std::size_t i = 0; i < kinds.size(); ++i)
    targets.push_back(kinds[i] == 'i' ? IntegerTarget(integers[i]) : RealTarget(reals[i]));
  const FreeFormResult result = ReadFreeForm(text, targets);
  std::string told(FreeFormStatusText(result.status));
  if (result.status != FreeFormStatus::kOk)
    told += " at " + std::to_string(result.target) + " [" + std::string(result.value) + "]";
  told += ":";
  for (std::size_t i = 0; i < kinds.size(); ++i) {
    const double value = kinds[i] == 'i' ? integers[i] : reals[i];
    std::array<char, 32> shown{};
    char* end = std::to_chars(shown.data(), shown.data() + shown.size(), value).ptr;
    const bool marked = (result.no_value >> i & 1) != 0;
    told += marked ? " -" : value == kBefore ? " K" : " " + std::string(shown.data(), end);
  }
  const char* const items[] = {"none", "value", "null", "word"};
  if (result.status == FreeFormStatus::kOk)
    told += std::string(" | ") + items[static_cast<int>(ClassifyFreeFormItem(text, result.next))];
  return told;
}

TEST(FreeForm, ReadsValuesNullValuesSlashAndRepeatCounts) {
  struct Case {
    std::string kinds, text, told;
  };
  const std::string line_long = "1" + std::string(255, '0');  // a whole 256-character line
  // clang-format off
  const Case cases[] = {
      {.kinds = "i", .text = " \t+007\t,", .told = "ok: 7 | none"},
      {.kinds = "rrr", .text = "2 5.E3 -2.5e-2", .told = "ok: 2 5000 -0.025 | none"},
      {.kinds = "rrr", .text = "1.5D-3 3d+1 +.5", .told = "ok: 0.0015 30 0.5 | none"},
      {.kinds = "r", .text = line_long, .told = "ok: 1e+255 | none"},
      // Too small for a double: zero with its sign; subnormals are kept.
      {.kinds = "rrr", .text = "-.01e-9999999999 2e-324 3e-324", .told = "ok: -0 0 5e-324 | none"},
      // Null values, slash, repeat counts (separators and values beyond the last target are
      // in the histogram reader's rows).
      {.kinds = "iii", .text = "1 , , 3", .told = "ok: 1 - 3 | none"},
      {.kinds = "iii", .text = "1/2 3", .told = "ok: 1 - - | none"},
      {.kinds = "iii", .text = "2*7 8", .told = "ok: 7 7 8 | none"},
      {.kinds = "iii", .text = "1 5*4", .told = "ok: 1 4 4 | none"},
      {.kinds = "iii", .text = "2* 8", .told = "ok: - - 8 | none"},
      // What follows the values: a second number (a decimal comma), a null value, a word.
      {.kinds = "r", .text = "1,5 x", .told = "ok: 1 | value"},
      {.kinds = "r", .text = ",5", .told = "ok: - | value"},
      {.kinds = "r", .text = "1.5 , ,2", .told = "ok: 1.5 | null"},
      {.kinds = "ri", .text = "1 2 3* 4", .told = "ok: 1 2 | value"},
      {.kinds = "r", .text = "1.5 2*mm", .told = "ok: 1.5 | word"},
      // Converted per target.
      {.kinds = "riri", .text = "2*2 2*1.5", .told = "not a number at 3 [2*1.5]: 2 2 1.5 K"},
      // A comma and blanks are no value.
      {.kinds = "iii", .text = "1 2 ,  ", .told = "too few values at 2 []: 1 2 K"},
      // The failing target keeps its value; later ones are not touched.
      {.kinds = "iii", .text = "1 x 3", .told = "not a number at 1 [x]: 1 K K"},
      {.kinds = "i", .text = "+-5", .told = "not a number at 0 [+-5]: K"},
      {.kinds = "ii", .text = "5 2147483648", .told = "number out of range at 1 [2147483648]: 5 K"},
      {.kinds = "r", .text = "1E+", .told = "not a number at 0 [1E+]: K"},
      {.kinds = "r", .text = "nan", .told = "not a number at 0 [nan]: K"},
      {.kinds = "r", .text = line_long + "0", .told = "not a number at 0 [" + line_long + "0]: K"},
      {.kinds = "r", .text = "1e9999999999", .told = "number out of range at 0 [1e9999999999]: K"},
      {.kinds = "i", .text = "0*5", .told = "bad repeat count at 0 [0*5]: K"},
      {.kinds = "i", .text = "2147483648*5", .told = "bad repeat count at 0 [2147483648*5]: K"},
      {.kinds = "i", .text = "-2*5", .told = "not a number at 0 [-2*5]: K"}};
  // clang-format on
  for (const Case& c : cases) {
    EXPECT_EQ(Read(c.kinds, c.text), c.told) << c.kinds << " [" << c.text << "]";
  }
}

}  // namespace
}  // namespace qartwo
