#include "fatigue/words.h"

#include <gtest/gtest.h>

#include <span>
#include <string>
#include <string_view>

#include "fatigue/catalogue.h"

namespace qartwo {
namespace {

TEST(Wrdspl, SplitsIntoSlotsWithinTheRoomGiven) {
  struct Row {  // room: the slots the buffer holds (a guard follows)
    std::string_view text, slots;
    int nWords, width = 4, capacity = 3, room = 3;
  };
  const Row rows[] = {
      {.text = "  NORSOK  E     BP_SCH  ", .slots = "NORSE   BP_S", .nWords = 3},
      // Only code 32 separates words or comes before the first.
      {.text = "\ta\tb c", .slots = "\ta\tbc       ", .nWords = 2},
      {.text = "", .slots = "            ", .nWords = 0},  // the slots in use are blanked anyway
      // Words beyond the slots in use are counted once and dropped; the capacity bounds the
      // slots in use, and so does the room.
      {.text = "a b c d", .slots = "a b ##", .nWords = 3, .width = 2, .capacity = 2},
      {.text = "a b c d", .slots = "a b c ", .nWords = 4, .width = 2, .capacity = 50},
      {.text = "a b", .slots = "#########", .nWords = 1, .width = 3, .capacity = -1},
      {.text = "a b", .slots = "", .nWords = 1, .width = 0, .capacity = 5}};
  for (const Row& row : rows) {
    std::string buffer(row.room * row.width + 4, '#');
    int nWords = -7;
    const bool found = WRDSPL(row.text, std::span(buffer).first(row.room * row.width), row.width,
                              nWords, row.capacity);
    SCOPED_TRACE(::testing::Message() << row.text << "; width " << row.width << ", capacity "
                                      << row.capacity << ", room " << row.room);
    EXPECT_EQ(nWords, row.nWords);
    EXPECT_EQ(found, row.nWords > 0);
    EXPECT_EQ(buffer + ";", std::string(row.slots) + "####;");
  }
}

TEST(Lstidx, FindsAWordInTheFirstEntries) {
  // Only a to z are letters of two cases: a wrong capital of ` or { would match entry 1.
  const std::string_view marks[] = {"Z@[", "Z`{"};
  struct Row {
    std::string_view word;
    std::span<const std::string_view> list = kEnvironmentList;
    int nEntries = 3, caseFlag = 0, expected;
  };
  const Row rows[] = {{.word = "sea_cat", .expected = 2},
                      {.word = "sea_cat", .caseFlag = 1, .expected = 0},
                      {.word = " AIR", .expected = 0},
                      {.word = "AIR             ", .expected = 1},
                      {.word = "AIR", .nEntries = -1, .expected = 0},
                      {.word = "SEA_FREE", .nEntries = 2, .expected = 0},
                      {.word = "Z`{", .list = {marks, 1}, .nEntries = 2, .expected = 0},
                      {.word = "z`{", .list = marks, .nEntries = 2, .expected = 2}};
  for (const Row& row : rows) {
    EXPECT_EQ(LSTIDX(row.word, row.list, row.nEntries, row.caseFlag), row.expected)
        << row.word << "; entries " << row.nEntries << " case " << row.caseFlag;
  }
  // Only the first 256 characters count.
  const std::string base(kListCompareLength - 1, 'a'), entries[] = {base + "bx", base + "c"};
  const std::string_view list[] = {entries[0], entries[1]};
  EXPECT_EQ(LSTIDX(base + "by", list, 2, 1), 1);
  EXPECT_EQ(LSTIDX(base + "d", list, 2, 1), 0);
}

// The catalogue's look-up folds case by itself; UPCASE stays for its callers: a to z only,
// within the length given, never past the text.
TEST(Upcase, CapitalisesAToZWithinTheLength) {
  std::string text = "az`{@[Zb#";
  UPCASE(std::span(text).first(8), 7);
  EXPECT_EQ(text + ";", "AZ`{@[Zb#;");
  UPCASE(std::span(text).first(8), 99);
  EXPECT_EQ(text + ";", "AZ`{@[ZB#;");
}

}  // namespace
}  // namespace qartwo
