#include "run/input_lines.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "tests/testing/unit_capture.h"

namespace qartwo {
namespace {

using testing::UnitInput;

constexpr int kUnit = 21;

TEST(ClassifyInputLine, OnlyColumnOneMarksAComment) {
  struct Case {
    std::string line;
    InputLineKind kind;
  };
  const Case cases[] = {
      {"$ hot spot", InputLineKind::kComment},
      {"# x", InputLineKind::kComment},
      {"!", InputLineKind::kComment},
      {"' heading", InputLineKind::kComment},
      {" # not a comment", InputLineKind::kData},
      {"4 $ 10", InputLineKind::kData},
      {"", InputLineKind::kBlank},
      {"      ", InputLineKind::kBlank},
      {"\t", InputLineKind::kData},
      {"%", InputLineKind::kData},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ClassifyInputLine(c.line), c.kind) << "line \"" << c.line << "\"";
  }
}

TEST(ReadDataLine, PassesOverCommentsAndBlanksCountingEveryLine) {
  UnitInput input(kUnit, "$ c\n\n  \none\r\n' c\ntwo\n # three\n! tail\n");
  std::array<char, kInputLineLength> line{};
  InputLinePosition position;
  struct Expected {
    std::string text;
    long long line_number;
    int data_line;
  };
  const Expected expected[] = {{"one", 4, 1}, {"two", 6, 2}, {" # three", 7, 3}};
  for (const Expected& e : expected) {
    ASSERT_EQ(ReadDataLine(kUnit, line, position), IoStatus::kOk) << e.text;
    EXPECT_EQ(TrimTrailingBlanks(InputLineText(line)), e.text);
    EXPECT_EQ(position.line_number, e.line_number) << e.text;
    EXPECT_EQ(position.data_line, e.data_line) << e.text;
  }
  EXPECT_EQ(ReadDataLine(kUnit, line, position), IoStatus::kEndOfFile);
  EXPECT_EQ(position.line_number, 8);
  EXPECT_EQ(position.data_line, 3);
  EXPECT_EQ(ClassifyInputLine(InputLineText(line)), InputLineKind::kBlank);
}

TEST(ReadDataLine, UsesOnlyTheFirst256CharactersOfALargerBuffer) {
  UnitInput input(kUnit, std::string(300, 'a') + "\nb\n");
  std::vector<char> line(kInputLineLength + 10, 'x');
  InputLinePosition position;
  ASSERT_EQ(ReadDataLine(kUnit, line, position), IoStatus::kOk);
  EXPECT_EQ(std::string(line.begin(), line.begin() + kInputLineLength),
            std::string(kInputLineLength, 'a'));
  EXPECT_EQ(std::string(line.begin() + kInputLineLength, line.end()), std::string(10, ' '));
  ASSERT_EQ(ReadDataLine(kUnit, line, position), IoStatus::kOk);
  EXPECT_EQ(TrimTrailingBlanks(InputLineText(line)), "b");  // the cut part is not a new line
  EXPECT_EQ(position.line_number, 2);
}

}  // namespace
}  // namespace qartwo
