#include "support/io/console_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/testing/unit_capture.h"

namespace qartwo {
namespace {

using testing::UnitCapture;

constexpr int kMessageUnit = 20;

TEST(PROMPT, WritesABlankAndAtMostEightyCharactersWithoutLineEnd) {
  UnitCapture console(kMessageUnit);
  PROMPT(kMessageUnit, std::string(79, 'a') + "bc");
  EXPECT_EQ(console.Text() + ";", " " + std::string(79, 'a') + "b;");
}

// A count of 0 or less leaves the text blank, writes two messages and counts the error flag
// down.
TEST(INT2CH, TurnsCodesIntoTextUpToTheFirstZero) {
  const std::string block =
      "\n\n   Error in routine *INT2CH*              \n\n\n"
      "   Inpus string has illegal length            :";
  struct Row {
    std::vector<int> codes;
    int n;
    std::size_t length;  // of the text
    std::string text, messages = "";
  };
  const Row rows[] = {
      {.codes = {72, 256, 65 + 512, -1, 0, 74}, .n = 6, .length = 8, .text = {"H\0A\xff    ", 8}},
      {.codes = {65, 66, 67, 68}, .n = 2, .length = 4, .text = "AB  "},
      // A count beyond the text or the codes stops there.
      {.codes = {65, 66, 67, 68}, .n = 40, .length = 2, .text = "AB"},
      {.codes = {65, 66}, .n = 40, .length = 5, .text = "AB   "},
      {.codes = {65, 66}, .n = 0, .length = 3, .text = "   ", .messages = block + "         0\n"}};
  for (const Row& row : rows) {
    std::string text(row.length, '#');
    int flag = 5;
    UnitCapture messages(kMessageUnit);
    INT2CH(text, row.codes, row.n, kMessageUnit, flag);
    EXPECT_EQ(text + ";", row.text + ";") << "n " << row.n;
    EXPECT_EQ(messages.Text(), row.messages) << "n " << row.n;
    EXPECT_EQ(flag, row.messages.empty() ? 5 : 4) << "n " << row.n;
  }
}

// What CH2INT writes about a text of `length` characters longer than n (one digit each).
std::string TooLong(char length, char n) {
  return "\n\n   Error in routine *CH2INT*              \n\n\n   Character string longer than "
         "integer  array \n   Length of string :                         :          " +
         std::string{length} +
         "\n   Length of array  :                         :          " + std::string{n} + "\n";
}

// Columns of n codes up to each text's trimmed length; a too long text stops the conversion.
// Only whole columns inside the storage, and only the texts given, are converted. First the
// n x m elements are zeroed (only the product counts, and only when above 0; elements start
// at -9 so that untouched ones show).
TEST(CH2INT, StoresCodesUpToTheTrimmedLengthWithinTheMatrix) {
  struct Row {
    std::vector<std::string_view> texts;
    int n = 4, m = 3;
    std::vector<int> names;
    std::string messages = "";
  };
  // clang-format off
  const Row rows[] = {
      {.texts = {"AB C   ", "   ", "\xe9\t"},
       .names = {'A', 'B', ' ', 'C', 0, 0, 0, 0, 233, '\t', 0, 0}},
      {.texts = {"AB", "ABCDE  ", "CD"}, .names = {'A', 'B', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
       .messages = TooLong('5', '4')},
      {.texts = {"AB", "CD", "EF"}, .names = {'A', 'B', 0, 0, 'C', 'D', 0, 0, 0, 0}},
      {.texts = {"AB", "CD"}, .names = {'A', 'B', 0, 0, 'C', 'D', 0, 0, 0, 0, 0, 0}},
      {.texts = {"ABC"}, .m = -1, .names = {-9, -9, -9, -9}},
      {.texts = {"A"}, .n = -1, .m = -2, .names = {0, 0, -9, -9}},
      {.texts = {"A"}, .n = 65536, .m = 65536, .names = {0, 0, 0, 0}},  // beyond int
      {.texts = {"   ", "A"}, .n = 0, .m = 2, .names = {-9, -9, -9, -9},  // no rows hold no name
       .messages = TooLong('1', '0')}};
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.texts[0]) + " n " + std::to_string(row.n) + " m " +
                 std::to_string(row.m));
    std::vector<int> names(row.names.size(), -9);
    int flag = 5;
    UnitCapture messages(kMessageUnit);
    CH2INT(row.texts, names, row.n, row.m, kMessageUnit, flag);
    EXPECT_EQ(names, row.names);
    EXPECT_EQ(messages.Text(), row.messages);
    EXPECT_EQ(flag, row.messages.empty() ? 5 : 4);
  }
}

}  // namespace
}  // namespace qartwo
