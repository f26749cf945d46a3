#include "fatigue/catalogue.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "tests/testing/unit_capture.h"

namespace qartwo {
namespace {

constexpr int kUnit = 20;

// The decimals of `text` as the catalogue holds them: nearest floats, widened.
std::vector<double> Widened(std::string_view text) {
  std::istringstream in{std::string(text)};
  std::vector<double> values;
  for (float value; in >> value;) values.push_back(value);
  return values;
}

// SNDBASE with room for `starts` starts, `values` values and `names` name codes, each area the
// front of one longer by a -5 that must stay, and an earlier error count of -2.
struct Build {
  int nCurves = -1, error_flag = -2;
  std::vector<int> iCurveStart, curveNames;
  std::vector<double> curveValues;
  std::string messages;

  Build(int starts, int values, int names, int ldn = kNameLength)
      : iCurveStart(starts + 1, -5), curveNames(names + 1, -5), curveValues(values + 1, -5) {
    testing::UnitCapture capture(kUnit);
    SNDBASE(nCurves, std::span(iCurveStart).first(starts), std::span(curveValues).first(values),
            std::span(curveNames).first(names), ldn, kUnit, error_flag);
    messages = capture.Text();
    EXPECT_EQ(std::tuple(iCurveStart.back(), curveValues.back(), curveNames.back()),
              std::tuple(-5, -5.0, -5));
  }
};

// Every curve's length and every value (by a sum weighted with the element number, so that a
// value moved also shows) against the published table; whole vectors and names of a curve of
// each kind. A full check of every value and name is the job of the curve reference.
TEST(Sndbase, BuildsTheCatalogueAsPublished) {
  const Build catalogue(kCatalogueStartRoom, kCatalogueValueRoom, 2000);
  EXPECT_EQ(catalogue.error_flag, -2);
  EXPECT_EQ(catalogue.messages, "");
  ASSERT_EQ(catalogue.nCurves, kCatalogueCurves);
  std::vector<int> lengths, expected_lengths(30, 18);  // 30 curves of two segments, ...
  expected_lengths.resize(45, 14);
  expected_lengths.resize(48, 12);  // ... three DNV ones of one segment and one fixed value
  expected_lengths.resize(kCatalogueCurves, 14);
  for (int n = 1; n <= kCatalogueCurves; ++n)
    lengths.push_back(catalogue.iCurveStart[n] - catalogue.iCurveStart[n - 1]);
  EXPECT_EQ(lengths, expected_lengths);
  EXPECT_EQ(catalogue.iCurveStart[kCatalogueCurves], 815);
  double weighted_sum = 0;
  for (int k = 1; k <= kCatalogueValuesUsed; ++k) weighted_sum += k * catalogue.curveValues[k - 1];
  EXPECT_DOUBLE_EQ(weighted_sum, 316583250131.71356);  // the published values, as floats

  struct Row {
    int curve;
    std::string_view name, values;
  };
  // clang-format off
  const Row rows[] = {
      {.curve = 1, .name = "NORSOK  B1  AIR",
       .values = "1 1 1 2 3 4 9 15 12.913 3 1e7 16.856 5 0 93.57 25 0 0"},
      {.curve = 30, .name = "NORSOK  T   SEA_CAT",
       .values = "1 15 2 2 3 4 9 15 11.764 3 1e6 15.606 5 0 52.63 32 0.25 0.3"},
      {.curve = 45, .name = "NORSOK  T   SEA_FREE",
       .values = "1 15 3 1 3 3 9 12 11.687 3 0 32 0.25 0.3"},
      {.curve = 46, .name = "DNV     D   AIR", .values = "2 1 1 1 3 1 9 12 12.18 3 189e6 20"},
      {.curve = 49, .name = "NORSOK  E     BP_SCH",
       .values = "1 7 0 1 3 3 9 12 12.017 3 0 17.5 0.2 0"},
      {.curve = 50, .name = "NORSOK  E     BP_SVI",
       .values = "1 7 0 1 3 3 9 12 12.017 3 0 19.05 0.2 0"}};
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.name) + ";");
    const std::vector<double> expected = Widened(row.values);
    const auto values_at = catalogue.curveValues.begin() + catalogue.iCurveStart[row.curve - 1] - 1;
    EXPECT_EQ(std::vector(values_at, values_at + std::ssize(expected)), expected);
    std::vector<int> codes(row.name.begin(), row.name.end());
    codes.resize(kNameLength, 0);
    const auto names_at = catalogue.curveNames.begin() + (row.curve - 1) * kNameLength;
    EXPECT_EQ(std::vector(names_at, names_at + kNameLength), codes);  // zeros after the name
  }
}

