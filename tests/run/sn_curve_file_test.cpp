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

using testing::UnitCapture;
using testing::UnitInput;

constexpr int kUnit = 22;
constexpr int kConsole = 41;
constexpr int kMessages = 42;

TEST(ReadSnCurveFile, PlacesEachLineByItsDataLineNumberOrSaysWhereAndWhyItStopped) {
  struct Row {
    std::string content;
    std::string next_line;        // the line the reader left next on the unit
    std::string diagnostic;       // all of it, or a part when it does not start with " ***"
    std::vector<double> curve{};  // elements from 1 on, zeros after
  };
  const std::string example = testing::ReadTestFile("data/example_sn_curve.txt");
  const std::vector<double> example_curve = {2, 1, 1, 2, 3, 1, 9, 15, 12, 3, 1e7, 15.3, 5, 0, 46.4};
  const std::string listing = testing::ReadTestFile("data/b1_air_listing_sn_curve.txt");
  std::string values;  // one more than the largest curve the vector holds, 8 + 3 + 19 values
  std::vector<double> largest = {2, 1, 1, 1, 3, 19, 9, 12, 12, 3, 0};
  for (int i = 1; i <= 20; ++i) values += std::to_string(i) + " ";
  for (int i = 1; i <= 19; ++i) largest.push_back(i);
  const std::vector<double> size_only = {2, 1, 1, 1, 3, 0, 9, 12};
  const Row rows[] = {
      {example, "any text", "", example_curve},
      // a curve listing with a name line in front reads back with user-curve elements 1 to 3
      {listing, "", "", {2, 1, 1, 2, 3, 4, 9, 15, 12.913, 3, 1e7, 16.856, 5, 0, 93.57, 25, 0, 0}},
      {"n\n0 3 2\n1.5\n", "1.5", "problem  : value 1 (nSNlin) is not above 0\n"},
      // nFixPar may be left out (0), LogA lies from -300 to 300
      {"n\n2 3 /\n300 3 1\n-300 3 0\n", "<eof>", "", {2, 1, 1, 2, 3, 0, 9, 15, 300, 3, 1, -300, 3}},
      {"n\n1 3 0\n-300.1 3 0\n", "<eof>", "value 1 (LogA) lies outside -300 to 300\n", size_only},
      {"n\n1 3 0\n12,,0\n", "<eof>", "problem  : value 2 (m) is left out", size_only},
      {"n\n1 /\n", "<eof>", "problem  : value 2 (nParPerLin) is left out"},
      // nFixPar 0: the fixed line is taken, nothing is read from it
      {"n\n1 3 0\n12 3 0\nnot numbers\nlast\n", "last", "", {2, 1, 1, 1, 3, 0, 9, 12, 12, 3, 0}},
      // only the fixed-parameter line may be missing; a file that ends before another line
      // keeps what it read
      {"n\n1 3 2\n12 3 0\n", "<eof>", "", {2, 1, 1, 1, 3, 2, 9, 12, 12, 3, 0}},
      {"n\n2 3 1\n# c\n12 3 1e7\n",
       "<eof>",
       " *** ERROR: input error in SN-curve file \"c.txt\" at its end\n"
       "     problem  : the file ends after its line of segment 1 (line 4); segment 2 of 2 is "
       "missing\n"
       "     expected : line of segment 2: LogA (real), m (real), nBreak (real)\n",
       {2, 1, 1, 2, 3, 1, 9, 15, 12, 3, 1e7}},
      {"$ c\n n\n\n", "<eof>",
       "problem  : the file ends after its curve name line (line 2); the size line is missing\n"},
      {"", "<eof>",
       "problem  : the file holds no data line (0 lines read); the curve name line "
       "is missing\n     expected : curve name line: the curve's name\n"},
      {"n\n1 3 0\n12 0 1e7\nnext\n",
       "next",
       "at line 3\n     line text: 12 0 1e7\n     "
       "problem  : value 2 (m) is not above 0\n",
       {2, 1, 1, 1, 3, 0, 9, 12}},
      // the largest curve the vector holds, and a curve one value larger
      {"n\n1 3 19\n12 3 0\n" + values, "<eof>",
       "at line 4: values beyond the first 19 are ignored\n", largest},
      {"n\n1 3 20\n", "<eof>", "nFixPar = 31 values\n"},
      // refused size lines store nothing
      {"n\n2147483647 3 1\nnext\n", "next",
       " *** ERROR: SN-curve file \"c.txt\" refused at line 2\n"
       "     line text: 2147483647 3 1\n"
       "     problem  : the curve needs 8 + 3 x nSNlin + nFixPar = 6442450950 values\n"
       "     expected : at most 30 values, the room of the SN-curve vector\n"},
      {"n\n1 3 2147483647\n", "<eof>", "nFixPar = 2147483658 values\n"},
      {"n\n-1 3 1\n", "<eof>", "problem  : a negative count: nSNlin -1, nParPerLin 3, nFixPar 1\n"},
      {"n\n2 2 1\n", "<eof>", "problem  : nParPerLin is 2\n"},
      {"n\n2 3 x\n", "<eof>",
       "problem  : value 3 (nFixPar) \"x\" is not an integer\n     expected : size line: nSNlin "
       "(integer), nParPerLin (integer), nFixPar (integer)\n     note     : the first data line "
       "is the curve's name, so the name line may be missing"},
      {"n\n2 3 1\n12 3 1e7\n\n15.3 five 0\nnext\n",
       "next",
       "at line 5\n     line text: 15.3 five 0\n     problem  : value 2 (m) \"five\" is not a real "
       "number\n     expected : line of segment 2: LogA (real), m (real), nBreak (real)\n",
       {2, 1, 1, 2, 3, 1, 9, 15, 12, 3, 1e7}},
      {"n\n1 3 3\n12 3 0\n1 2\n",
       "<eof>",
       "too few values: 2 found, 3 needed (fixed parameter 3 is missing)\n     expected : "
       "fixed-parameter line: nFixPar = 3 values (real)\n",
       {2, 1, 1, 1, 3, 3, 9, 12, 12, 3, 0, 1, 2}},
  };
  for (const Row& row : rows) {
    std::array<char, kInputLineLength> line{};
    std::array<double, kCurveVectorLength + 1> buffer{};  // the vector, then one more
    std::array<char, kTextLength> name{};
    UnitInput input(kUnit, row.content);
    UnitCapture console(kConsole);
    const SnCurveFileResult result =
        ReadSnCurveFile(kUnit, line, std::span(buffer).first(kCurveVectorLength), name, kConsole);
    UnitCapture messages(kMessages);
    WriteSnCurveFileNote(kMessages, "c.txt", result);
    WriteSnCurveFileProblem(kMessages, "c.txt", result);
    EXPECT_TRUE(testing::IsDiagnostic(messages.Text(), row.diagnostic))
        << row.content << messages.Text() << ";";
    std::vector<double> curve = row.curve;
    curve.resize(buffer.size(), 0.0);
    EXPECT_EQ(std::vector<double>(buffer.begin(), buffer.end()), curve) << row.content;
    // After the diagnostic: its line text is a view into `line`.
    const bool more = ReadLine(kUnit, line) == IoStatus::kOk;
    EXPECT_EQ(more ? TrimTrailingBlanks(InputLineText(line)) : "<eof>", row.next_line)
        << row.content;
  }
}

TEST(ReadSnCurveFile, ShowsTheNameAsGivenAndRefusesAtTheRoomOfASmallerVector) {
  std::array<char, kInputLineLength> line{};
  std::array<double, 15> curve{};
  std::array<char, kTextLength> name{};
  UnitInput input(kUnit, "  indented  name   \r\n2 3 1\n");
  UnitCapture console(kConsole);
  const SnCurveFileResult result =
      ReadSnCurveFile(kUnit, line, std::span(curve).first(14), name, kConsole);
  EXPECT_EQ(console.Text() + ";", "\n User Defined SN-Curve         :   indented  name\n;");
  EXPECT_EQ(result.status, InputFileStatus::kRefused);
  EXPECT_EQ(result.needed_values, 15);
  EXPECT_EQ(curve, decltype(curve){});
}

}  // namespace
}  // namespace qartwo
