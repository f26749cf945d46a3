#include "support/text.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
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
  std::string long_text;
  for (int i = 0; i < 100; ++i) long_text += static_cast<char>('0' + i % 10);
  for (const std::string& text :
       {std::string("Give name of misc print file      :  "), long_text}) {
    UnitCapture console(kMessageUnit);
    PROMPT(kMessageUnit, text);
    EXPECT_EQ(console.Text() + ";", " " + text.substr(0, 80) + ";");
  }
}

// A count of 0 or less: text blank, two messages, error flag counted down.
TEST(INT2CH, TurnsCodesIntoTextUpToTheFirstZero) {
  struct Case {
    std::vector<int> codes;
    int n;
    std::size_t text_length;
    std::string expected, messages;
  };
  const std::string block = "\n\n   Error in routine *INT2CH*              \n\n\n";
  const std::string illegal = "   Inpus string has illegal length            :";
  const Case cases[] = {
      {{72, 73, 0, 74}, 4, 8, "HI      ", ""},
      {{72, 256, 65 + 512, -1}, 4, 5, std::string("H\0A\xff ", 5), ""},  // the low 8 bits
      {{65, 66, 67, 68}, 2, 4, "AB  ", ""},
      {{65, 66, 67, 68}, 40, 2, "AB", ""},  // a count beyond the text or the codes stops there
      {{65, 66}, 40, 5, "AB   ", ""},
      {{65, 66}, 0, 3, "   ", block + illegal + "         0\n"},
      {{65, 66}, -7, 3, "   ", block + illegal + "        -7\n"},
  };
  for (const Case& c : cases) {
    std::string text(c.text_length, '#');
    int flag = 5;
    UnitCapture messages(kMessageUnit);
    INT2CH(text, c.codes, c.n, kMessageUnit, flag);
    EXPECT_EQ(text + ";", c.expected + ";") << "n " << c.n;
    EXPECT_EQ(messages.Text(), c.messages) << "n " << c.n;
    EXPECT_EQ(flag, c.messages.empty() ? 5 : 4) << "n " << c.n;
  }
}

// What CH2INT writes on a text longer than n.
std::string TooLong(const std::string& string_length, const std::string& array_length) {
  return "\n\n   Error in routine *CH2INT*              \n"
         "\n\n   Character string longer than integer  array \n"
         "   Length of string :                         : " +
         string_length + "\n   Length of array  :                         : " + array_length + "\n";
}

// Columns of n codes up to each text's trimmed length; a too long text stops the conversion.
// Only whole columns inside the storage, and only the texts given, are converted. Elements
// start at -9 so that untouched ones show.
TEST(CH2INT, StoresCodesUpToTheTrimmedLengthWithinTheMatrix) {
  struct Case {
    std::vector<std::string_view> texts;
    std::size_t size;
    int n, m;
    std::vector<int> expected;
    std::string messages;
  };
  const Case cases[] = {
      {{"AB C   ", "   ", "\xe9\t"},
       12,
       4,
       3,
       {'A', 'B', ' ', 'C', 0, 0, 0, 0, 233, '\t', 0, 0},
       ""},
      {{"AB", "ABCDE  ", "CD"},
       12,
       4,
       3,
       {'A', 'B', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
       TooLong("         5", "         4")},
      {{"AB", "CD", "EF"}, 10, 4, 3, {'A', 'B', 0, 0, 'C', 'D', 0, 0, 0, 0}, ""},
      {{"AB", "CD"}, 12, 4, 3, {'A', 'B', 0, 0, 'C', 'D', 0, 0, 0, 0, 0, 0}, ""},
      {{"ABC"}, 4, 4, 0, {-9, -9, -9, -9}, ""},
      {{"   ", "A"}, 4, 0, 2, {-9, -9, -9, -9}, TooLong("         1", "         0")},
  };
  for (const Case& c : cases) {
    std::vector<int> names(c.size, -9);
    int flag = 5;
    UnitCapture messages(kMessageUnit);
    CH2INT(c.texts, names, c.n, c.m, kMessageUnit, flag);
    EXPECT_EQ(names, c.expected) << c.texts[0] << " n " << c.n << " m " << c.m;
    EXPECT_EQ(messages.Text(), c.messages) << c.texts[0] << " n " << c.n << " m " << c.m;
    EXPECT_EQ(flag, c.messages.empty() ? 5 : 4) << c.texts[0] << " n " << c.n << " m " << c.m;
  }
}

TEST(IFILL, FillsRowsTimesColumnsWithinTheArray) {
  struct Case {
    int rows, columns;
    std::vector<int> expected;
  };
  const Case cases[] = {{2, 2, {7, 7, 7, 7, 0, 0}},
                        {-2, 3, {0, 0, 0, 0, 0, 0}},
                        {-1, -2, {7, 7, 0, 0, 0, 0}},         // only the product counts
                        {65536, 65536, {7, 7, 7, 7, 7, 7}}};  // product beyond int
  for (const Case& c : cases) {
    std::vector<int> array(6, 0);
    IFILL(array, c.rows, c.columns, 7);
    EXPECT_EQ(array, c.expected) << c.rows << " x " << c.columns;
  }
}

}  // namespace
}  // namespace qartwo
