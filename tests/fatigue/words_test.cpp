#include "fatigue/words.h"

#include <gtest/gtest.h>

#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>

#include "fatigue/catalogue.h"

namespace qartwo {
namespace {

TEST(Ifnblk, OnlyCode32IsABlank) {
  const std::pair<std::string_view, int> rows[] = {{"", 0}, {"   ", 0}, {"  x ", 3}, {"\tx", 1}};
  for (const auto& [text, expected] : rows) EXPECT_EQ(IFNBLK(text), expected) << '"' << text << '"';
}

TEST(Upcase, CapitalsOnlyAToZWithinTheLength) {
  const std::tuple<std::string, int, std::string> rows[] = {
      {"az{`@Z", 6, "AZ{`@Z"}, {"abcd", 2, "ABcd"}, {"ab", 99, "AB"}, {"ab", -4, "ab"}};
  for (const auto& [input, length, expected] : rows) {
    std::string text = input;
    UPCASE(text, length);
    EXPECT_EQ(text + ";", expected + ";") << '"' << input << "\" length " << length;
  }
}

TEST(Wrdspl, SplitsIntoSlotsWithinTheRoomGiven) {
  // Text, slot width, capacity, slots the buffer holds (a guard follows), nWords, the slots.
  const std::tuple<std::string_view, int, int, int, int, std::string_view> rows[] = {
      {"  NORSOK  E     BP_SCH  ", 7, 4, 4, 3, "NORSOK E      BP_SCH        "},
      {"a\tb c", 4, 2, 2, 2, "a\tb c   "},  // only code 32 separates
      {"", 3, 2, 2, 0, "      "},           // the slots in use are blanked anyway
      {"NORSOK SEA_FREE", 4, 2, 2, 2, "NORSSEA_"},
      {"a b c d", 2, 2, 2, 3, "a b "},   // one more than the slots: the rest dropped
      {"a b c d", 2, 50, 2, 3, "a b "},  // capacity bounded by the room
      {"a b", 3, 0, 1, 1, "###"},        // no slot in use, none touched
      {"a b", 0, 5, 0, 1, ""}};
  for (const auto& [text, width, capacity, room, expected, slots] : rows) {
    std::string buffer(room * width + 4, '#');
    int nWords = -7;
    const bool found = WRDSPL(text, std::span(buffer).first(room * width), width, nWords, capacity);
    SCOPED_TRACE(std::string(text));
    EXPECT_EQ(nWords, expected);
    EXPECT_EQ(found, expected > 0);
    EXPECT_EQ(buffer + ";", std::string(slots) + "####;");
  }
}

TEST(Lstidx, FindsAWordInTheFirstEntries) {
  const std::span<const std::string_view> env = kEnvironmentList;
  const std::tuple<std::string_view, std::span<const std::string_view>, int, int, int> rows[] = {
      {"sea_cat", env, 3, 0, 2},   {"sea_cat", env, 3, 1, 0},     {"SEA_CAT", env, 3, 1, 2},
      {"AIR   ", env, 3, 0, 1},    {" AIR", env, 3, 0, 0},        {"SEA_FREE", env, 2, 0, 0},
      {"SEA_FREE", env, 99, 0, 3}, {"", kStandardList, 10, 0, 4}, {"AIR", env, 0, 0, 0},
      {"AIR", env, -1, 0, 0}};
  for (const auto& [word, list, nEntries, caseFlag, expected] : rows) {
    EXPECT_EQ(LSTIDX(word, list, nEntries, caseFlag), expected)
        << '"' << word << "\" entries " << nEntries << " case " << caseFlag;
  }
  // Only the first 256 characters count.
  const std::string base(kListCompareLength - 1, 'a'), entries[] = {base + "bx", base + "c"};
  const std::string_view list[] = {entries[0], entries[1]};
  EXPECT_EQ(LSTIDX(base + "by", list, 2, 1), 1);
  EXPECT_EQ(LSTIDX(base + "d", list, 2, 1), 0);
}

}  // namespace
}  // namespace qartwo
