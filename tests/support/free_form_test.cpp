#include "support/free_form.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace qartwo {
namespace {

using S = FreeFormStatus;

// Values the targets hold before a read, so that a kept value is visible.
constexpr int kIntegerBefore = -777;
constexpr double kRealBefore = -777.5;

// Targets laid out by `kinds` ('i' integer, 'r' real), all holding their "before" values.
struct Targets {
  explicit Targets(std::string_view kinds)
      : integers(kinds.size(), kIntegerBefore), reals(kinds.size(), kRealBefore) {
    for (std::size_t i = 0; i < kinds.size(); ++i) {
      list.push_back(kinds[i] == 'i' ? IntegerTarget(integers[i]) : RealTarget(reals[i]));
    }
  }
  FreeFormResult Read(std::string_view text) { return ReadFreeForm(text, list); }
  std::vector<int> integers;
  std::vector<double> reals;
  std::vector<FreeFormTarget> list;
};

TEST(FreeForm, ReadsIntegerForms) {
  struct Case {
    std::string text;
    int expected;
  };
  const Case cases[] = {
      {"0", 0},
      {"7", 7},
      {"-7", -7},
      {"+7", 7},
      {"007", 7},
      {"-0", 0},
      {"  42  ", 42},
      {"\t42\t", 42},
      {"42,", 42},
      {"42/", 42},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"000000000000000000000000000000000000000000012", 12},
  };
  for (const Case& c : cases) {
    Targets t("i");
    const FreeFormResult result = t.Read(c.text);
    EXPECT_EQ(result.status, S::kOk) << "[" << c.text << "];";
    EXPECT_EQ(t.integers[0], c.expected) << "[" << c.text << "];";
  }
}

TEST(FreeForm, ReadsRealFormsToTheNearestDouble) {
  struct Case {
    std::string text;
    double expected;
  };
  const double min_subnormal = std::numeric_limits<double>::denorm_min();
  const Case cases[] = {
      {"2", 2.0},
      {"10.0", 10.0},
      {"2E5", 2e5},
      {"1.5D-3", 1.5e-3},
      {"3D1", 30.0},
      {"3d+1", 30.0},
      {".5", 0.5},
      {"5.", 5.0},
      {"-.5", -0.5},
      {"+.5", 0.5},
      {"5.E3", 5e3},
      {"0.1", 0.1},
      {"-2.5e-2", -0.025},
      {"1e0000000000000000000000000005", 1e5},
      {"1.7976931348623157e308", std::numeric_limits<double>::max()},
      {"2.2250738585072011e-308", 2.2250738585072011e-308},  // largest subnormal
      {"4.9406564584124654e-324", min_subnormal},
      {"3e-324", min_subnormal},      // rounds up to the smallest subnormal
      {"0.0000000001e-313", 1e-323},  // twice the smallest subnormal
      {"0e99999999999999999999", 0.0},
  };
  for (const Case& c : cases) {
    Targets t("r");
    const FreeFormResult result = t.Read(c.text);
    EXPECT_EQ(result.status, S::kOk) << "[" << c.text << "];";
    EXPECT_EQ(t.reals[0], c.expected) << "[" << c.text << "];";
  }
}

TEST(FreeForm, RealTooSmallReadsAsSignedZero) {
  const std::string texts[] = {"1e-400",
                               "-1e-400",
                               "2e-324",
                               "-2.4703282292062327e-324",
                               "0.000001e-99999999999999999999",
                               "123.4e-999999"};
  for (const std::string& text : texts) {
    Targets t("r");
    EXPECT_EQ(t.Read(text).status, S::kOk) << "[" << text << "];";
    EXPECT_EQ(t.reals[0], 0.0) << "[" << text << "];";
    EXPECT_EQ(std::signbit(t.reals[0]), text[0] == '-') << "[" << text << "];";
  }
}

