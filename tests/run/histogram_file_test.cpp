#include "run/histogram_file.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "tests/testing/test_data.h"
#include "tests/testing/unit_capture.h"

namespace qartwo {
namespace {

using testing::ReadTestData;
using testing::UnitCapture;
using testing::UnitInput;
using testing::WithCrLf;

constexpr int kUnit = 21;
constexpr int kMessages = 40;

// The program's storage for one histogram, zero at start.
struct Storage {
  std::array<char, kInputLineLength> line{};
  std::vector<double> counts = std::vector<double>(kMaxBlocks, 0.0);
};

HistogramFileResult Read(const std::string& content, Storage& storage) {
  UnitInput input(kUnit, content);
  return ReadHistogramFile(kUnit, storage.line, storage.counts);
}

TEST(ReadHistogramFile, ReadsTheWorkedExampleWithEitherLineEnd) {
  const std::string example = ReadTestData("example_histogram.txt");
  ASSERT_FALSE(example.empty());
  for (const std::string& content : {example, WithCrLf(example)}) {
    Storage storage;
    const HistogramFileResult result = Read(content, storage);
    ASSERT_EQ(result.status, InputFileStatus::kOk);
    EXPECT_EQ(result.number_of_blocks, 4);
    EXPECT_EQ(result.block_width, 10.0);
    EXPECT_EQ(result.spare_value, 0.0);
    EXPECT_EQ(result.block_lines, 4);
    EXPECT_EQ(std::vector<double>(storage.counts.begin(), storage.counts.begin() + 5),
              (std::vector<double>{2e5, 4e4, 650, 30, 0}));
  }
}

TEST(ReadHistogramFile, TakesBlocksInTheOrderTheyStand) {
  struct Case {
    std::string content;
    int number_of_blocks;
    std::vector<double> counts;
  };
  const Case cases[] = {
      // blank lines between block lines do not count as blocks
      {"2 5 0\n1 10\n   \n\n2 20\n", 2, {10, 20}},
      // a third value on a block line is ignored
      {"1 5 0\n1 7 99\n", 1, {7}},
      // the leading value never selects the block
      {"3 5 0\n99 1\n99 2\n-4 3\n", 3, {1, 2, 3}},
      // reals in every form the free-form reader takes
      {"2,2.5,1\n1, 1.5D3\n2 , 2E-1\n", 2, {1500, 0.2}},
      // no data line at all: nothing read, nothing to compare against
      {"", 0, {}},
      {"$ only\n# comments\n\n", 0, {}},
      // the block count is the caller's to check
      {"5 10 0\n1 1\n", 5, {1}},
  };
  for (const Case& c : cases) {
    Storage storage;
    const HistogramFileResult result = Read(c.content, storage);
    ASSERT_EQ(result.status, InputFileStatus::kOk) << c.content;
    EXPECT_EQ(result.number_of_blocks, c.number_of_blocks) << c.content;
    ASSERT_EQ(result.block_lines, static_cast<int>(c.counts.size())) << c.content;
    // The counts read, and the block after them untouched.
    std::vector<double> expected = c.counts;
    expected.push_back(0.0);
    EXPECT_EQ(std::vector<double>(storage.counts.begin(),
                                  storage.counts.begin() + static_cast<long>(expected.size())),
              expected)
        << c.content;
  }
}

TEST(ReadHistogramFile, StopsAtTheFirstBadDataLine) {
  struct Case {
    std::string content;
    long long line_number;
    int data_line;
    FreeFormStatus value_status;
    int target;
    std::string line_text;
  };
  const Case cases[] = {
      // a mark in column 2 does not make a comment
      {"1 5 0\n # block\n", 2, 2, FreeFormStatus::kNotANumber, 0, " # block"},
      {"4, 10.0\n", 1, 1, FreeFormStatus::kTooFewValues, 2, "4, 10.0"},
      {"4.0 10 0\n", 1, 1, FreeFormStatus::kNotANumber, 0, "4.0 10 0"},
      {"$ c\n\n2 10 0\n! c\n1\n2 3\n", 5, 2, FreeFormStatus::kTooFewValues, 1, "1"},
      {"2 10 0\n1 many\n", 2, 2, FreeFormStatus::kNotANumber, 1, "1 many"},
      // lines after the bad one are not looked at
      {"2 10 0\n1 1\nx 2\n3 y\n", 3, 3, FreeFormStatus::kNotANumber, 0, "x 2"},
      {"2 10 0\r\n1 1\r\n1 z\r\n", 3, 3, FreeFormStatus::kNotANumber, 1, "1 z"},
  };
  for (const Case& c : cases) {
    Storage storage;
    const HistogramFileResult result = Read(c.content, storage);
    ASSERT_EQ(result.status, InputFileStatus::kInputError) << c.content;
    EXPECT_EQ(result.position.line_number, c.line_number) << c.content;
    EXPECT_EQ(result.position.data_line, c.data_line) << c.content;
    EXPECT_EQ(result.value.status, c.value_status) << c.content;
    EXPECT_EQ(result.value.target, c.target) << c.content;
    EXPECT_EQ(result.line_text, c.line_text) << c.content;
  }
}

std::string BlockLines(int count) {
  std::string lines;
  for (int i = 1; i <= count; ++i) lines += std::to_string(i) + " " + std::to_string(i) + "\n";
  return lines;
}

TEST(ReadHistogramFile, HoldsTenThousandBlocksAndRefusesMore) {
  const std::string header = "$ many blocks\n10001 1 0\n";
  {
    Storage storage;
    const HistogramFileResult result = Read(header + BlockLines(10000), storage);
    ASSERT_EQ(result.status, InputFileStatus::kOk);
    EXPECT_EQ(result.block_lines, 10000);
    EXPECT_EQ(storage.counts.back(), 10000.0);
  }
  // The counts sit inside a larger buffer so that a write past them would show.
  std::vector<double> buffer(kMaxBlocks + 4, -1.0);
  const std::span<double> counts(buffer.data(), kMaxBlocks);
  std::array<char, kInputLineLength> line{};
  {
    // The 10001st block is refused before its values are read, even when they are bad.
    UnitInput input(kUnit, header + BlockLines(10000) + "10001 bad\n10002 1\n");
    const HistogramFileResult result = ReadHistogramFile(kUnit, line, counts);
    ASSERT_EQ(result.status, InputFileStatus::kRefused);
    EXPECT_EQ(result.block_lines, 10000);
    EXPECT_EQ(result.block_room, kMaxBlocks);
    EXPECT_EQ(result.position.line_number, 10003);
    EXPECT_EQ(result.line_text, "10001 bad");
    EXPECT_EQ(buffer[kMaxBlocks], -1.0);
  }
  {
    // An input error on an earlier line comes first.
    UnitInput input(kUnit, header + BlockLines(9999) + "10000\n10001 1\n");
    const HistogramFileResult result = ReadHistogramFile(kUnit, line, counts);
    EXPECT_EQ(result.status, InputFileStatus::kInputError);
    EXPECT_EQ(result.position.line_number, 10002);
  }
  {
    // A smaller buffer is refused at its own room.
    UnitInput input(kUnit, "3 1 0\n1 7\n2 8\n3 9\n");
    const HistogramFileResult result = ReadHistogramFile(kUnit, line, counts.first(2));
    ASSERT_EQ(result.status, InputFileStatus::kRefused);
    EXPECT_EQ(result.block_room, 2u);
    EXPECT_EQ(buffer[1], 8.0);
    EXPECT_EQ(buffer[2], 3.0);  // left from the read above: block 3 was never stored
  }
}

TEST(WriteHistogramFileProblem, NamesFileLineTextAndWhatWasExpected) {
  struct Case {
    std::string content;
    std::string diagnostic;
  };
  const Case cases[] = {
      {"$ c\n4, 10.0\n",
       " *** ERROR: input error in cycle histogram file \"hist.txt\" at line 2\n"
       "     line text: 4, 10.0\n"
       "     problem  : too few values: 2 found, 3 needed (spare header value is missing)\n"
       "     expected : header line: number of blocks (integer), block width (real), spare "
       "header value (real)\n"},
      {"4 10 0\n1 2\n # 3\n",
       " *** ERROR: input error in cycle histogram file \"hist.txt\" at line 3\n"
       "     line text:  # 3\n"
       "     problem  : value 1 (leading value) \"#\" is not a real number\n"
       "     expected : block line: leading value (real), number of cycles (real)\n"},
      {"2 10 0\n1 1\n2 2\n3 3   \n",
       " *** ERROR: cycle histogram file \"hist.txt\" refused at line 4\n"
       "     line text: 3 3\n"
       "     problem  : more than 2 block lines\n"
       "     expected : at most 2 blocks, the room of the block counts\n"},
      {"1 10 0\n1 1\n", ""},
  };
  for (const Case& c : cases) {
    Storage storage;
    UnitInput input(kUnit, c.content);
    const HistogramFileResult result =
        ReadHistogramFile(kUnit, storage.line, std::span<double>(storage.counts).first(2));
    UnitCapture messages(kMessages);
    WriteHistogramFileProblem(kMessages, "hist.txt   ", result);
    EXPECT_EQ(messages.Text() + ";", c.diagnostic + ";") << c.content;
  }
}

TEST(WriteHistogramFileProblem, NamesTheUnitFailure) {
  Storage storage;
  const HistogramFileResult result = ReadHistogramFile(77, storage.line, storage.counts);
  EXPECT_EQ(result.status, InputFileStatus::kUnitError);
  UnitCapture messages(kMessages);
  WriteHistogramFileProblem(kMessages, "h.txt", result);
  EXPECT_EQ(messages.Text(), std::string(" *** ERROR: cannot read cycle histogram file \"h.txt\" "
                                         "after line 0: ") +
                                 std::string(IoStatusText(IoStatus::kNotConnected)) + "\n");
}

}  // namespace
}  // namespace qartwo
