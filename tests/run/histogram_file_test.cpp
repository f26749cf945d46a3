#include "run/histogram_file.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "tests/testing/test_data.h"
#include "tests/testing/unit_capture.h"

namespace qartwo {
namespace {

using testing::UnitCapture;
using testing::UnitInput;

constexpr int kUnit = 21;
constexpr int kMessages = 40;
constexpr std::size_t kRoom = 4;  // the block counts, inside a buffer one larger

TEST(ReadHistogramFile, ReadsBlocksInOrderOrSaysWhereAndWhyItStopped) {
  struct Row {
    std::string content;
    std::string diagnostic;      // all of it, or a part when it does not start with " ***"
    std::vector<double> read{};  // number of blocks, width, spare value, the counts read
  };
  const std::string example = testing::ReadTestFile("data/example_histogram.txt");
  const std::vector<double> example_read = {4, 10, 0, 2e5, 4e4, 650, 30};
  const Row rows[] = {
      {example, "", example_read},
      // blank and comment lines between block lines; the leading value never selects the
      // block; a third value is ignored, noted for its first line only
      {"3 5 0.5\n99 10\n   \n\n$ c\n-4 20 99\n1 30 1\n",
       " *** NOTE: cycle histogram file \"hist.txt\" at line 6: values beyond the first 2 are "
       "ignored\n     line text: -4 20 99\n     note     : a comma separates values: write a "
       "decimal comma as a point, and no thousands separator (only the first such line of the "
       "file is shown)\n",
       {3, 5, 0.5, 10, 20, 30}},
      // values left out: the spare value and a label may be, a needed one may not
      {"0 /\n", "", {0, 0, 0}},
      {"2 5,,\n,7\n2,,4E4\n",
       "at line 3\n     line text: 2,,4E4\n     problem  : value 2 "
       "(number of cycles) is left out by a null value (\",,\" or \"n*\") or a slash\n"},
      {"2 /\n", "problem  : value 2 (block width) is left out"},
      {"1 5 0\n2 1*\n", "problem  : value 2 (number of cycles) is left out"},
      {"-3, 10, 0\n",
       "at line 1\n     line text: -3, 10, 0\n     problem  : value 1 (number "
       "of blocks) is below 0\n"},
      {"$ no data line\n\n",
       " *** ERROR: input error in cycle histogram file \"hist.txt\" at its end\n"
       "     problem  : the file holds no data line (2 lines read); the header line is missing\n"
       "     expected : header line: number of blocks (integer), block width (real), spare "
       "header value (real)\n"},
      // no blocks need no width; -0.0 cycles are not below 0; a byte-order mark at the start is
      // no part of the first line, which is then a comment
      {"\xEF\xBB\xBF# c\n0 -1 0\n", "", {0, -1, 0}},
      {"1 5 0\n1 -0.0\n", "", {1, 5, 0, -0.0}},
      {"1 0 0\n", "problem  : value 2 (block width) is not above 0\n"},
      {"1 5 0\n1 -1E-300\n",
       "at line 2\n     line text: 1 -1E-300\n     problem  : value 2 "
       "(number of cycles) is below 0\n"},
      // control characters shown visibly in the line and the value
      {"1 5 0\n1\t\x01\\ 2\n",
       "line text: 1\\t\\x01\\\\ 2\n     problem  : value 2 (number of "
       "cycles) \"\\x01\\\\\" is not a real number\n"},
      // a value split by the cut at column 256 is refused; a surplus one is not looked at
      {"1 5 0\n1" + std::string(254, ' ') + "25\n",
       "at line 2\n     line text: 1" + std::string(254, ' ') +
           "2\n     problem  : the line is longer than 256 characters: a "
           "value runs on past column 256\n"},
      {"1 5 0\n1 7" + std::string(251, ' ') + "xyz\n", "", {1, 5, 0, 7}},
      {"4, 10.0\n",
       " *** ERROR: input error in cycle histogram file \"hist.txt\" at line 1\n"
       "     line text: 4, 10.0\n"
       "     problem  : too few values: 2 found, 3 needed (spare header value is missing)\n"
       "     expected : header line: number of blocks (integer), block width (real), spare "
       "header value (real)\n"},
      {"4.0 10 0\n", "problem  : value 1 (number of blocks) \"4.0\" is not an integer\n"},
      {"1 5 0\n\t\n", "at line 2\n"},  // only blanks (code 32) make a blank line
      // a mark in column 2 makes no comment; the lines after the bad one are not read
      {"4 10 0\r\n1 2\r\n # 3\r\n3 y\r\n",
       "at line 3\n     line text:  # 3\n     problem  : value 1 (leading value) \"#\" is not a "
       "real number\n     expected : block line: leading value (real), number of cycles (real)\n"},
      {"$ c\n\n4 10 0\n! c\n1\n",
       "at line 5\n     line text: 1\n     problem  : too few values: "
       "1 found, 2 needed (number of cycles is missing)\n"},
      // a block beyond the room is refused before its values are looked at
      {"5 1 0\n1 1\n2 2\n3 3\n4 4\n5 bad   \n",
       " *** ERROR: cycle histogram file \"hist.txt\" refused at line 6\n"
       "     line text: 5 bad\n"
       "     problem  : more than 4 block lines\n"
       "     expected : at most 4 blocks, the room of the block counts\n"},
  };
  for (const Row& row : rows) {
    std::array<char, kInputLineLength> line{};
    std::vector<double> buffer(kRoom + 1, -1.0);
    UnitInput input(kUnit, row.content);
    const HistogramFileResult result =
        ReadHistogramFile(kUnit, line, std::span<double>(buffer).first(kRoom));
    UnitCapture messages(kMessages);
    WriteHistogramFileNote(kMessages, "hist.txt   ", result);
    WriteHistogramFileProblem(kMessages, "hist.txt   ", result);
    EXPECT_TRUE(testing::IsDiagnostic(messages.Text(), row.diagnostic))
        << row.content << messages.Text() << ";";
    EXPECT_EQ(buffer[kRoom], -1.0) << row.content;
    if (!row.read.empty()) {
      std::vector<double> read = {static_cast<double>(result.number_of_blocks), result.block_width,
                                  result.spare_value};
      read.insert(read.end(), buffer.begin(), buffer.begin() + result.block_lines);
      EXPECT_EQ(read, row.read) << row.content;
    }
  }
}

TEST(WriteHistogramFileProblem, NamesTheUnitFailure) {
  std::array<char, kInputLineLength> line{};
  std::array<double, kRoom> counts{};
  const HistogramFileResult result = ReadHistogramFile(77, line, counts);  // 77: not connected
  UnitCapture messages(kMessages);
  WriteHistogramFileProblem(kMessages, "h.txt", result);
  EXPECT_EQ(messages.Text(),
            " *** ERROR: cannot read cycle histogram file \"h.txt\" after line 0: " +
                std::string(IoStatusText(IoStatus::kNotConnected)) + "\n");
}

}  // namespace
}  // namespace qartwo
