#include "support/text.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <vector>

#include "tests/testing/unit_capture.h"

namespace qartwo {
namespace {

using testing::UnitCapture;

constexpr int kNameLength = 40;
constexpr int kMessageUnit = 20;

int NaiveTrimmedLength(const std::string& text) {
  for (std::size_t i = text.size(); i > 0; --i) {
    if (text[i - 1] != ' ') return static_cast<int>(i);
  }
  return 0;
}

std::string Padded(std::string text, std::size_t length) {
  text.resize(length, ' ');
  return text;
}

TEST(LENTRM, FindsTheLastNonBlankCharacter) {
  struct Case {
    std::string text;
    int expected;
  };
  std::string middle_run = Padded("head", 256);
  middle_run[250] = 'x';
  const Case cases[] = {
      {"", 0},
      {std::string(256, ' '), 0},
      {Padded("A", 256), 1},
      {"name\t", 5},
      {std::string("ab\0", 3), 3},  // only code 32 is a blank
      {Padded("ABCDEFGHIJKLMNOPQRST", 256), 20},
      {middle_run, 251},
      {"x", 1},
      {" ", 0},
      {"  y", 3},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LENTRM(c.text), c.expected) << "text \"" << c.text << "\";";
  }
}

// The tail probes only shorten the scan: over texts of every length with the last non-blank
// character on either side of every probe position the result equals a plain backward scan.
TEST(LENTRM, ProbeNeverChangesTheResult) {
  std::mt19937 random(12345);
  const std::string alphabet = std::string("aZ\t\x01!", 5) + std::string(1, '\0');
  for (std::size_t length = 0; length <= 300; ++length) {
    for (int trial = 0; trial < 30; ++trial) {
      std::string text(length, ' ');
      // Sparse non-blank characters, most of them in the first part, sometimes near the end.
      const std::size_t limit = trial % 3 == 0 ? length : length / 2 + 1;
      for (std::size_t i = 0; i < length && i < limit; ++i) {
        if (random() % 4 == 0) text[i] = alphabet[random() % alphabet.size()];
      }
      if (length > 0 && trial % 5 == 0) text[random() % length] = 'q';
      ASSERT_EQ(LENTRM(text), NaiveTrimmedLength(text)) << "text \"" << text << "\";";
    }
    // The last non-blank character at every position.
    for (std::size_t last = 0; last < length; ++last) {
      std::string text(length, ' ');
      text[last] = 'x';
      ASSERT_EQ(LENTRM(text), static_cast<int>(last) + 1) << "length " << length;
    }
  }
}

TEST(SetText, CutsOrPadsWithBlanks) {
  std::array<char, 6> text;
  SetText(text, "abc");
  EXPECT_EQ(std::string(TextView(text)) + ";", "abc   ;");
  SetText(text, "abcdefgh");
  EXPECT_EQ(std::string(TextView(text)) + ";", "abcdef;");
  BlankText(text);
  EXPECT_EQ(std::string(TextView(text)) + ";", "      ;");
}

TEST(PROMPT, WritesABlankAndAtMostEightyCharactersWithoutLineEnd) {
  const std::string question = "Give name of misc print file      :  ";
  ASSERT_EQ(question.size(), 37u);
  std::string long_text;
  for (int i = 0; i < 100; ++i) long_text += static_cast<char>('0' + i % 10);
  struct Case {
    std::string text;
    std::string expected;
  };
  const Case cases[] = {
      {question, " " + question},
      {long_text, " " + long_text.substr(0, 80)},
      {"", " "},
  };
  for (const Case& c : cases) {
    UnitCapture console(kMessageUnit);
    PROMPT(kMessageUnit, c.text);
    EXPECT_EQ(console.Text() + ";", c.expected + ";") << "text \"" << c.text << "\"";
  }
}

std::vector<int> Codes(std::string_view name, std::size_t length) {
  std::vector<int> codes(length, 0);
  for (std::size_t i = 0; i < name.size() && i < length; ++i) {
    codes[i] = static_cast<unsigned char>(name[i]);
  }
  return codes;
}

TEST(INT2CH, TurnsCodesIntoTextUpToTheFirstZero) {
  struct Case {
    std::vector<int> codes;
    int n;
    std::size_t text_length;
    std::string expected;
  };
  const std::string name = "NORSOK D-curve SEA_CAT ";  // 23 characters, one inner blank
  const Case cases[] = {
      {Codes(name, kNameLength), kNameLength, 256, Padded(name, 256)},
      {{72, 73, 0, 74}, 4, 8, "HI      "},
      {{72, 256, 73}, 3, 4, std::string("H\0I ", 4)},  // 256 keeps its low 8 bits: code 0
      {{65 + 512, -1, 66},
       3,
       3,
       "A\xff"
       "B"},
      {{65, 66, 67, 68}, 2, 4, "AB  "},
      // A count beyond the text or the codes stops at whichever ends first.
      {{65, 66, 67, 68}, 40, 2, "AB"},
      {{65, 66}, 40, 5, "AB   "},
  };
  for (const Case& c : cases) {
    std::string text(c.text_length, '#');
    int flag = 0;
    UnitCapture messages(kMessageUnit);
    INT2CH(text, c.codes, c.n, kMessageUnit, flag);
    EXPECT_EQ(text + ";", c.expected + ";") << "n " << c.n;
    EXPECT_EQ(flag, 0);
    EXPECT_EQ(messages.Text(), "");
  }
}

TEST(INT2CH, NonPositiveCountWritesBothMessagesAndCountsDown) {
  const std::vector<int> codes = Codes("NAME", kNameLength);
  std::string text(12, '#');
  int flag = 0;
  UnitCapture messages(kMessageUnit);
  INT2CH(text, codes, 0, kMessageUnit, flag);
  EXPECT_EQ(text, std::string(12, ' '));
  EXPECT_EQ(flag, -1);
  EXPECT_EQ(messages.Text(),
            "\n\n   Error in routine *INT2CH*              \n"
            "\n\n   Inpus string has illegal length            :         0\n");
  INT2CH(text, codes, -7, kMessageUnit, flag);
  EXPECT_EQ(flag, -2);
  EXPECT_NE(messages.Text().find("illegal length            :        -7\n"), std::string::npos);
}

std::vector<int> Convert(const std::vector<std::string_view>& texts, std::size_t size, int n, int m,
                         int& flag, std::string& messages) {
  std::vector<int> names(size, -9);
  UnitCapture unit(kMessageUnit);
  CH2INT(texts, names, n, m, kMessageUnit, flag);
  messages = unit.Text();
  return names;
}

TEST(CH2INT, StoresCodesUpToTheTrimmedLength) {
  const std::string all_blank(40, ' ');
  const std::string trailing = Padded("AB C", 40);
  const std::string with_tab = Padded("x\t", 40);
  const std::vector<std::string_view> texts = {trailing, all_blank, with_tab};
  int flag = 0;
  std::string messages;
  const std::vector<int> names = Convert(texts, 3 * kNameLength, kNameLength, 3, flag, messages);
  std::vector<int> expected(3 * kNameLength, 0);
  expected[0] = 'A';
  expected[1] = 'B';
  expected[2] = 32;
  expected[3] = 'C';
  expected[2 * kNameLength] = 'x';
  expected[2 * kNameLength + 1] = '\t';
  EXPECT_EQ(names, expected);
  EXPECT_EQ(flag, 0);
  EXPECT_EQ(messages, "");
}

TEST(CH2INT, HighCharactersGiveCodesUpTo255) {
  const std::string text = "\xe9\xff";
  int flag = 0;
  std::string messages;
  const std::vector<int> names = Convert({text}, 4, 4, 1, flag, messages);
  EXPECT_EQ(names, (std::vector<int>{233, 255, 0, 0}));
}

TEST(CH2INT, NoColumnsChangesNothing) {
  int flag = 0;
  std::string messages;
  const std::vector<int> names = Convert({"ABC"}, 8, kNameLength, 0, flag, messages);
  EXPECT_EQ(names, std::vector<int>(8, -9));
  EXPECT_EQ(messages, "");
  EXPECT_EQ(flag, 0);
}

TEST(CH2INT, TooLongTextStopsWithMessagesAndLaterColumnsZero) {
  const std::string first = "FIRST";
  const std::string too_long = Padded(std::string(41, 'L'), 60);
  const std::string third = "THIRD";
  int flag = 0;
  std::string messages;
  const std::vector<int> names =
      Convert({first, too_long, third}, 3 * kNameLength, kNameLength, 3, flag, messages);
  std::vector<int> expected(3 * kNameLength, 0);
  for (int i = 0; i < 5; ++i) expected[static_cast<std::size_t>(i)] = first[i];
  EXPECT_EQ(names, expected);
  EXPECT_EQ(flag, -1);
  EXPECT_EQ(messages,
            "\n\n   Error in routine *CH2INT*              \n"
            "\n\n   Character string longer than integer  array \n"
            "   Length of string :                         :         41\n"
            "   Length of array  :                         :         40\n");
}

// A matrix larger than its storage: whole columns that fit are converted, nothing is
// written past the storage, and the texts given bound the columns read.
TEST(CH2INT, NeverWritesPastTheMatrix) {
  int flag = 0;
  std::string messages;
  // Three columns of 4 asked for, storage for 10 elements: two whole columns.
  std::vector<int> names = Convert({"AB", "CD", "EF"}, 10, 4, 3, flag, messages);
  EXPECT_EQ(names, (std::vector<int>{'A', 'B', 0, 0, 'C', 'D', 0, 0, 0, 0}));
  // Four columns asked for, two texts given.
  names = Convert({"AB", "CD"}, 16, 4, 4, flag, messages);
  EXPECT_EQ(names, (std::vector<int>{'A', 'B', 0, 0, 'C', 'D', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(flag, 0);
  EXPECT_EQ(messages, "");
  // Columns of no rows hold no name: a non-blank text fails and nothing is written.
  names = Convert({"   ", "A"}, 4, 0, 2, flag, messages);
  EXPECT_EQ(names, std::vector<int>(4, -9));
  EXPECT_EQ(flag, -1);
  EXPECT_NE(messages.find("Length of array  :                         :          0\n"),
            std::string::npos);
}

TEST(CH2INT, RoundTripThroughINT2CH) {
  struct Case {
    std::string name;
    std::string expected;
  };
  const Case cases[] = {
      {Padded("NORSOK C1 AIR", 40), "NORSOK C1 AIR"},
      {Padded("  two  inner  ", 40), "  two  inner"},
      {std::string(40, 'Z'), std::string(40, 'Z')},
      {Padded(std::string("cut\0here", 8), 40), "cut"},  // code 0 ends the name
      {std::string(40, ' '), ""},
  };
  for (const Case& c : cases) {
    std::array<int, kNameLength> codes;
    int flag = 0;
    const std::array<std::string_view, 1> texts = {c.name};
    CH2INT(texts, codes, kNameLength, 1, kMessageUnit, flag);
    std::array<char, 256> text;
    INT2CH(text, codes, kNameLength, kMessageUnit, flag);
    EXPECT_EQ(std::string(TextView(text)) + ";", Padded(c.expected, 256) + ";")
        << "name \"" << c.name << "\"";
    EXPECT_EQ(flag, 0);
  }
}

TEST(IFILL, FillsRowsTimesColumnsWithinTheArray) {
  struct Case {
    int rows;
    int columns;
    std::vector<int> expected;
  };
  const Case cases[] = {
      {2, 2, {7, 7, 7, 7, 0, 0}},   {3, 2, {7, 7, 7, 7, 7, 7}},         {0, 5, {0, 0, 0, 0, 0, 0}},
      {-2, 3, {0, 0, 0, 0, 0, 0}},  {-1, -2, {7, 7, 0, 0, 0, 0}},        // only the product counts
      {40, 40, {7, 7, 7, 7, 7, 7}}, {65536, 65536, {7, 7, 7, 7, 7, 7}},  // product beyond int
  };
  for (const Case& c : cases) {
    std::vector<int> array(6, 0);
    IFILL(array, c.rows, c.columns, 7);
    EXPECT_EQ(array, c.expected) << c.rows << " x " << c.columns;
  }
}

}  // namespace
}  // namespace qartwo
