#include "fatigue/words.h"

#include <gtest/gtest.h>

#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "fatigue/catalogue.h"

namespace qartwo {
namespace {

TEST(Ifnblk, OnlyCode32IsABlank) {
  const std::pair<std::string_view, int> rows[] = {{"", 0}, {"   ", 0}, {"  x ", 3}, {"\tx", 1}};
  for (const auto& [text, expected] : rows) EXPECT_EQ(IFNBLK(text), expected) << '"' << text << '"';
}

TEST(Upcase, CapitalsOnlyAToZWithinTheLength) {
  struct Row {
    std::string text;
    int length;
    std::string expected;
  };
  const Row rows[] = {
      {"az{`@Z", 6, "AZ{`@Z"}, {"abcd", 2, "ABcd"}, {"ab", 99, "AB"}, {"ab", -4, "ab"}};
  for (const Row& row : rows) {
    std::string text = row.text;
    UPCASE(text, row.length);
    EXPECT_EQ(text + ";", row.expected + ";") << '"' << row.text << "\" length " << row.length;
  }
}

TEST(Wrdspl, SplitsIntoSlotsWithinTheRoomGiven) {
  struct Row {
    std::string_view text;
    int width, capacity, room;  // room: slots the buffer holds; a guard follows
    int nWords;
    std::string slots;  // the whole room afterwards
  };
  const Row rows[] = {
      {"  NORSOK  E     BP_SCH  ", 7, 4, 4, 3, "NORSOK E      BP_SCH        "},
      {"a\tb c", 4, 2, 2, 2, "a\tb c   "},  // only code 32 separates
      {"", 3, 2, 2, 0, "      "},           // the slots in use are blanked anyway
      {"NORSOK SEA_FREE", 4, 2, 2, 2, "NORSSEA_"},
      {"a b c d", 2, 2, 2, 3, "a b "},   // one more than the slots: the rest dropped
      {"a b c d", 2, 50, 2, 3, "a b "},  // capacity bounded by the room
      {"a b", 3, 0, 1, 1, "###"},        // no slot in use, none touched
      {"a b", 0, 5, 0, 1, ""},
  };
  for (const Row& row : rows) {
    std::string buffer(row.room * row.width + 4, '#');
    int nWords = -7;
    const bool found = WRDSPL(row.text, std::span<char>(buffer).first(row.room * row.width),
                              row.width, nWords, row.capacity);
    EXPECT_EQ(nWords, row.nWords) << '"' << row.text << '"';
    EXPECT_EQ(found, row.nWords > 0) << '"' << row.text << '"';
    EXPECT_EQ(buffer + ";", row.slots + "####;") << '"' << row.text << '"';
  }
}

TEST(Lstidx, FindsAWordInTheFirstEntries) {
  struct Row {
    std::string_view word;
    std::span<const std::string_view> list;
    int nEntries, caseFlag, expected;
  };
  const Row rows[] = {
      {"sea_cat", kEnvironmentList, 3, 0, 2},   {"sea_cat", kEnvironmentList, 3, 1, 0},
      {"SEA_CAT", kEnvironmentList, 3, 1, 2},   {"AIR   ", kEnvironmentList, 3, 0, 1},
      {" AIR", kEnvironmentList, 3, 0, 0},      {"SEA_FREE", kEnvironmentList, 2, 0, 0},
      {"SEA_FREE", kEnvironmentList, 99, 0, 3}, {"", kStandardList, 10, 0, 4},
      {"AIR", kEnvironmentList, 0, 0, 0},       {"AIR", kEnvironmentList, -1, 0, 0},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(LSTIDX(row.word, row.list, row.nEntries, row.caseFlag), row.expected)
        << '"' << row.word << "\" entries " << row.nEntries << " case " << row.caseFlag;
  }
  // Only the first 256 characters count.
  const std::string base(kListCompareLength - 1, 'a');
  const std::string entries[] = {base + "bx", base + "c"};
  const std::string_view list[] = {entries[0], entries[1]};
  EXPECT_EQ(LSTIDX(base + "by", list, 2, 1), 1);
  EXPECT_EQ(LSTIDX(base + "d", list, 2, 1), 0);
}

}  // namespace
}  // namespace qartwo
