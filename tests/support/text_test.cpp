#include "support/text.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>
#include <vector>

#include "tests/testing/unit_capture.h"

namespace qartwo {
namespace {

using testing::UnitCapture;

constexpr int kMessageUnit = 20;

// The tail probes only shorten the scan: with the last non-blank character at every position
// of texts of every length the result is that position. Only code 32 is a blank.
TEST(LENTRM, FindsTheLastNonBlankAtEveryPosition) {
  for (std::size_t length = 0; length <= 300; ++length) {
    ASSERT_EQ(LENTRM(std::string(length, ' ')), 0) << "length " << length;
    for (std::size_t last = 0; last < length; ++last) {
      for (const char c : {'x', '\t', '\0'}) {
        std::string text(length, ' ');
        text[last] = c;
        ASSERT_EQ(LENTRM(text), static_cast<int>(last) + 1)
            << "length " << length << " code " << +c;
      }
    }
  }
}

TEST(PROMPT, WritesABlankAndAtMostEightyCharactersWithoutLineEnd) {
  const std::string long_text = std::string(79, 'a') + "bc";
  for (const std::string& text :
       {std::string("Give name of misc print file      :  "), long_text}) {
    UnitCapture console(kMessageUnit);
    PROMPT(kMessageUnit, text);
    EXPECT_EQ(console.Text() + ";", " " + text.substr(0, 80) + ";");
  }
}

// Rows {codes, n, text length, text, messages}. A count of 0 or less leaves the text blank,
// writes two messages and counts the error flag down.
TEST(INT2CH, TurnsCodesIntoTextUpToTheFirstZero) {
  const std::string block =
      "\n\n   Error in routine *INT2CH*              \n\n\n"
      "   Inpus string has illegal length            :";
  const std::tuple<std::vector<int>, int, std::size_t, std::string, std::string> cases[] = {
      {{72, 73, 0, 74}, 4, 8, "HI      ", ""},
      {{72, 256, 65 + 512, -1}, 4, 5, std::string("H\0A\xff ", 5), ""},  // the low 8 bits
      {{65, 66, 67, 68}, 2, 4, "AB  ", ""},
      {{65, 66, 67, 68}, 40, 2, "AB", ""},  // a count beyond the text or the codes stops there
      {{65, 66}, 40, 5, "AB   ", ""},
      {{65, 66}, 0, 3, "   ", block + "         0\n"},
      {{65, 66}, -7, 3, "   ", block + "        -7\n"},
  };
  for (const auto& [codes, n, text_length, expected, message] : cases) {
    std::string text(text_length, '#');
    int flag = 5;
    UnitCapture messages(kMessageUnit);
    INT2CH(text, codes, n, kMessageUnit, flag);
    EXPECT_EQ(text + ";", expected + ";") << "n " << n;
    EXPECT_EQ(messages.Text(), message) << "n " << n;
    EXPECT_EQ(flag, message.empty() ? 5 : 4) << "n " << n;
  }
}

// What CH2INT writes about a text longer than n, the lengths right-aligned in 10 columns.
std::string TooLong(const std::string& string_length, const std::string& array_length) {
  return "\n\n   Error in routine *CH2INT*              \n"
         "\n\n   Character string longer than integer  array \n"
         "   Length of string :                         : " +
         std::string(10 - string_length.size(), ' ') + string_length +
         "\n   Length of array  :                         : " +
         std::string(10 - array_length.size(), ' ') + array_length + "\n";
}

// Rows {texts, n, m, storage, messages}: columns of n codes up to each text's trimmed length;
// a too long text stops the conversion. Only whole columns inside the storage, and only the
// texts given, are converted. Elements start at -9 so that untouched ones show.
TEST(CH2INT, StoresCodesUpToTheTrimmedLengthWithinTheMatrix) {
  using Texts = std::vector<std::string_view>;
  const std::tuple<Texts, int, int, std::vector<int>, std::string> cases[] = {
      {{"AB C   ", "   ", "\xe9\t"}, 4, 3, {'A', 'B', ' ', 'C', 0, 0, 0, 0, 233, '\t', 0, 0}, ""},
      {{"AB", "ABCDE  ", "CD"}, 4, 3, {'A', 'B', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, TooLong("5", "4")},
      {{"AB", "CD", "EF"}, 4, 3, {'A', 'B', 0, 0, 'C', 'D', 0, 0, 0, 0}, ""},
      {{"AB", "CD"}, 4, 3, {'A', 'B', 0, 0, 'C', 'D', 0, 0, 0, 0, 0, 0}, ""},
      {{"ABC"}, 4, 0, {-9, -9, -9, -9}, ""},
      {{"   ", "A"}, 0, 2, {-9, -9, -9, -9}, TooLong("1", "0")},  // no rows hold no name
  };
  for (const auto& [texts, n, m, expected, message] : cases) {
    SCOPED_TRACE(std::string(texts[0]) + " n " + std::to_string(n) + " m " + std::to_string(m));
    std::vector<int> names(expected.size(), -9);
    int flag = 5;
    UnitCapture messages(kMessageUnit);
    CH2INT(texts, names, n, m, kMessageUnit, flag);
    EXPECT_EQ(names, expected);
    EXPECT_EQ(messages.Text(), message);
    EXPECT_EQ(flag, message.empty() ? 5 : 4);
  }
}

TEST(IFILL, FillsRowsTimesColumnsWithinTheArray) {
  const std::tuple<int, int, std::vector<int>> cases[] = {
      {2, 2, {7, 7, 7, 7, 0, 0}},
      {-2, 3, {0, 0, 0, 0, 0, 0}},
      {-1, -2, {7, 7, 0, 0, 0, 0}},         // only the product counts
      {65536, 65536, {7, 7, 7, 7, 7, 7}}};  // a product beyond int
  for (const auto& [rows, columns, expected] : cases) {
    std::vector<int> array(6, 0);
    IFILL(array, rows, columns, 7);
    EXPECT_EQ(array, expected) << rows << " x " << columns;
  }
}

}  // namespace
}  // namespace qartwo
