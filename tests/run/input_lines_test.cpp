#include "run/input_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/testing/unit_capture.h"

namespace qartwo {
namespace {

constexpr int kUnit = 21;

TEST(ReadDataLine, PassesOverCommentsAndBlanksCountingEveryLine) {
  // Only a mark in column 1 makes a comment; only code 32 makes a blank.
  testing::UnitInput input(
      kUnit, "$ c\n#\n!\n' c\n\n   \n\t\n # x\r\n%\n4 $ 10\n" + std::string(300, 'a') + "\nb");
  struct Row {
    std::string text;
    long long line_number;
  };
  const Row rows[] = {
      {"\t", 7}, {" # x", 8}, {"%", 9}, {"4 $ 10", 10}, {std::string(kInputLineLength, 'a'), 11},
      {"b", 12}};
  // A larger buffer: only its first kInputLineLength characters take the line.
  std::vector<char> line(kInputLineLength + 4, 'x');
  InputLinePosition position;
  for (const Row& row : rows) {
    ASSERT_EQ(ReadDataLine(kUnit, line, position), IoStatus::kOk) << row.text;
    EXPECT_EQ(TrimTrailingBlanks(InputLineText(line)), row.text);
    EXPECT_EQ(std::string(line.end() - 4, line.end()), "    ") << row.text;
    EXPECT_EQ(position.line_number, row.line_number) << row.text;
    EXPECT_EQ(position.data_line, &row - rows + 1) << row.text;
  }
  EXPECT_EQ(ReadDataLine(kUnit, line, position), IoStatus::kEndOfFile);
  EXPECT_EQ(position.line_number, 12);
  EXPECT_EQ(TrimTrailingBlanks(InputLineText(line)), "");
}

}  // namespace
}  // namespace qartwo
