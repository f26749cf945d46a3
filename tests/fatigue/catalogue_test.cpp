#include "fatigue/catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <string>
#include <string_view>
#include <vector>

#include "fatigue/damage.h"
#include "fatigue/sn_vector.h"
#include "fatigue/words.h"
#include "support/text.h"
#include "tests/testing/unit_capture.h"

namespace qartwo {
namespace {

constexpr int kReportUnit = 20;

// The run-time catalogue with the room the main program gives it.
struct Catalogue {
  int nCurves = -1;
  std::vector<int> iCurveStart = std::vector<int>(kCatalogueStartRoom, 0);
  std::vector<double> curveValues = std::vector<double>(kCatalogueValueRoom, 0.0);
  std::vector<int> curveNames = std::vector<int>(kCatalogueNameRoom * kNameLength, 0);
  int error_flag = 0;
  std::string messages;

  void Build(int ldn = kNameLength) {
    testing::UnitCapture capture(kReportUnit);
    SNDBASE(nCurves, iCurveStart, curveValues, curveNames, ldn, kReportUnit, error_flag);
    messages = capture.Text();
  }

  // Curve n (from 1) copied out the way the main program does it.
  std::vector<double> Curve(int n, int sign = 0) const {
    const int length = iCurveStart[n] - iCurveStart[n - 1];
    std::vector<double> vector(kCurveVectorLength, 0.0);
    SNCOPY(std::span<const double>(curveValues).subspan(iCurveStart[n - 1] - 1), vector, length, 1,
           sign);
    vector.resize(length);
    return vector;
  }
};

// Every curve as the catalogue lists it: number, name without trailing blanks, iStandard,
// iClass, iEnv, start, and the segment and fixed values as decimals.
struct Entry {
  int number;
  std::string_view name;
  int iStandard;
  int iClass;
  int iEnv;
  int start;
  std::string_view values;
};

// clang-format off
constexpr Entry kEntries[] = {
    {1, "NORSOK  B1  AIR", 1, 1, 1, 1, "12.913 3 10000000 16.856 5 0 93.57 25 0 0"},
    {2, "NORSOK  B2  AIR", 1, 2, 1, 19, "12.739 3 10000000 16.566 5 0 81.87 25 0 0"},
    {3, "NORSOK  C   AIR", 1, 3, 1, 37, "12.592 3 10000000 16.32 5 0 73.1 25 0.15 0"},
    {4, "NORSOK  C1  AIR", 1, 4, 1, 55, "12.449 3 10000000 16.081 5 0 65.5 25 0.15 0"},
    {5, "NORSOK  C2  AIR", 1, 5, 1, 73, "12.301 3 10000000 15.835 5 0 58.48 25 0.15 0"},
    {6, "NORSOK  D   AIR", 1, 6, 1, 91, "12.164 3 10000000 15.606 5 0 52.63 25 0.2 0"},
    {7, "NORSOK  E   AIR", 1, 7, 1, 109, "12.01 3 10000000 15.35 5 0 46.78 25 0.2 0"},
    {8, "NORSOK  F   AIR", 1, 8, 1, 127, "11.855 3 10000000 15.091 5 0 41.52 25 0.25 0"},
    {9, "NORSOK  F1  AIR", 1, 9, 1, 145, "11.699 3 10000000 14.832 5 0 36.84 25 0.25 0"},
    {10, "NORSOK  F3  AIR", 1, 10, 1, 163, "11.546 3 10000000 14.576 5 0 32.75 25 0.25 0"},
    {11, "NORSOK  G   AIR", 1, 11, 1, 181, "11.398 3 10000000 14.33 5 0 29.24 25 0.25 0"},
    {12, "NORSOK  W1  AIR", 1, 12, 1, 199, "11.261 3 10000000 14.101 5 0 26.32 25 0.25 0"},
    {13, "NORSOK  W2  AIR", 1, 13, 1, 217, "11.107 3 10000000 13.845 5 0 23.39 25 0.25 0"},
    {14, "NORSOK  W3  AIR", 1, 14, 1, 235, "10.97 3 10000000 13.617 5 0 21.05 25 0.25 0"},
    {15, "NORSOK  T   AIR", 1, 15, 1, 253, "12.164 3 10000000 15.606 5 0 52.63 32 0.25 0.3"},
    {16, "NORSOK  B1  SEA_CAT", 1, 1, 2, 271, "12.513 3 1000000 16.856 5 0 93.57 25 0 0"},
    {17, "NORSOK  B2  SEA_CAT", 1, 2, 2, 289, "12.339 3 1000000 16.566 5 0 81.87 25 0 0"},
    {18, "NORSOK  C   SEA_CAT", 1, 3, 2, 307, "12.192 3 1000000 16.32 5 0 73.1 25 0.15 0"},
    {19, "NORSOK  C1  SEA_CAT", 1, 4, 2, 325, "12.049 3 1000000 16.081 5 0 65.5 25 0.15 0"},
    {20, "NORSOK  C2  SEA_CAT", 1, 5, 2, 343, "11.901 3 1000000 15.835 5 0 58.48 25 0.15 0"},
    {21, "NORSOK  D   SEA_CAT", 1, 6, 2, 361, "11.764 3 1000000 15.606 5 0 52.63 25 0.2 0"},
    {22, "NORSOK  E   SEA_CAT", 1, 7, 2, 379, "11.61 3 1000000 15.35 5 0 46.78 25 0.2 0"},
    {23, "NORSOK  F   SEA_CAT", 1, 8, 2, 397, "11.455 3 1000000 15.091 5 0 41.52 25 0.25 0"},
    {24, "NORSOK  F1  SEA_CAT", 1, 9, 2, 415, "11.299 3 1000000 14.832 5 0 36.84 25 0.25 0"},
    {25, "NORSOK  F3  SEA_CAT", 1, 10, 2, 433, "11.146 3 1000000 14.576 5 0 32.75 25 0.25 0"},
    {26, "NORSOK  G   SEA_CAT", 1, 11, 2, 451, "10.998 3 1000000 14.33 5 0 29.24 25 0.25 0"},
    {27, "NORSOK  W1  SEA_CAT", 1, 12, 2, 469, "10.861 3 1000000 14.101 5 0 26.32 25 0.25 0"},
    {28, "NORSOK  W2  SEA_CAT", 1, 13, 2, 487, "10.707 3 1000000 13.845 5 0 23.39 25 0.25 0"},
    {29, "NORSOK  W3  SEA_CAT", 1, 14, 2, 505, "10.57 3 1000000 13.617 5 0 21.05 25 0.25 0"},
    {30, "NORSOK  T   SEA_CAT", 1, 15, 2, 523, "11.764 3 1000000 15.606 5 0 52.63 32 0.25 0.3"},
    {31, "NORSOK  B1  SEA_FREE", 1, 1, 3, 541, "12.436 3 0 25 0 0"},
    {32, "NORSOK  B2  SEA_FREE", 1, 2, 3, 555, "12.262 3 0 25 0 0"},
    {33, "NORSOK  C   SEA_FREE", 1, 3, 3, 569, "12.115 3 0 25 0.15 0"},
    {34, "NORSOK  C1  SEA_FREE", 1, 4, 3, 583, "11.972 3 0 25 0.15 0"},
    {35, "NORSOK  C2  SEA_FREE", 1, 5, 3, 597, "11.824 3 0 25 0.15 0"},
    {36, "NORSOK  D   SEA_FREE", 1, 6, 3, 611, "11.687 3 0 25 0.2 0"},
    {37, "NORSOK  E   SEA_FREE", 1, 7, 3, 625, "11.533 3 0 25 0.2 0"},
    {38, "NORSOK  F   SEA_FREE", 1, 8, 3, 639, "11.378 3 0 25 0.25 0"},
    {39, "NORSOK  F1  SEA_FREE", 1, 9, 3, 653, "11.222 3 0 25 0.25 0"},
    {40, "NORSOK  F3  SEA_FREE", 1, 10, 3, 667, "11.068 3 0 25 0.25 0"},
    {41, "NORSOK  G   SEA_FREE", 1, 11, 3, 681, "10.921 3 0 25 0.25 0"},
    {42, "NORSOK  W1  SEA_FREE", 1, 12, 3, 695, "10.784 3 0 25 0.25 0"},
    {43, "NORSOK  W2  SEA_FREE", 1, 13, 3, 709, "10.63 3 0 25 0.25 0"},
    {44, "NORSOK  W3  SEA_FREE", 1, 14, 3, 723, "10.493 3 0 25 0.25 0"},
    {45, "NORSOK  T   SEA_FREE", 1, 15, 3, 737, "11.687 3 0 32 0.25 0.3"},
    {46, "DNV     D   AIR", 2, 1, 1, 751, "12.18 3 189000000 20"},
    {47, "DNV     D   SEA_CAT", 2, 1, 2, 763, "12.18 3 189000000 20"},
    {48, "DNV     D   SEA_FREE", 2, 1, 3, 775, "12.18 3 0 0"},
    {49, "NORSOK  E     BP_SCH", 1, 7, 0, 787, "12.017 3 0 17.5 0.2 0"},
    {50, "NORSOK  E     BP_SVI", 1, 7, 0, 801, "12.017 3 0 19.05 0.2 0"},
};
// clang-format on
static_assert(std::size(kEntries) == kCatalogueCurves);

TEST(Sndbase, BuildsFiftyCurvesWithTheirStartsAndCodes) {
  Catalogue catalogue;
  catalogue.Build();
  EXPECT_EQ(catalogue.error_flag, 0);
  EXPECT_EQ(catalogue.messages, "");
  ASSERT_EQ(catalogue.nCurves, kCatalogueCurves);
  EXPECT_EQ(catalogue.iCurveStart[kCatalogueCurves], kCatalogueValuesUsed + 1);
  for (const Entry& entry : kEntries) {
    const int n = entry.number;
    ASSERT_EQ(catalogue.iCurveStart[n - 1], entry.start) << "curve " << n;
    const std::vector<double> vector = catalogue.Curve(n);
    EXPECT_EQ(HeaderInteger(vector, kIStandard), entry.iStandard) << "curve " << n;
    EXPECT_EQ(HeaderInteger(vector, kIClass), entry.iClass) << "curve " << n;
    EXPECT_EQ(HeaderInteger(vector, kIEnv), entry.iEnv) << "curve " << n;
    // The header describes exactly the room the curve takes.
    const int nSNlin = HeaderInteger(vector, kNSNlin);
    const int nParPerLin = HeaderInteger(vector, kNParPerLin);
    EXPECT_EQ(nParPerLin, 3) << "curve " << n;
    EXPECT_EQ(HeaderInteger(vector, kIFirstLin), 9) << "curve " << n;
    EXPECT_EQ(HeaderInteger(vector, kIFirstFix), nSNlin * nParPerLin + 9) << "curve " << n;
    EXPECT_EQ(static_cast<int>(vector.size()),
              8 + nSNlin * nParPerLin + HeaderInteger(vector, kNFixPar))
        << "curve " << n;
  }
  // Nothing is written beyond the 814 values of the catalogue.
  for (int k = kCatalogueValuesUsed; k < kCatalogueValueRoom; ++k) {
    ASSERT_EQ(catalogue.curveValues[k], 0.0) << "element " << k + 1;
  }
}

TEST(Sndbase, HoldsTheWholeVectorsOfSampleCurves) {
  struct Row {
    int number;
    std::vector<double> vector;
  };
  // Decimals are the single-precision constants widened to double.
  const std::vector<Row> rows = {
      {1,
       {1, 1, 1, 2, 3, 4, 9, 15, 12.913000106811523, 3, 1e7, 16.856000900268555, 5, 0,
        93.56999969482422, 25, 0, 0}},
      {3,
       {1, 3, 1, 2, 3, 4, 9, 15, 12.592000007629395, 3, 1e7, 16.31999969482422, 5, 0,
        73.0999984741211, 25, 0.15000000596046448, 0}},
      {15,
       {1, 15, 1, 2, 3, 4, 9, 15, 12.163999557495117, 3, 1e7, 15.605999946594238, 5, 0,
        52.630001068115234, 32, 0.25, 0.30000001192092896}},
      {31, {1, 1, 3, 1, 3, 3, 9, 12, 12.435999870300293, 3, 0, 25, 0, 0}},
      {46, {2, 1, 1, 1, 3, 1, 9, 12, 12.180000305175781, 3, 189000000, 20}},
      {48, {2, 1, 3, 1, 3, 1, 9, 12, 12.180000305175781, 3, 0, 0}},
      {49, {1, 7, 0, 1, 3, 3, 9, 12, 12.017000198364258, 3, 0, 17.5, 0.20000000298023224, 0}},
      {50,
       {1, 7, 0, 1, 3, 3, 9, 12, 12.017000198364258, 3, 0, 19.049999237060547, 0.20000000298023224,
        0}},
  };
  Catalogue catalogue;
  catalogue.Build();
  for (const Row& row : rows) {
    const std::vector<double> vector = catalogue.Curve(row.number);
    ASSERT_EQ(vector.size(), row.vector.size()) << "curve " << row.number;
    for (std::size_t k = 0; k < vector.size(); ++k) {
      EXPECT_EQ(vector[k], row.vector[k]) << "curve " << row.number << " element " << k + 1;
    }
  }
}

// The decimals of `text`, each read as the nearest single-precision value and widened.
std::vector<double> WidenedDecimals(std::string_view text) {
  std::vector<double> values;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find(' '), text.size());
    float value = 0.0f;
    const auto [rest, error] = std::from_chars(text.data(), text.data() + end, value);
    EXPECT_TRUE(error == std::errc() && rest == text.data() + end) << "decimal " << text;
    values.push_back(value);
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return values;
}

TEST(Sndbase, HoldsEveryListedValueAfterTheHeader) {
  Catalogue catalogue;
  catalogue.Build();
  for (const Entry& entry : kEntries) {
    const std::vector<double> vector = catalogue.Curve(entry.number);
    const std::vector<double> values(vector.begin() + kHeaderLength, vector.end());
    EXPECT_EQ(values, WidenedDecimals(entry.values)) << "curve " << entry.number;
  }
}

TEST(CatalogueNames, MatchTheListingWithExactInnerBlanks) {
  for (const Entry& entry : kEntries) {
    const std::string_view name = kCatalogueNames[entry.number - 1];
    std::string expected(entry.name);
    expected.resize(kNameLength, ' ');
    EXPECT_EQ(std::string(name) + ";", expected + ";") << "curve " << entry.number;
    // Standard word from column 1, class word from column 9, environment word from column 13
    // (15 for the two E-class variants), nothing after it.
    const std::size_t class_column = name.find_first_not_of(' ', name.find(' '));
    const std::size_t environment_column =
        name.find_first_not_of(' ', name.find(' ', class_column));
    const std::size_t end = name.find(' ', environment_column);
    EXPECT_EQ(name.find_first_not_of(' '), 0u) << "curve " << entry.number;
    EXPECT_EQ(class_column, 8u) << "curve " << entry.number;
    EXPECT_EQ(environment_column, entry.number >= 49 ? 14u : 12u) << "curve " << entry.number;
    EXPECT_EQ(name.find_first_not_of(' ', end), std::string_view::npos) << "curve " << entry.number;
  }
}

TEST(Sndbase, StoresIntegerArrayNamesThatReadBack) {
  Catalogue catalogue;
  catalogue.Build();
  const std::vector<int> first(catalogue.curveNames.begin(),
                               catalogue.curveNames.begin() + kNameLength);
  std::vector<int> expected = {78, 79, 82, 83, 79, 75, 32, 32, 66, 49, 32, 32, 65, 73, 82};
  expected.resize(kNameLength, 0);
  EXPECT_EQ(first, expected);

  for (const Entry& entry : kEntries) {
    std::array<char, kTextLength> text;
    text.fill('#');
    const std::span<const int> codes = std::span<const int>(catalogue.curveNames)
                                           .subspan((entry.number - 1) * kNameLength, kNameLength);
    int flag = 0;
    INT2CH(text, codes, kNameLength, kReportUnit, flag);
    std::string expected_text(entry.name);
    expected_text.resize(kTextLength, ' ');
    EXPECT_EQ(std::string(text.data(), text.size()), expected_text) << "curve " << entry.number;
    EXPECT_EQ(flag, 0);
  }
  // Names beyond the fiftieth stay untouched.
  for (std::size_t k = kCatalogueCurves * kNameLength; k < catalogue.curveNames.size(); ++k) {
    ASSERT_EQ(catalogue.curveNames[k], 0) << "element " << k + 1;
  }
}

TEST(Sndbase, LeavesAnEarlierErrorCountAsItIs) {
  Catalogue catalogue;
  catalogue.error_flag = -2;
  catalogue.Build();
  EXPECT_EQ(catalogue.error_flag, -2);
  EXPECT_EQ(catalogue.nCurves, kCatalogueCurves);
}

TEST(Sndbase, CountsEveryNameLongerThanTheNameLength) {
  // With 15 codes per name only the 16 names of 15 characters fit (the AIR curves).
  constexpr int kShortName = 15;
  Catalogue catalogue;
  catalogue.Build(kShortName);
  EXPECT_EQ(catalogue.nCurves, kCatalogueCurves);
  EXPECT_EQ(catalogue.error_flag, -34);
  EXPECT_NE(catalogue.messages.find("Error in routine *CH2INT*"), std::string::npos);
  for (const Entry& entry : kEntries) {
    const int* codes = catalogue.curveNames.data() + (entry.number - 1) * kShortName;
    const bool fits = entry.name.size() <= kShortName;
    EXPECT_EQ(codes[0], fits ? entry.name[0] : 0) << "curve " << entry.number;
  }
  EXPECT_EQ(catalogue.iCurveStart[kCatalogueCurves], kCatalogueValuesUsed + 1);
}

TEST(Sncopy, CopiesOrNegatesTheProductOfTheCounts) {
  const std::vector<double> source = {1, -2, 3.5, 0, 5, 6, 7};
  struct Row {
    int first_count;
    int second_count;
    int sign;
    std::vector<double> expected;  // destination afterwards, from all 9
  };
  const std::vector<Row> rows = {
      {3, 1, 0, {1, -2, 3.5, 9, 9, 9, 9, 9}},      {2, 3, 1, {1, -2, 3.5, 0, 5, 6, 9, 9}},
      {2, 2, -1, {-1, 2, -3.5, -0.0, 9, 9, 9, 9}}, {0, 5, 0, {9, 9, 9, 9, 9, 9, 9, 9}},
      {5, 0, -1, {9, 9, 9, 9, 9, 9, 9, 9}},        {-2, 3, 0, {9, 9, 9, 9, 9, 9, 9, 9}},
      {99, 1, 0, {1, -2, 3.5, 0, 5, 6, 7, 9}},  // bounded by the source
  };
  for (const Row& row : rows) {
    std::vector<double> destination(8, 9.0);
    SNCOPY(source, destination, row.first_count, row.second_count, row.sign);
    EXPECT_EQ(destination, row.expected)
        << "counts " << row.first_count << " x " << row.second_count << " sign " << row.sign;
  }
  // Bounded by the destination: the guard behind it keeps its value.
  std::vector<double> guarded(4, 9.0);
  SNCOPY(source, std::span<double>(guarded).first(3), 7, 1, 0);
  EXPECT_EQ(guarded, (std::vector<double>{1, -2, 3.5, 9}));
}

TEST(Sncopy, NegatesAWholeCatalogueCurve) {
  Catalogue catalogue;
  catalogue.Build();
  for (const int n : {1, 31, 46, 50}) {
    const std::vector<double> plain = catalogue.Curve(n);
    const std::vector<double> negated = catalogue.Curve(n, -1);
    ASSERT_EQ(plain.size(), negated.size());
    for (std::size_t k = 0; k < plain.size(); ++k) {
      EXPECT_EQ(negated[k], -plain[k]) << "curve " << n << " element " << k + 1;
    }
  }
}

TEST(Sndbase, StopsAndReportsWhenTheRoomRunsShort) {
  struct Row {
    std::string_view what;
    int starts;
    int values;
    int names;
    int built;
  };
  const Row rows[] = {
      {"curve start table", 30, kCatalogueValueRoom, kCatalogueNameRoom * kNameLength, 29},
      {"curve start table", 1, kCatalogueValueRoom, kCatalogueNameRoom * kNameLength, 0},
      {"curve start table", 0, kCatalogueValueRoom, kCatalogueNameRoom * kNameLength, 0},
      {"curve values", kCatalogueStartRoom, kCatalogueValuesUsed - 1,
       kCatalogueNameRoom * kNameLength, 49},
      {"curve values", kCatalogueStartRoom, 0, kCatalogueNameRoom * kNameLength, 0},
      {"curve names", kCatalogueStartRoom, kCatalogueValueRoom, 49 * kNameLength + 39, 49},
  };
  constexpr int kGuard = 8;
  for (const Row& row : rows) {
    // Each area sits at the front of a larger one whose tail must stay untouched.
    std::vector<int> starts(row.starts + kGuard, -5);
    std::vector<double> values(row.values + kGuard, -5.0);
    std::vector<int> names(row.names + kGuard, -5);
    int nCurves = -1;
    int flag = 0;
    std::string messages;
    {
      testing::UnitCapture capture(kReportUnit);
      SNDBASE(nCurves, std::span<int>(starts).first(row.starts),
              std::span<double>(values).first(row.values), std::span<int>(names).first(row.names),
              kNameLength, kReportUnit, flag);
      messages = capture.Text();
    }
    const std::string context = std::string(row.what) + " room " + std::to_string(row.starts) +
                                "/" + std::to_string(row.values) + "/" + std::to_string(row.names);
    EXPECT_EQ(nCurves, row.built) << context;
    EXPECT_EQ(flag, -1) << context;
    std::string curve = std::to_string(row.built + 1);
    curve.insert(0, 4 - curve.size(), ' ');
    EXPECT_EQ(messages, "\n  *** ERROR IN SNDBASE ***\n      Catalogue room too small for the " +
                            std::string(row.what) + " at curve" + curve + "\n")
        << context;
    for (int k = 0; k < kGuard; ++k) {
      ASSERT_EQ(starts[row.starts + k], -5) << context;
      ASSERT_EQ(values[row.values + k], -5.0) << context;
      ASSERT_EQ(names[row.names + k], -5) << context;
    }
    // The curves built are whole and can be used.
    if (row.built > 0) {
      EXPECT_EQ(starts[row.built], kEntries[row.built].start) << context;
    }
  }
}

// A wrong constant in a copied curve shows up as a wrong yearly damage.
TEST(CatalogueDamage, CopiedCurvesGiveTheirDamage) {
  struct Row {
    int number;
    std::vector<double> counts;
    std::array<double, 2> plate;  // thickness, SCF
    double width;
    double expected;
  };
  const std::vector<Row> rows = {
      // B1 AIR: blocks at 10, 30 and 50, all below the break at 93.54 (slope 5).
      {1, {1.0e6, 1.0e5, 1.0e3}, {0, 0}, 20, 3.96004000e-5},
      // DNV D AIR ends at 20.007: a block at 20.01 damages, one at 20 does not.
      {46, {1}, {0, 0}, 40.02, 5.29347615e-9},
      {46, {1}, {0, 0}, 40, 0},
      // T AIR, thickness 50 and SCF 12: factor (50/32)^0.3, block at 137.19 on segment 1.
      {15, {1}, {50, 12}, 20, 1.77003645e-6},
      // BP_SCH, thickness 35 against 17.5: factor 2^0.2.
      {49, {1}, {35, 0}, 20, 1.45753100e-9},
  };
  Catalogue catalogue;
  catalogue.Build();
  for (const Row& row : rows) {
    const std::vector<double> curve = catalogue.Curve(row.number);
    const std::array<double, 4> histogram = {1.0, static_cast<double>(row.counts.size()), row.width,
                                             0.0};
    double damage = -1.0;
    int status = 0;
    testing::UnitCapture capture(kReportUnit);
    QAR02X(row.counts, curve, row.plate, histogram, damage, kReportUnit, status);
    EXPECT_EQ(status, 0) << "curve " << row.number;
    EXPECT_NEAR(damage, row.expected, row.expected * 1e-7) << "curve " << row.number;
  }
}

}  // namespace
}  // namespace qartwo
