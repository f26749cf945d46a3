#include "support/fields.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <limits>
#include <string>
#include <tuple>

namespace qartwo {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// Writes each {value, width, decimals} with `writer` and compares with the expected field.
using Rows = std::initializer_list<std::tuple<double, int, int, std::string>>;
void ExpectFields(void (*writer)(std::span<char>, double, int), Rows rows) {
  for (const auto& [value, width, decimals, expected] : rows) {
    std::string field(static_cast<std::size_t>(width), '?');
    writer(field, value, decimals);
    EXPECT_EQ(field + ";", expected + ";") << value << " in " << width << "." << decimals;
  }
}

TEST(WriteInteger, RightAlignsOrFillsWithAsterisks) {
  const auto writer = [](std::span<char> field, double value, int) {
    WriteInteger(field, static_cast<long long>(value));
  };
  ExpectFields(writer, {{-5, 4, 0, "  -5"},
                        {1234, 4, 0, "1234"},
                        {12345, 4, 0, "****"},
                        {7, 0, 0, ""},
                        {-0x1p63, 20, 0, "-9223372036854775808"}});  // the longest long long
}

TEST(WriteFixed, RoundsTheBinaryValueAndDropsTheLeadingZeroOnlyToFit) {
  ExpectFields(WriteFixed, {{3.0, 10, 3, "     3.000"},
                            {0.5, 5, 3, "0.500"},
                            {0.5, 4, 3, ".500"},
                            {-0.5, 5, 3, "-.500"},
                            {-0.5, 4, 3, "****"},
                            {93.57f, 10, 3, "    93.570"},  // the float's value, widened
                            {2.0005, 10, 3, "     2.001"},  // held just above the half
                            {0.0625, 10, 3, "     0.062"},  // an exact tie rounds to even
                            {-0.0001, 10, 3, "    -0.000"},
                            {1e300, 10, 3, "**********"},
                            {3.0, 5, 0, "   3."},
                            {-kInf, 10, 3, " -Infinity"},
                            {std::numeric_limits<double>::quiet_NaN(), 10, 3, "       NaN"}});
}

TEST(WriteScientific, OneDigitBeforeThePointAndTwoOrThreeExponentDigits) {
  ExpectFields(WriteScientific, {{1.0e7, 12, 3, "   1.000E+07"},
                                 {0.0, 12, 3, "   0.000E+00"},
                                 {9.999995e9, 15, 5, "    1.00000E+10"},  // carries over
                                 {-1e-99, 15, 5, "   -1.00000E-99"},
                                 {1e-100, 15, 5, "    1.00000-100"},  // no room for the E
                                 {9.9999999e99, 15, 5, "    1.00000+100"},
                                 {1.0, 12, 0, "      1.E+00"},
                                 {kInf, 15, 5, "       Infinity"},
                                 {-kInf, 8, 5, "********"}});
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
