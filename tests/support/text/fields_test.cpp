#include "support/text/fields.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <limits>
#include <string>

namespace qartwo {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// A value written in a field of `width` characters with `decimals`, and the field expected.
struct Row {
  double value;
  int width = 10, decimals = 3;
  std::string field;
};

// Writes each row's value with `writer` and compares with the expected field.
void ExpectFields(void (*writer)(std::span<char>, double, int), std::initializer_list<Row> rows) {
  for (const Row& row : rows) {
    std::string field(static_cast<std::size_t>(row.width), '?');
    writer(field, row.value, row.decimals);
    EXPECT_EQ(field + ";", row.field + ";")
        << row.value << " in " << row.width << "." << row.decimals;
  }
}

TEST(WriteInteger, RightAlignsOrFillsWithAsterisks) {
  const auto writer = [](std::span<char> field, double value, int) {
    WriteInteger(field, static_cast<long long>(value));
  };
  ExpectFields(writer, {{.value = -5, .width = 4, .field = "  -5"},
                        {.value = 12345, .width = 4, .field = "****"},
                        {.value = -0x1p63, .width = 20, .field = "-9223372036854775808"}});
}

// The zero before the point goes only when that makes the value fit.
TEST(WriteFixed, DropsTheLeadingZeroOnlyToFit) {
  ExpectFields(WriteFixed,
               {{.value = 0.5, .width = 5, .field = "0.500"},
                {.value = 0.5, .width = 4, .field = ".500"},
                {.value = -0.5, .width = 5, .field = "-.500"},
                {.value = -0.5, .width = 4, .field = "****"},
                {.value = 3.0, .width = 5, .decimals = 0, .field = "   3."},
                {.value = -kInf, .field = " -Infinity"},
                {.value = std::numeric_limits<double>::quiet_NaN(), .field = "       NaN"}});
}

// 1e-100 leaves no room for the E.
TEST(WriteScientific, OneDigitBeforeThePointAndTwoOrThreeExponentDigits) {
  ExpectFields(WriteScientific,
               {{.value = -1e-99, .width = 15, .decimals = 5, .field = "   -1.00000E-99"},
                {.value = 1e-100, .width = 15, .decimals = 5, .field = "    1.00000-100"},
                {.value = 1.0, .width = 12, .decimals = 0, .field = "      1.E+00"},
                {.value = kInf, .width = 15, .decimals = 5, .field = "       Infinity"}});
}

// The bytes on either side of each escaped range: 31 and 127 escaped, 32, 126 and 128 kept.
TEST(AppendVisible, EscapesBytesBelow32AndDel) {
  OutputLine line;
  AppendVisible(line, "\x1f ~\x7f\x80");
  EXPECT_EQ(std::string(LineText(line)) + ";", "\\x1F ~\\x7F\x80;");
}

// Fields behind text are shown by the listing; here only the cut at the capacity.
TEST(OutputLine, CutsAtItsCapacity) {
  OutputLine line;
  AppendText(line, std::string(kOutputLineCapacity - 3, 'x'));
  AppendInteger(line, 12345, 10);
  AppendBlanks(line, 100);
  ASSERT_EQ(line.length, kOutputLineCapacity);
  EXPECT_EQ(std::string(LineText(line).substr(kOutputLineCapacity - 4)), "x   ");
}

}  // namespace
}  // namespace qartwo