// What ran short stops the build before the curve that does not fit; a name longer than ldn
// is reported, counted and left zero, and the build goes on.
TEST(Sndbase, StopsBeforeTheCurveThatDoesNotFitAndCountsNamesLongerThanLdn) {
  struct Row {
    int starts = kCatalogueStartRoom, values = kCatalogueValueRoom, names = 2000, ldn = kNameLength;
    int built = kCatalogueCurves, error_flag = -3;
    std::string message = "";  // the start of what was written
  };
  const std::string room = "\n  *** ERROR IN SNDBASE ***\n      Catalogue room too small for the ";
  const Row rows[] = {
      {.starts = 30, .built = 29, .message = room + "curve start table at curve  30\n"},
      {.starts = 0, .built = 0, .message = room + "curve start table at curve   1\n"},
      {.values = 813, .built = 49, .message = room + "curve values at curve  50\n"},
      {.names = 1999, .built = 49, .message = room + "curve names at curve  50\n"},
      {.values = 814, .error_flag = -2},
      // Only the 16 names of 15 characters fit.
      {.ldn = 15, .error_flag = -2 - 34, .message = "\n\n   Error in routine *CH2INT*"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.message + ";");
    const Build catalogue(row.starts, row.values, row.names, row.ldn);
    EXPECT_EQ(catalogue.nCurves, row.built);
    EXPECT_EQ(catalogue.error_flag, row.error_flag);
    if (row.ldn == kNameLength) {
      EXPECT_EQ(catalogue.messages + ";", row.message + ";");
      continue;
    }
    EXPECT_EQ(catalogue.messages.substr(0, row.message.size()) + ";", row.message + ";");
    EXPECT_EQ(catalogue.curveNames[0], 'N');      // curve 1's name fits
    EXPECT_EQ(catalogue.curveNames[15 * 15], 0);  // curve 16's does not
  }
}

TEST(Sncopy, CopiesOrNegatesTheProductOfTheCountsWithinBothSpans) {
  const std::vector<double> source = {1, -2, 3.5, 0, 5, 6, 7};
  // Counts, sign, destination size (of 8 values, all 9 before), the 8 values afterwards.
  struct Row {
    int first, second, sign, room = 8;
    std::vector<double> after;
  };
  const Row rows[] = {
      {.first = 2, .second = 3, .sign = 1, .after = {1, -2, 3.5, 0, 5, 6, 9, 9}},
      {.first = 2, .second = 2, .sign = -1, .after = {-1, 2, -3.5, -0.0, 9, 9, 9, 9}},
      {.first = 0, .second = 5, .sign = -1, .after = {9, 9, 9, 9, 9, 9, 9, 9}},
      {.first = -2, .second = 3, .sign = 0, .after = {9, 9, 9, 9, 9, 9, 9, 9}},
      {.first = 99, .second = 1, .sign = 0, .after = {1, -2, 3.5, 0, 5, 6, 7, 9}},
      {.first = 7, .second = 1, .sign = 0, .room = 3, .after = {1, -2, 3.5, 9, 9, 9, 9, 9}}};
  for (const Row& row : rows) {
    std::vector<double> destination(8, 9);
    SNCOPY(source, std::span(destination).first(row.room), row.first, row.second, row.sign);
    EXPECT_EQ(destination, row.after)
        << row.first << " x " << row.second << ", sign " << row.sign << ", room " << row.room;
  }
}

}  // namespace
}  // namespace qartwo
