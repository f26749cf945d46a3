#include "run/sn_curve_file.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "fatigue/sn_vector.h"
#include "tests/testing/test_data.h"
#include "tests/testing/unit_capture.h"

namespace qartwo {
namespace {

using testing::ReadTestData;
using testing::UnitCapture;
using testing::UnitInput;
using testing::WithCrLf;

constexpr int kUnit = 22;
constexpr int kConsole = 41;
constexpr int kMessages = 42;

// The program's storage for one curve, zero at start. The vector sits in a larger buffer
// whose tail must never change.
struct Storage {
  std::array<char, kInputLineLength> line{};
  std::array<double, kCurveVectorLength + 4> buffer{};
  std::array<char, kTextLength> name{};
  std::span<double> curve() { return std::span<double>(buffer).first(kCurveVectorLength); }
  std::vector<double> Values() const { return {buffer.begin(), buffer.end()}; }
};

// The expected buffer: `values` from element 1 on, zeros after.
std::vector<double> Vector(std::vector<double> values) {
  values.resize(kCurveVectorLength + 4, 0.0);
  return values;
}

SnCurveFileResult Read(const std::string& content, Storage& storage) {
  UnitInput input(kUnit, content);
  UnitCapture console(kConsole);
  return ReadSnCurveFile(kUnit, storage.line, storage.curve(), storage.name, kConsole);
}

// The next line left on the unit after the reader, trimmed; "<eof>" when none is left.
std::string NextLine(int unit) {
  std::array<char, kInputLineLength> line{};
  if (ReadLine(unit, line) != IoStatus::kOk) return "<eof>";
  return std::string(TrimTrailingBlanks(InputLineText(line)));
}

TEST(ReadSnCurveFile, ReadsTheWorkedExampleAndStopsAfterTheFixedLine) {
  const std::string example = ReadTestData("example_sn_curve.txt");
  ASSERT_FALSE(example.empty());
  for (const std::string& content : {example, WithCrLf(example)}) {
    Storage storage;
    UnitInput input(kUnit, content);
    UnitCapture console(kConsole);
    const SnCurveFileResult result =
        ReadSnCurveFile(kUnit, storage.line, storage.curve(), storage.name, kConsole);
    ASSERT_EQ(result.status, InputFileStatus::kOk);
    EXPECT_EQ(result.line_kind, SnCurveLine::kFixed);
    EXPECT_EQ(storage.Values(),
              Vector({2, 1, 1, 2, 3, 1, 9, 15, 12.0, 3.0, 1e7, 15.3, 5.0, 0, 46.4}));
    const std::string name(storage.name.begin(), storage.name.end());
    EXPECT_EQ(name, "Welded joint, two slopes" + std::string(256 - 24, ' '));
    EXPECT_EQ(console.Text(), "\n User Defined SN-Curve         : Welded joint, two slopes\n");
    EXPECT_EQ(NextLine(kUnit), "any text");
  }
}

TEST(ReadSnCurveFile, ReadsBackACurveListingWithANameLineInFront) {
  Storage storage;
  UnitInput input(kUnit, ReadTestData("b1_air_listing_sn_curve.txt"));
  UnitCapture console(kConsole);
  const SnCurveFileResult result =
      ReadSnCurveFile(kUnit, storage.line, storage.curve(), storage.name, kConsole);
  ASSERT_EQ(result.status, InputFileStatus::kOk);
  // Elements 1 to 3 become those of a user-defined curve; the rest is the listed B1 AIR.
  EXPECT_EQ(storage.Values(),
            Vector({2, 1, 1, 2, 3, 4, 9, 15, 12.913, 3, 1e7, 16.856, 5, 0, 93.57, 25, 0, 0}));
  EXPECT_EQ(console.Text(), "\n User Defined SN-Curve         : NORSOK  B1  AIR\n");
  EXPECT_EQ(NextLine(kUnit), "");  // the empty line after the fixed values is the next
}

TEST(ReadSnCurveFile, PlacesEachLineByItsDataLineNumber) {
  struct Case {
    std::string content;
    SnCurveLine line_kind;
    std::vector<double> values;
    std::string next_line;
  };
  const Case cases[] = {
      // no segment: the third data line is the fixed line, placed at element 9
      {"name\n0 3 2\n1.5, 2.5\n7 8\n",
       SnCurveLine::kFixed,
       {2, 1, 1, 0, 3, 2, 9, 9, 1.5, 2.5},
       "7 8"},
      // no fixed values: the line after the segments is still taken, nothing read from it
      {"name\n1 3 0\n12 3 0\nnot numbers\nlast\n",
       SnCurveLine::kFixed,
       {2, 1, 1, 1, 3, 0, 9, 12, 12, 3, 0},
       "last"},
      // a file ending before the fixed line keeps what it read
      {"name\n2 3 1\n# c\n12 3 1e7\n",
       SnCurveLine::kSegment,
       {2, 1, 1, 2, 3, 1, 9, 15, 12, 3, 1e7},
       "<eof>"},
      // a file ending before the size line leaves element 1 at 0
      {"$ c\n  indented name\n\n", SnCurveLine::kName, {}, "<eof>"},
      {"", SnCurveLine::kNone, {}, "<eof>"},
      // surplus values are ignored; the largest curve the vector holds
      {"n\n7 3 1 9\n   ", SnCurveLine::kSize, {2, 1, 1, 7, 3, 1, 9, 30}, "<eof>"},
      {"n\n0 3 22\n1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23\n",
       SnCurveLine::kFixed,
       {2, 1, 1,  0,  3,  22, 9,  9,  1,  2,  3,  4,  5,  6,  7,
        8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22},
       "<eof>"},
  };
  for (const Case& c : cases) {
    Storage storage;
    UnitInput input(kUnit, c.content);
    UnitCapture console(kConsole);
    const SnCurveFileResult result =
        ReadSnCurveFile(kUnit, storage.line, storage.curve(), storage.name, kConsole);
    ASSERT_EQ(result.status, InputFileStatus::kOk) << c.content;
    EXPECT_EQ(result.line_kind, c.line_kind) << c.content;
    EXPECT_EQ(storage.Values(), Vector(c.values)) << c.content;
    EXPECT_EQ(NextLine(kUnit), c.next_line) << c.content;
  }
}

TEST(ReadSnCurveFile, KeepsLeadingBlanksOfTheNameAndShowsItWithoutTrailingOnes) {
  Storage storage;
  UnitInput input(kUnit, "  indented  name   \r\n");
  UnitCapture console(kConsole);
  ReadSnCurveFile(kUnit, storage.line, storage.curve(), storage.name, kConsole);
  EXPECT_EQ(std::string(storage.name.begin(), storage.name.begin() + 20), "  indented  name    ");
  EXPECT_EQ(console.Text() + ";", "\n User Defined SN-Curve         :   indented  name\n;");
}

TEST(ReadSnCurveFile, RefusesASizeLineTheVectorCannotHold) {
  struct Case {
    std::string size_line;
    SnCurveRefusal refusal;
    long long needed_values;
  };
  const Case cases[] = {
      {"2147483647 3 1", SnCurveRefusal::kTooManyValues, 8 + 3 * 2147483647LL + 1},
      {"7 3 2", SnCurveRefusal::kTooManyValues, 31},
      {"0 3 23", SnCurveRefusal::kTooManyValues, 31},
      {"1 3 2147483647", SnCurveRefusal::kTooManyValues, 8 + 3 + 2147483647LL},
      {"-1 3 1", SnCurveRefusal::kNegativeCount, 0},
      {"2 3 -1", SnCurveRefusal::kNegativeCount, 0},
      {"2 -3 1", SnCurveRefusal::kNegativeCount, 0},
      {"2 2 1", SnCurveRefusal::kValuesPerSegment, 0},
      {"2 4 1", SnCurveRefusal::kValuesPerSegment, 0},
  };
  for (const Case& c : cases) {
    Storage storage;
    const SnCurveFileResult result =
        Read("name\n" + c.size_line + "\n1 2 3\n4 5 6\n7 8 9\n", storage);
    ASSERT_EQ(result.status, InputFileStatus::kRefused) << c.size_line;
    EXPECT_EQ(result.refusal, c.refusal) << c.size_line;
    EXPECT_EQ(result.needed_values, c.needed_values) << c.size_line;
    EXPECT_EQ(result.position.line_number, 2) << c.size_line;
    EXPECT_EQ(result.line_text, c.size_line);
    EXPECT_EQ(storage.Values(), Vector({})) << c.size_line;  // nothing stored from it
  }
}

TEST(ReadSnCurveFile, RefusesAtTheRoomOfASmallerVector) {
  Storage storage;
  UnitInput input(kUnit, "name\n2 3 1\n");
  UnitCapture console(kConsole);
  const SnCurveFileResult result =
      ReadSnCurveFile(kUnit, storage.line, storage.curve().first(14), storage.name, kConsole);
  ASSERT_EQ(result.status, InputFileStatus::kRefused);
  EXPECT_EQ(result.needed_values, 15);
  EXPECT_EQ(result.vector_room, 14u);
}

TEST(ReadSnCurveFile, StopsAtTheFirstBadDataLine) {
  struct Case {
    std::string content;
    SnCurveLine line_kind;
    long long line_number;
    FreeFormStatus value_status;
    int target;
  };
  const Case cases[] = {
      {"name\n2 3\n", SnCurveLine::kSize, 2, FreeFormStatus::kTooFewValues, 2},
      {"name\n2 3.0 1\n", SnCurveLine::kSize, 2, FreeFormStatus::kNotANumber, 1},
      {"name\ntwo 3 1\n", SnCurveLine::kSize, 2, FreeFormStatus::kNotANumber, 0},
      {"name\n2 3 1\n12 3 1e7\n\n15.3 5\n", SnCurveLine::kSegment, 5, FreeFormStatus::kTooFewValues,
       2},
      {"name\n1 3 2\n12 3 0\n46.4\n", SnCurveLine::kFixed, 4, FreeFormStatus::kTooFewValues, 1},
      {"name\n1 3 2\n12 3 0\n46.4 x\n", SnCurveLine::kFixed, 4, FreeFormStatus::kNotANumber, 1},
  };
  for (const Case& c : cases) {
    Storage storage;
    const SnCurveFileResult result = Read(c.content, storage);
    ASSERT_EQ(result.status, InputFileStatus::kInputError) << c.content;
    EXPECT_EQ(result.line_kind, c.line_kind) << c.content;
    EXPECT_EQ(result.position.line_number, c.line_number) << c.content;
    EXPECT_EQ(result.value.status, c.value_status) << c.content;
    EXPECT_EQ(result.value.target, c.target) << c.content;
  }
}

TEST(WriteSnCurveFileProblem, NamesFileLineTextAndWhatWasExpected) {
  struct Case {
    std::string content;
    std::string diagnostic;
  };
  const Case cases[] = {
      {"name\n2147483647 3 1\n",
       " *** ERROR: SN-curve file \"c.txt\" refused at line 2\n"
       "     line text: 2147483647 3 1\n"
       "     problem  : the curve needs 8 + 3 x nSNlin + nFixPar = 6442450950 values\n"
       "     expected : at most 30 values, the room of the SN-curve vector\n"},
      {"name\n-1 3 1\n",
       " *** ERROR: SN-curve file \"c.txt\" refused at line 2\n"
       "     line text: -1 3 1\n"
       "     problem  : a negative count: nSNlin -1, nParPerLin 3, nFixPar 1\n"
       "     expected : nSNlin, nParPerLin and nFixPar of 0 or more\n"},
      {"name\n2 4 1\n",
       " *** ERROR: SN-curve file \"c.txt\" refused at line 2\n"
       "     line text: 2 4 1\n"
       "     problem  : nParPerLin is 4\n"
       "     expected : nParPerLin 3: a segment line holds exactly three values (LogA, m, "
       "nBreak)\n"},
      {"name\n2 3 1\n12 3 1e7\n15.3 five 0\n",
       " *** ERROR: input error in SN-curve file \"c.txt\" at line 4\n"
       "     line text: 15.3 five 0\n"
       "     problem  : value 2 (m) \"five\" is not a real number\n"
       "     expected : line of segment 2: LogA (real), m (real), nBreak (real)\n"},
      {"name\n0 3 3\n1 2\n",
       " *** ERROR: input error in SN-curve file \"c.txt\" at line 3\n"
       "     line text: 1 2\n"
       "     problem  : too few values: 2 found, 3 needed (fixed parameter 3 is missing)\n"
       "     expected : fixed-parameter line: nFixPar = 3 values (real)\n"},
      {"name\n2 3 x\n",
       " *** ERROR: input error in SN-curve file \"c.txt\" at line 2\n"
       "     line text: 2 3 x\n"
       "     problem  : value 3 (nFixPar) \"x\" is not an integer\n"
       "     expected : size line: nSNlin (integer), nParPerLin (integer), nFixPar (integer)\n"},
      {"name\n0 3 0\n\n", ""},
  };
  for (const Case& c : cases) {
    Storage storage;
    const SnCurveFileResult result = Read(c.content, storage);
    UnitCapture messages(kMessages);
    WriteSnCurveFileProblem(kMessages, "c.txt", result);
    EXPECT_EQ(messages.Text() + ";", c.diagnostic + ";") << c.content;
  }
}

}  // namespace
}  // namespace qartwo
