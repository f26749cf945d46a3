#include "support/fields.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace qartwo {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(WriteInteger, RightAlignsOrFillsWithAsterisks) {
  struct Case {
    long long value;
    int width;
    std::string expected;
  };
  const Case cases[] = {{-5, 4, "  -5"},
                        {1234, 4, "1234"},
                        {12345, 4, "****"},
                        {7, 0, ""},
                        {std::numeric_limits<long long>::min(), 20, "-9223372036854775808"}};
  for (const Case& c : cases) {
    std::string field(static_cast<std::size_t>(c.width), '?');
    WriteInteger(field, c.value);
    EXPECT_EQ(field + ";", c.expected + ";") << c.value << " in " << c.width;
  }
}

// Fixed and scientific fields: {value, width, decimals, expected}.
struct RealCase {
  double value;
  int width;
  int decimals;
  std::string expected;
};

void ExpectFields(void (*writer)(std::span<char>, double, int), std::span<const RealCase> cases) {
  for (const RealCase& c : cases) {
    std::string field(static_cast<std::size_t>(c.width), '?');
    writer(field, c.value, c.decimals);
    EXPECT_EQ(field + ";", c.expected + ";") << c.value << " in " << c.width << "." << c.decimals;
  }
}

TEST(WriteFixed, RoundsTheBinaryValueAndDropsTheLeadingZeroOnlyToFit) {
  const RealCase cases[] = {
      {3.0, 10, 3, "     3.000"},     {0.5, 5, 3, "0.500"},         {0.5, 4, 3, ".500"},
      {-0.5, 5, 3, "-.500"},          {-0.5, 4, 3, "****"},         {0.5, 3, 3, "***"},
      {93.57f, 10, 3, "    93.570"},  // the float's binary value, widened
      {2.0005, 10, 3, "     2.001"},  // held just above the half
      {0.0625, 10, 3, "     0.062"},  // an exact tie rounds to even
      {-0.0001, 10, 3, "    -0.000"}, {1e300, 10, 3, "**********"}, {3.0, 5, 0, "   3."},
      {-kInf, 10, 3, " -Infinity"},   {kNaN, 10, 3, "       NaN"},
  };
  ExpectFields(WriteFixed, cases);
}

TEST(WriteScientific, OneDigitBeforeThePointAndTwoOrThreeExponentDigits) {
  const RealCase cases[] = {
      {1.0e7, 12, 3, "   1.000E+07"},
      {0.0, 12, 3, "   0.000E+00"},
      {9.999995e9, 15, 5, "    1.00000E+10"},  // rounding carries into the exponent
      {-1e-99, 15, 5, "   -1.00000E-99"},
      {1e-100, 15, 5, "    1.00000-100"},  // a three-digit exponent takes the E's place
      {9.9999999e99, 15, 5, "    1.00000+100"},
      {1.0, 12, 0, "      1.E+00"},
      {kInf, 15, 5, "       Infinity"},
      {-kInf, 8, 5, "********"},
  };
  ExpectFields(WriteScientific, cases);
}

TEST(OutputLine, AppendsFieldsBehindTextAndCutsAtItsCapacity) {
  OutputLine line;
  AppendText(line, " Computed SigBreak: ");
  AppendFixed(line, 93.541, 10, 3);
  AppendBlanks(line, 2);
  AppendInteger(line, 1, 3);
  AppendScientific(line, 1.0e7, 12, 3);
  EXPECT_EQ(std::string(LineText(line)) + ";", " Computed SigBreak:     93.541    1   1.000E+07;");

  line = OutputLine{};
  AppendText(line, std::string(kOutputLineCapacity - 3, 'x'));
  AppendInteger(line, 12345, 10);
  AppendBlanks(line, 100);
  ASSERT_EQ(line.length, kOutputLineCapacity);
  EXPECT_EQ(std::string(LineText(line).substr(kOutputLineCapacity - 4)), "x   ");
}

}  // namespace
}  // namespace qartwo
