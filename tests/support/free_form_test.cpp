#include "support/free_form.h"

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
// every target's value (in its shortest exact form, so that -0 and 5e-324 show).
std::string Read(std::string_view kinds, std::string_view text) {
  std::vector<int> integers(kinds.size(), kBefore);
  std::vector<double> reals(kinds.size(), kBefore);
  std::vector<FreeFormTarget> targets;
  for (std::size_t i = 0; i < kinds.size(); ++i) {
    targets.push_back(kinds[i] == 'i' ? IntegerTarget(integers[i]) : RealTarget(reals[i]));
  }
  const FreeFormResult result = ReadFreeForm(text, targets);
  std::string told(FreeFormStatusText(result.status));
  if (result.status != FreeFormStatus::kOk) {
    told += " at " + std::to_string(result.target) + " [" + std::string(result.value) + "]";
  }
  told += ":";
  for (std::size_t i = 0; i < kinds.size(); ++i) {
    const double value = kinds[i] == 'i' ? integers[i] : reals[i];
    std::array<char, 32> shown{};
    char* end = std::to_chars(shown.data(), shown.data() + shown.size(), value).ptr;
    told += value == kBefore ? " K" : " " + std::string(shown.data(), end);
  }
  return told;
}

TEST(FreeForm, ReadsValuesNullValuesSlashAndRepeatCounts) {
  struct Case {
    std::string kinds, text, expected;
  };
  const std::string line_long = "1" + std::string(255, '0');  // a whole 256-character line
  const std::string nul_int("5\0", 2), nul_real("1.5\0", 4);  // NUL is no blank
  const Case cases[] = {
      {"i", " \t+007\t,", "ok: 7"},
      {"ii", "2147483647 -2147483648", "ok: 2147483647 -2147483648"},
      {"rrr", "2 5.E3 -2.5e-2", "ok: 2 5000 -0.025"},
      {"rrr", "1.5D-3 3d+1 +.5", "ok: 0.0015 30 0.5"},
      {"r", "1.7976931348623157e308", "ok: 1.7976931348623157e+308"},
      {"r", "3e-324", "ok: 5e-324"},  // subnormals are kept
      {"rr", "1e0000000000000000000000000005 0e99999999999999999999", "ok: 1e+05 0"},
      {"r", line_long, "ok: 1e+255"},
      // Too small for a double: zero with its sign.
      {"rrr", "-1e-400 2e-324 0.000001e-99999999999999999999", "ok: -0 0 0"},
      // Separators, null values, slash, repeat counts.
      {"iii", " 1 ,2\t 3", "ok: 1 2 3"},
      {"iii", "1 2 3 4 five 6.5", "ok: 1 2 3"},  // the rest is not looked at
      {"iii", "1 , , 3", "ok: 1 K 3"},
      {"iii", ",,,", "ok: K K K"},
      {"iii", "1/2 3", "ok: 1 K K"},
      {"iii", ",/", "ok: K K K"},
      {"iii", "2*7 8", "ok: 7 7 8"},
      {"iii", "1 5*4", "ok: 1 4 4"},
      {"iii", "2147483647*-1", "ok: -1 -1 -1"},
      {"iii", "2* 8", "ok: K K 8"},
      {"riri", "2*2 2*1.5", "not a number at 3 [2*1.5]: 2 2 1.5 K"},  // converted per target
      {"iii", "  \t ", "too few values at 0 []: K K K"},
      {"iii", "1 2 ,  ", "too few values at 2 []: 1 2 K"},  // a comma and blanks: no value
      {"iii", "1,,", "too few values at 2 []: 1 K K"},
      {"rrrr", "1 2*3", "too few values at 3 []: 1 3 3 K"},
      // The failing target keeps its value; later ones are not touched.
      {"iii", "1 x 3", "not a number at 1 [x]: 1 K K"},
      {"iii", "1,,x", "not a number at 2 [x]: 1 K K"},
      {"irr", "1 2*x", "not a number at 1 [2*x]: 1 K K"},
      {"i", "1.0", "not a number at 0 [1.0]: K"},
      {"i", "+-5", "not a number at 0 [+-5]: K"},
      {"i", nul_int, "not a number at 0 [" + nul_int + "]: K"},
      {"i", "5\r", "not a number at 0 [5\r]: K"},
      {"ii", "5 2147483648", "number out of range at 1 [2147483648]: 5 K"},
      {"i", "-2147483649", "number out of range at 0 [-2147483649]: K"},
      {"r", ".", "not a number at 0 [.]: K"},
      {"r", "1E+", "not a number at 0 [1E+]: K"},
      {"r", "nan", "not a number at 0 [nan]: K"},
      {"r", nul_real, "not a number at 0 [" + nul_real + "]: K"},
      {"r", line_long + "0", "not a number at 0 [" + line_long + "0]: K"},
      {"r", "1.7976931348623159e308", "number out of range at 0 [1.7976931348623159e308]: K"},
      {"r", "0.001e99999999999999999999",
       "number out of range at 0 [0.001e99999999999999999999]: K"},
      {"i", "0*5", "bad repeat count at 0 [0*5]: K"},
      {"i", "2147483648*5", "bad repeat count at 0 [2147483648*5]: K"},
      {"i", "-2*5", "not a number at 0 [-2*5]: K"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Read(c.kinds, c.text), c.expected) << c.kinds << " [" << c.text << "]";
  }
}

}  // namespace
}  // namespace qartwo
