#include "fatigue/words.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "fatigue/catalogue.h"

namespace qartwo {
namespace {

TEST(Ifnblk, FindsFirstNonBlank) {
  struct Row {
    std::string_view text;
    int expected;
  };
  const Row rows[] = {
      {"", 0}, {"    ", 0}, {"abc", 1}, {"  x ", 3}, {"\tx", 1}, {std::string_view("\0a", 2), 1},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(IFNBLK(row.text), row.expected) << "text \"" << row.text << "\"";
  }
}

TEST(Upcase, CapitalsOnlyLettersWithinLength) {
  struct Row {
    std::string text;
    int length;
    std::string expected;
  };
  const std::vector<Row> rows = {
      {"az{`@AZ mixed", 13, "AZ{`@AZ MIXED"},
      {"abcdef", 3, "ABCdef"},
      {"abc", 99, "ABC"},  // a length beyond the text stops at its end
      {"abc", 0, "abc"},
      {"abc", -4, "abc"},
      {"\xe9t\xe9", 3, "\xe9T\xe9"},  // bytes outside a..z stay
  };
  for (Row row : rows) {
    std::string text = row.text;
    UPCASE(text, row.length);
    EXPECT_EQ(text + ";", row.expected + ";")
        << "text \"" << row.text << "\" length " << row.length;
  }
}

// Runs WRDSPL on `text` with `capacity` slots of `width` inside a guarded buffer; returns the
// stored words trimmed of their fill, and checks that nothing beyond `room` slots changed.
struct SplitResult {
  bool found;
  int nWords;
  std::vector<std::string> slots;  // every slot of the room, untrimmed
};

SplitResult Split(std::string_view text, int width, int capacity, int room) {
  constexpr std::size_t kGuard = 16;
  std::string buffer(static_cast<std::size_t>(room * width) + kGuard, '#');
  std::span<char> slots(buffer.data(), static_cast<std::size_t>(room * width));
  SplitResult result;
  result.nWords = -7;
  result.found = WRDSPL(text, slots, width, result.nWords, capacity);
  EXPECT_EQ(buffer.substr(slots.size()), std::string(kGuard, '#'))
      << "wrote past the slots for \"" << text << "\"";
  for (int k = 0; k < room; ++k) result.slots.push_back(buffer.substr(k * width, width));
  return result;
}

TEST(Wrdspl, SplitsOnBlanksOnly) {
  struct Row {
    std::string_view text;
    std::vector<std::string> words;
  };
  const std::vector<Row> rows = {
      {"NORSOK  E     BP_SCH", {"NORSOK", "E", "BP_SCH"}},
      {"   NORSOK E BP_SCH      ", {"NORSOK", "E", "BP_SCH"}},
      {"DNV     D   SEA_FREE                    ", {"DNV", "D", "SEA_FREE"}},
      {"x", {"x"}},
      {"a\tb c", {"a\tb", "c"}},  // a tab belongs to its word
      {"", {}},
      {"        ", {}},
  };
  constexpr int kWidth = 10;
  constexpr int kSlots = 4;
  for (const Row& row : rows) {
    const SplitResult result = Split(row.text, kWidth, kSlots, kSlots);
    const int expected = static_cast<int>(row.words.size());
    EXPECT_EQ(result.nWords, expected) << "text \"" << row.text << "\"";
    EXPECT_EQ(result.found, expected > 0) << "text \"" << row.text << "\"";
    for (int k = 0; k < kSlots; ++k) {
      std::string want = k < expected ? row.words[k] : "";
      want.resize(kWidth, ' ');
      EXPECT_EQ(result.slots[k] + ";", want + ";")
          << "slot " << k + 1 << " of \"" << row.text << "\"";
    }
  }
}

TEST(Wrdspl, CutsWordsToSlotWidth) {
  const SplitResult result = Split("NORSOK SEA_FREE", 4, 2, 2);
  EXPECT_EQ(result.nWords, 2);
  EXPECT_EQ(result.slots[0], "NORS");
  EXPECT_EQ(result.slots[1], "SEA_");
}

TEST(Wrdspl, ReportsOneMoreThanCapacityAndKeepsTheFirstWords) {
  const SplitResult result = Split("a b c d e", 3, 2, 2);
  EXPECT_TRUE(result.found);
  EXPECT_EQ(result.nWords, 3);
  EXPECT_EQ(result.slots[0], "a  ");
  EXPECT_EQ(result.slots[1], "b  ");
}

TEST(Wrdspl, CapacityBeyondTheSlotsGivenIsBoundedByThem) {
  // The caller claims 50 slots but hands over room for 2: words stop at the room.
  const SplitResult result = Split("a b c d e", 3, 50, 2);
  EXPECT_EQ(result.nWords, 3);
  EXPECT_EQ(result.slots[1], "b  ");
}

TEST(Wrdspl, NoSlotsStillCountsTheFirstWord) {
  EXPECT_EQ(Split("a b", 0, 5, 0).nWords, 1);
  EXPECT_EQ(Split("a b", 5, 0, 1).nWords, 1);
  EXPECT_EQ(Split("a b", 5, -3, 1).nWords, 1);
  EXPECT_EQ(Split("a b", 5, 0, 1).slots[0], "#####");  // no slot in use, none touched
}

TEST(Lstidx, FindsWordsInTheCatalogueLists) {
  struct Row {
    std::string_view word;
    std::span<const std::string_view> list;
    int nEntries;
    int caseFlag;
    int expected;
  };
  const std::vector<Row> rows = {
      {"sea_cat", kEnvironmentList, 3, 0, 2},
      {"sea_cat", kEnvironmentList, 3, 1, 0},
      {"SEA_CAT", kEnvironmentList, 3, 1, 2},
      {"AIR      ", kEnvironmentList, 3, 0, 1},  // trailing blanks never matter
      {" AIR", kEnvironmentList, 3, 0, 0},       // leading blanks do
      {"SEA_FREE", kEnvironmentList, 2, 0, 0},   // only the first nEntries are searched
      {"SEA_FREE", kEnvironmentList, 99, 0, 3},  // nEntries beyond the list stops at its end
      {"BP_SCH", kEnvironmentList, 3, 0, 0},
      {"T", kNorsokClassList, 15, 0, 15},
      {"c1", kNorsokClassList, 15, 0, 4},
      {"D", kDnvClassList, 1, 0, 1},
      {"dnv", kStandardList, 10, 0, 2},
      {"", kStandardList, 10, 0, 4},  // a blank word matches the first blank entry
      {"   ", kStandardList, 10, 0, 4},
      {"AIR", kEnvironmentList, 0, 0, 0},
      {"AIR", kEnvironmentList, -1, 0, 0},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(LSTIDX(row.word, row.list, row.nEntries, row.caseFlag), row.expected)
        << "word \"" << row.word << "\" entries " << row.nEntries << " case " << row.caseFlag;
  }
}

TEST(Lstidx, ComparesTheFirst256Characters) {
  const std::string base(kListCompareLength, 'a');
  const std::vector<std::string> entries = {base + "x", base + "y"};
  const std::vector<std::string_view> list(entries.begin(), entries.end());
  EXPECT_EQ(LSTIDX(base + "z", list, 2, 1), 1);
  EXPECT_EQ(LSTIDX(base, list, 2, 1), 1);

  const std::string shorter = base.substr(1);
  const std::vector<std::string> differing = {shorter + "x", shorter + "y"};
  const std::vector<std::string_view> differing_list(differing.begin(), differing.end());
  EXPECT_EQ(LSTIDX(shorter + "y", differing_list, 2, 1), 2);
  EXPECT_EQ(LSTIDX(shorter + "z", differing_list, 2, 1), 0);
}

}  // namespace
}  // namespace qartwo