TEST(FreeForm, SeparatorsNullValuesSlashAndRepeatCounts) {
  constexpr int K = kIntegerBefore;
  struct Case {
    std::string text;
    S status;
    std::vector<int> expected;
  };
  const Case cases[] = {
      {"1 2 3", S::kOk, {1, 2, 3}},
      {"1,2,3", S::kOk, {1, 2, 3}},
      {"1 , 2 ,3", S::kOk, {1, 2, 3}},
      {"1\t2 \t 3", S::kOk, {1, 2, 3}},
      {"   1  2  3   ", S::kOk, {1, 2, 3}},
      {"1 2 3,", S::kOk, {1, 2, 3}},
      {"1 2 3 4 five 6.5", S::kOk, {1, 2, 3}},
      {"1 , , 3", S::kOk, {1, K, 3}},
      {",2,3", S::kOk, {K, 2, 3}},
      {" , 2 3", S::kOk, {K, 2, 3}},
      {",,,", S::kOk, {K, K, K}},
      {"1 2 /", S::kOk, {1, 2, K}},
      {"1/", S::kOk, {1, K, K}},
      {"1/2 3", S::kOk, {1, K, K}},
      {"1,/ 2 3", S::kOk, {1, K, K}},
      {"/ 1 2 3", S::kOk, {K, K, K}},
      {",/", S::kOk, {K, K, K}},
      {"3*7", S::kOk, {7, 7, 7}},
      {"2*7 8", S::kOk, {7, 7, 8}},
      {"1 5*4", S::kOk, {1, 4, 4}},
      {"2147483647*-1", S::kOk, {-1, -1, -1}},
      {"3*", S::kOk, {K, K, K}},
      {"2* 8", S::kOk, {K, K, 8}},
      {"2*,8", S::kOk, {K, K, 8}},
      {"1*1 1*2 1*3 1*x", S::kOk, {1, 2, 3}},
      {"1 2*/", S::kOk, {1, K, K}},
      // The end of the text before every target has a value.
      {"", S::kTooFewValues, {K, K, K}},
      {"   \t ", S::kTooFewValues, {K, K, K}},
      {"1 2", S::kTooFewValues, {1, 2, K}},
      {"1 2,", S::kTooFewValues, {1, 2, K}},
      {"1 2 ,  ", S::kTooFewValues, {1, 2, K}},
      {"1,,", S::kTooFewValues, {1, K, K}},
      {",", S::kTooFewValues, {K, K, K}},
      {"2*5", S::kTooFewValues, {5, 5, K}},
      // A failing value leaves its own and later targets alone.
      {"1 x 3", S::kNotANumber, {1, K, K}},
      {"1 4*x", S::kNotANumber, {1, K, K}},
  };
  for (const Case& c : cases) {
    Targets t("iii");
    const FreeFormResult result = t.Read(c.text);
    EXPECT_EQ(result.status, c.status) << "[" << c.text << "];";
    EXPECT_EQ(t.integers, c.expected) << "[" << c.text << "];";
  }
}

TEST(FreeForm, RepeatedValueIsConvertedForEachTarget) {
  Targets mixed("ririr");
  const FreeFormResult stopped = mixed.Read("3*2 2*1D1");
  EXPECT_EQ(stopped.status, S::kNotANumber);
  EXPECT_EQ(stopped.target, 3);
  EXPECT_EQ(mixed.reals[0], 2.0);
  EXPECT_EQ(mixed.integers[1], 2);
  EXPECT_EQ(mixed.reals[2], 2.0);
  EXPECT_EQ(mixed.integers[3], kIntegerBefore);  // 1D1 is no integer
  EXPECT_EQ(mixed.reals[4], kRealBefore);

  Targets failing("rri");
  const FreeFormResult result = failing.Read("3*1.5");
  EXPECT_EQ(result.status, S::kNotANumber);
  EXPECT_EQ(result.target, 2);
  EXPECT_EQ(result.value, "3*1.5");
  EXPECT_EQ(failing.reals[0], 1.5);
  EXPECT_EQ(failing.reals[1], 1.5);
  EXPECT_EQ(failing.integers[2], kIntegerBefore);
}

