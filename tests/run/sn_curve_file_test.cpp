#include "run/sn_curve_file.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "fatigue/catalogue.h"
#include "fatigue/damage.h"
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
  const std::string code1 = "n\n1 3 3 1\n12 3 0\n";  // a thickness-corrected curve
  const std::vector<double> uncorrected = {2, 1, 1, 1, 3, 3, 9, 12, 12, 3};  // no code taken
  const auto fixed = [](std::vector<double> tail) {
    tail.insert(tail.begin(), {1, 1, 1, 1, 3, 3, 9, 12, 12, 3, 0});
    return tail;
  };
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
      // a fourth size value 1 or 2 is the standard code: 1 corrects thickness with the last
      // three fixed values, which must be given, thick above 0, k and kHigh not below 0
      {code1 + "25 0.2 0\n", "<eof>", "", fixed({25, 0.2})},
      {"n\n1 3 0 2 5\n12 3 0\n", "<eof>", "first 4 are", {2, 1, 1, 1, 3, 0, 9, 12, 12, 3}},
      {"n\n1 3 3 1.0\n12 3 0\n0 0 0\n", "<eof>", "first 3 are", uncorrected},
      {"n\n1 3 3 01\n12 3 0\n0 0 0\n", "<eof>", "first 3 are", uncorrected},
      // a 1 in column 256 that the cut took from 15
      {"n\n1 3 3" + std::string(250, ' ') + "15\n12 3 0\n0 0 0\n", "<eof>", "first 3 are",
       uncorrected},
      {"n\n1 3 2 1 c\n", "<eof>", "value 3 (nFixPar) is 2, but standard code 1 takes thick, k"},
      {code1, "<eof>", "(line 3); the fixed-parameter line is missing; standard code 1", fixed({})},
      {code1 + "0 1 1\nnext\n", "next", "value 1 (thick) is not above 0\n", fixed({0, 1, 1})},
      {code1 + "9 -1 0\n", "<eof>", "value 2 (k) is below 0\n", fixed({9, -1})},
      {code1 + "9 1 -0.1\n", "<eof>", "value 3 (kHigh) is below 0\n", fixed({9, 1, -0.1})},
      {code1 + "9,,0\n", "<eof>", "value 2 (k) is left out", fixed({9})},
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

// Files with standard code 1 and the values of built-in curves, spelt as the floats the
// catalogue widens, give the damage of those curves bit for bit: below, at and above the
// reference thickness, at SCFs 1, 2.5 and 12 (class T with kHigh, BP_SCH without).
TEST(ReadSnCurveFile, CodeOneGivesTheDamageOfTheBuiltInCurveWithTheSameValues) {
  struct Row {
    int builtin;
    std::string content;
  };
  const Row rows[] = {
      {15,
       "T\n2 3 4 1\n12.163999557495117 3 1e7\n15.605999946594238 5 0\n"
       "52.630001068115234 32 0.25 0.30000001192092896\n"},
      {49, "BP_SCH\n1 3 3 1\n12.017000198364258 3 0\n17.5 0.20000000298023224 0\n"},
  };
  int nCurves = 0, status = 0;
  std::vector<int> starts(kCatalogueStartRoom), names(kCatalogueNameRoom * kNameLength);
  std::vector<double> values(kCatalogueValueRoom), counts(30);
  SNDBASE(nCurves, starts, values, names, kNameLength, kMessages, status);
  for (int i = 0; i < 30; ++i) counts[i] = std::pow(10.0, 7.75 - i / 4.0);
  const std::array<double, 4> histogram = {1, 30, 10, 0};  // 5 to 295 MPa: both segments
  for (const Row& row : rows) {
    std::array<char, kInputLineLength> line{}, name{};
    std::array<double, kCurveVectorLength> read{}, builtin{};
    UnitInput input(kUnit, row.content);
    UnitCapture console(kConsole);
    ASSERT_EQ(ReadSnCurveFile(kUnit, line, read, name, kConsole).status, InputFileStatus::kOk);
    const int start = starts[row.builtin - 1];  // element number of the built-in curve
    SNCOPY(std::span(values).subspan(start - 1), builtin, starts[row.builtin] - start, 1, 1);
    for (const double scf : {1.0, 2.5, 12.0})
      for (const double thickness : {0.0, 16.0, 25.0, 50.0}) {
        const std::array<double, 2> plate = {thickness, scf};
        std::array<double, 2> damage{};
        QAR02X(counts, read, plate, histogram, damage[0], kMessages, status);
        QAR02X(counts, builtin, plate, histogram, damage[1], kMessages, status);
        EXPECT_EQ(damage[0], damage[1]) << row.content << "SCF " << scf << " at " << thickness;
      }
    EXPECT_EQ(status, 0) << row.content;
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
