#include "support/fields.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace qartwo {
namespace {

std::string Field(int width, void (*writer)(std::span<char>, double, int), double value,
                  int decimals) {
  std::string field(static_cast<std::size_t>(width), '?');
  writer(field, value, decimals);
  return field + ";";
}

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(WriteInteger, RightAlignsOrFillsWithAsterisks) {
  struct Case {
    long long value;
    int width;
    const char* expected;
  };
  const Case cases[] = {
      {3, 10, "         3;"}, {-5, 4, "  -5;"},
      {12345, 4, "****;"},    {1234, 4, "1234;"},
      {-123, 4, "-123;"},     {-1234, 4, "****;"},
      {0, 1, "0;"},           {7, 0, ";"},
      {50, 4, "  50;"},       {-9223372036854775807LL - 1, 20, "-9223372036854775808;"},
  };
  for (const Case& c : cases) {
    std::string field(static_cast<std::size_t>(c.width), '?');
    WriteInteger(field, c.value);
    EXPECT_EQ(field + ";", c.expected) << "value " << c.value << " width " << c.width;
  }
}

TEST(WriteFixed, RoundsTheBinaryValueAndKeepsTheLeadingZeroWhenItFits) {
  struct Case {
    double value;
    int width;
    int decimals;
    const char* expected;
  };
  const Case cases[] = {
      {3.0, 10, 3, "     3.000;"},
      {0.5, 10, 3, "     0.500;"},
      {0.5, 5, 3, "0.500;"},
      {0.5, 4, 3, ".500;"},
      {-0.5, 5, 3, "-.500;"},
      {-0.5, 4, 3, "****;"},
      {0.5, 3, 3, "***;"},
      {93.57f, 10, 3, "    93.570;"},
      {12.913f, 10, 3, "    12.913;"},
      {93.541, 10, 3, "    93.541;"},
      {2.0005, 10, 3, "     2.001;"},  // 2.0005 is held just above the half
      {2.0004999, 10, 3, "     2.000;"},
      {0.0625, 10, 3, "     0.062;"},  // an exact tie rounds to even
      {-1234.5, 6, 1, "******;"},
      {-1234.5, 7, 1, "-1234.5;"},
      {123456789.0, 10, 3, "**********;"},
      {1e300, 10, 3, "**********;"},
      {-0.0001, 10, 3, "    -0.000;"},
      {3.0, 5, 0, "   3.;"},
      {kInf, 10, 3, "  Infinity;"},
      {-kInf, 10, 3, " -Infinity;"},
      {kNaN, 10, 3, "       NaN;"},
      {kInf, 5, 3, "*****;"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Field(c.width, WriteFixed, c.value, c.decimals), c.expected)
        << "value " << c.value << " width " << c.width << " decimals " << c.decimals;
  }
}

TEST(WriteScientific, OneDigitBeforeThePointAndTwoOrThreeExponentDigits) {
  struct Case {
    double value;
    int width;
    int decimals;
    const char* expected;
  };
  const Case cases[] = {
      {1.0e7, 12, 3, "   1.000E+07;"},          {0.0, 12, 3, "   0.000E+00;"},
      {1.95079e-5, 15, 5, "    1.95079E-05;"},  {1.950794e-5, 15, 5, "    1.95079E-05;"},
      {1.950795e-5, 15, 5, "    1.95080E-05;"}, {9.999995e9, 15, 5, "    1.00000E+10;"},
      {9.9999949e9, 15, 5, "    9.99999E+09;"}, {1e-100, 15, 5, "    1.00000-100;"},
      {1e100, 15, 5, "    1.00000+100;"},       {9.9999999e99, 15, 5, "    1.00000+100;"},
      {5e-324, 15, 5, "    4.94066-324;"},      {-3.96e-5, 15, 5, "   -3.96000E-05;"},
      {-3.96e-5, 11, 5, "***********;"},        {3.96e-5, 11, 5, "3.96000E-05;"},
      {189000000.0, 12, 3, "   1.890E+08;"},    {1.0, 12, 0, "      1.E+00;"},
      {kInf, 15, 5, "       Infinity;"},        {-kInf, 8, 5, "********;"},
      {kNaN, 15, 5, "            NaN;"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Field(c.width, WriteScientific, c.value, c.decimals), c.expected)
        << "value " << c.value << " width " << c.width << " decimals " << c.decimals;
  }
}

TEST(OutputLine, AppendsFieldsBehindText) {
  OutputLine line;
  AppendText(line, " Computed SigBreak: ");
  AppendFixed(line, 93.541, 10, 3);
  AppendBlanks(line, 2);
  AppendInteger(line, 1, 3);
  AppendScientific(line, 1.0e7, 12, 3);
  EXPECT_EQ(std::string(LineText(line)) + ";", " Computed SigBreak:     93.541    1   1.000E+07;");
}

TEST(OutputLine, CutsTextAtItsCapacity) {
  OutputLine line;
  const std::string long_text(kOutputLineCapacity - 3, 'x');
  AppendText(line, long_text);
  AppendInteger(line, 12345, 10);
  AppendBlanks(line, 100);
  ASSERT_EQ(line.length, kOutputLineCapacity);
  EXPECT_EQ(std::string(LineText(line).substr(kOutputLineCapacity - 4)), "x   ");
}

}  // namespace
}  // namespace qartwo