TEST(FreeForm, ReportsTheFailingTargetAndItsText) {
  struct Case {
    std::string kinds;
    std::string text;
    S status;
    int target;
    std::string value;
  };
  const Case cases[] = {
      // Not integers.
      {"i", "abc", S::kNotANumber, 0, "abc"},
      {"i", "1.0", S::kNotANumber, 0, "1.0"},
      {"i", "1.", S::kNotANumber, 0, "1."},
      {"i", "1E5", S::kNotANumber, 0, "1E5"},
      {"i", "12x", S::kNotANumber, 0, "12x"},
      {"i", "+", S::kNotANumber, 0, "+"},
      {"i", "+-5", S::kNotANumber, 0, "+-5"},
      {"i", "--5", S::kNotANumber, 0, "--5"},
      {"i", "'5'", S::kNotANumber, 0, "'5'"},
      {"i", "0x10", S::kNotANumber, 0, "0x10"},
      {"i", std::string("5\0", 2), S::kNotANumber, 0, std::string("5\0", 2)},
      {"i", "5\r", S::kNotANumber, 0, "5\r"},
      // Integers outside 32 bits.
      {"i", "2147483648", S::kOutOfRange, 0, "2147483648"},
      {"i", "-2147483649", S::kOutOfRange, 0, "-2147483649"},
      {"i", "+99999999999999999999", S::kOutOfRange, 0, "+99999999999999999999"},
      // Not reals.
      {"r", ".", S::kNotANumber, 0, "."},
      {"r", "+", S::kNotANumber, 0, "+"},
      {"r", "E5", S::kNotANumber, 0, "E5"},
      {"r", "d5", S::kNotANumber, 0, "d5"},
      {"r", ".e5", S::kNotANumber, 0, ".e5"},
      {"r", "1E", S::kNotANumber, 0, "1E"},
      {"r", "1E+", S::kNotANumber, 0, "1E+"},
      {"r", "1.5e3.2", S::kNotANumber, 0, "1.5e3.2"},
      {"r", "1..2", S::kNotANumber, 0, "1..2"},
      {"r", "++1", S::kNotANumber, 0, "++1"},
      {"r", "1Q5", S::kNotANumber, 0, "1Q5"},
      {"r", "nan", S::kNotANumber, 0, "nan"},
      {"r", "inf", S::kNotANumber, 0, "inf"},
      {"r", "-Infinity", S::kNotANumber, 0, "-Infinity"},
      {"r", "0x1p3", S::kNotANumber, 0, "0x1p3"},
      {"r", "'1.5'", S::kNotANumber, 0, "'1.5'"},
      {"r", std::string("1.5\0", 4), S::kNotANumber, 0, std::string("1.5\0", 4)},
      // Reals too large for a double.
      {"r", "1e400", S::kOutOfRange, 0, "1e400"},
      {"r", "-1D309", S::kOutOfRange, 0, "-1D309"},
      {"r", "1.7976931348623159e308", S::kOutOfRange, 0, "1.7976931348623159e308"},
      {"r", "0.001e99999999999999999999", S::kOutOfRange, 0, "0.001e99999999999999999999"},
      // Repeat counts.
      {"i", "0*5", S::kBadRepeat, 0, "0*5"},
      {"i", "000*", S::kBadRepeat, 0, "000*"},
      {"i", "2147483648*5", S::kBadRepeat, 0, "2147483648*5"},
      {"i", "*5", S::kNotANumber, 0, "*5"},
      {"i", "-2*5", S::kNotANumber, 0, "-2*5"},
      {"i", "2**5", S::kNotANumber, 0, "2**5"},
      // The failing target is counted through values, null values and copies.
      {"iii", "1 2 x", S::kNotANumber, 2, "x"},
      {"iii", "1,,x", S::kNotANumber, 2, "x"},
      {"iii", "2* x", S::kNotANumber, 2, "x"},
      {"irr", "1 2*x", S::kNotANumber, 1, "2*x"},
      {"iri", "1 2.5 3.5", S::kNotANumber, 2, "3.5"},
      {"iri", "1 2 0*3", S::kBadRepeat, 2, "0*3"},
      {"rrrr", "1 2*3", S::kTooFewValues, 3, ""},
      {"rr", ", ", S::kTooFewValues, 1, ""},
  };
  for (const Case& c : cases) {
    Targets t(c.kinds);
    const FreeFormResult result = t.Read(c.text);
    EXPECT_EQ(result.status, c.status) << "[" << c.text << "];";
    EXPECT_EQ(result.target, c.target) << "[" << c.text << "];";
    EXPECT_EQ(result.value, c.value) << "[" << c.text << "];";
  }
}

TEST(FreeForm, FailingTargetKeepsItsValue) {
  Targets t("ir");
  EXPECT_EQ(t.Read("2147483648 1").status, S::kOutOfRange);
  EXPECT_EQ(t.integers[0], kIntegerBefore);
  EXPECT_EQ(t.Read("5 1e999").status, S::kOutOfRange);
  EXPECT_EQ(t.integers[0], 5);
  EXPECT_EQ(t.reals[1], kRealBefore);
}

TEST(FreeForm, LongTokensAreReadOrRefusedSafely) {
  // A real filling a whole 256-character line still converts.
  const std::string line_long = "1" + std::string(255, '0');
  Targets fits("r");
  EXPECT_EQ(fits.Read(line_long).status, S::kOk);
  EXPECT_EQ(fits.reals[0], 1e255);

  const std::string huge(1 << 20, '7');
  Targets real("r");
  EXPECT_EQ(real.Read(huge).status, S::kNotANumber);
  EXPECT_EQ(real.Read(line_long + "0").status, S::kNotANumber);
  EXPECT_EQ(real.reals[0], kRealBefore);

  Targets integer("i");
  const FreeFormResult result = integer.Read(huge);
  EXPECT_EQ(result.status, S::kOutOfRange);
  EXPECT_EQ(result.value.size(), huge.size());
  EXPECT_EQ(integer.Read(std::string(1 << 20, '0') + "9").status, S::kOk);
  EXPECT_EQ(integer.integers[0], 9);

  Targets repeat("i");
  EXPECT_EQ(repeat.Read(huge + "*1").status, S::kBadRepeat);
}

TEST(FreeForm, StatusTexts) {
  EXPECT_EQ(FreeFormStatusText(S::kTooFewValues), "too few values");
  const S all[] = {S::kOk, S::kTooFewValues, S::kNotANumber, S::kOutOfRange, S::kBadRepeat};
  for (S a : all) {
    for (S b : all) {
      if (a != b) {
        EXPECT_NE(FreeFormStatusText(a), FreeFormStatusText(b));
      }
    }
  }
}

}  // namespace
}  // namespace qartwo
