#include "fatigue/catalogue.h"

#include <gtest/gtest.h>

#include <array>
#include <sstream>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "tests/testing/unit_capture.h"

namespace qartwo {
namespace {

constexpr int kUnit = 20;

// Every curve: its name without trailing blanks, and its whole vector as decimals.
// clang-format off
constexpr std::pair<std::string_view, std::string_view> kCurves[] = {
    {"NORSOK  B1  AIR", "1 1 1 2 3 4 9 15 12.913 3 1e7 16.856 5 0 93.57 25 0 0"},
    {"NORSOK  B2  AIR", "1 2 1 2 3 4 9 15 12.739 3 1e7 16.566 5 0 81.87 25 0 0"},
    {"NORSOK  C   AIR", "1 3 1 2 3 4 9 15 12.592 3 1e7 16.32 5 0 73.1 25 0.15 0"},
    {"NORSOK  C1  AIR", "1 4 1 2 3 4 9 15 12.449 3 1e7 16.081 5 0 65.5 25 0.15 0"},
    {"NORSOK  C2  AIR", "1 5 1 2 3 4 9 15 12.301 3 1e7 15.835 5 0 58.48 25 0.15 0"},
    {"NORSOK  D   AIR", "1 6 1 2 3 4 9 15 12.164 3 1e7 15.606 5 0 52.63 25 0.2 0"},
    {"NORSOK  E   AIR", "1 7 1 2 3 4 9 15 12.01 3 1e7 15.35 5 0 46.78 25 0.2 0"},
    {"NORSOK  F   AIR", "1 8 1 2 3 4 9 15 11.855 3 1e7 15.091 5 0 41.52 25 0.25 0"},
    {"NORSOK  F1  AIR", "1 9 1 2 3 4 9 15 11.699 3 1e7 14.832 5 0 36.84 25 0.25 0"},
    {"NORSOK  F3  AIR", "1 10 1 2 3 4 9 15 11.546 3 1e7 14.576 5 0 32.75 25 0.25 0"},
    {"NORSOK  G   AIR", "1 11 1 2 3 4 9 15 11.398 3 1e7 14.33 5 0 29.24 25 0.25 0"},
    {"NORSOK  W1  AIR", "1 12 1 2 3 4 9 15 11.261 3 1e7 14.101 5 0 26.32 25 0.25 0"},
    {"NORSOK  W2  AIR", "1 13 1 2 3 4 9 15 11.107 3 1e7 13.845 5 0 23.39 25 0.25 0"},
    {"NORSOK  W3  AIR", "1 14 1 2 3 4 9 15 10.97 3 1e7 13.617 5 0 21.05 25 0.25 0"},
    {"NORSOK  T   AIR", "1 15 1 2 3 4 9 15 12.164 3 1e7 15.606 5 0 52.63 32 0.25 0.3"},
    {"NORSOK  B1  SEA_CAT", "1 1 2 2 3 4 9 15 12.513 3 1e6 16.856 5 0 93.57 25 0 0"},
    {"NORSOK  B2  SEA_CAT", "1 2 2 2 3 4 9 15 12.339 3 1e6 16.566 5 0 81.87 25 0 0"},
    {"NORSOK  C   SEA_CAT", "1 3 2 2 3 4 9 15 12.192 3 1e6 16.32 5 0 73.1 25 0.15 0"},
    {"NORSOK  C1  SEA_CAT", "1 4 2 2 3 4 9 15 12.049 3 1e6 16.081 5 0 65.5 25 0.15 0"},
    {"NORSOK  C2  SEA_CAT", "1 5 2 2 3 4 9 15 11.901 3 1e6 15.835 5 0 58.48 25 0.15 0"},
    {"NORSOK  D   SEA_CAT", "1 6 2 2 3 4 9 15 11.764 3 1e6 15.606 5 0 52.63 25 0.2 0"},
    {"NORSOK  E   SEA_CAT", "1 7 2 2 3 4 9 15 11.61 3 1e6 15.35 5 0 46.78 25 0.2 0"},
    {"NORSOK  F   SEA_CAT", "1 8 2 2 3 4 9 15 11.455 3 1e6 15.091 5 0 41.52 25 0.25 0"},
    {"NORSOK  F1  SEA_CAT", "1 9 2 2 3 4 9 15 11.299 3 1e6 14.832 5 0 36.84 25 0.25 0"},
    {"NORSOK  F3  SEA_CAT", "1 10 2 2 3 4 9 15 11.146 3 1e6 14.576 5 0 32.75 25 0.25 0"},
    {"NORSOK  G   SEA_CAT", "1 11 2 2 3 4 9 15 10.998 3 1e6 14.33 5 0 29.24 25 0.25 0"},
    {"NORSOK  W1  SEA_CAT", "1 12 2 2 3 4 9 15 10.861 3 1e6 14.101 5 0 26.32 25 0.25 0"},
    {"NORSOK  W2  SEA_CAT", "1 13 2 2 3 4 9 15 10.707 3 1e6 13.845 5 0 23.39 25 0.25 0"},
    {"NORSOK  W3  SEA_CAT", "1 14 2 2 3 4 9 15 10.57 3 1e6 13.617 5 0 21.05 25 0.25 0"},
    {"NORSOK  T   SEA_CAT", "1 15 2 2 3 4 9 15 11.764 3 1e6 15.606 5 0 52.63 32 0.25 0.3"},
    {"NORSOK  B1  SEA_FREE", "1 1 3 1 3 3 9 12 12.436 3 0 25 0 0"},
    {"NORSOK  B2  SEA_FREE", "1 2 3 1 3 3 9 12 12.262 3 0 25 0 0"},
    {"NORSOK  C   SEA_FREE", "1 3 3 1 3 3 9 12 12.115 3 0 25 0.15 0"},
    {"NORSOK  C1  SEA_FREE", "1 4 3 1 3 3 9 12 11.972 3 0 25 0.15 0"},
    {"NORSOK  C2  SEA_FREE", "1 5 3 1 3 3 9 12 11.824 3 0 25 0.15 0"},
    {"NORSOK  D   SEA_FREE", "1 6 3 1 3 3 9 12 11.687 3 0 25 0.2 0"},
    {"NORSOK  E   SEA_FREE", "1 7 3 1 3 3 9 12 11.533 3 0 25 0.2 0"},
    {"NORSOK  F   SEA_FREE", "1 8 3 1 3 3 9 12 11.378 3 0 25 0.25 0"},
    {"NORSOK  F1  SEA_FREE", "1 9 3 1 3 3 9 12 11.222 3 0 25 0.25 0"},
    {"NORSOK  F3  SEA_FREE", "1 10 3 1 3 3 9 12 11.068 3 0 25 0.25 0"},
    {"NORSOK  G   SEA_FREE", "1 11 3 1 3 3 9 12 10.921 3 0 25 0.25 0"},
    {"NORSOK  W1  SEA_FREE", "1 12 3 1 3 3 9 12 10.784 3 0 25 0.25 0"},
    {"NORSOK  W2  SEA_FREE", "1 13 3 1 3 3 9 12 10.63 3 0 25 0.25 0"},
    {"NORSOK  W3  SEA_FREE", "1 14 3 1 3 3 9 12 10.493 3 0 25 0.25 0"},
    {"NORSOK  T   SEA_FREE", "1 15 3 1 3 3 9 12 11.687 3 0 32 0.25 0.3"},
    {"DNV     D   AIR", "2 1 1 1 3 1 9 12 12.18 3 189e6 20"},
    {"DNV     D   SEA_CAT", "2 1 2 1 3 1 9 12 12.18 3 189e6 20"},
    {"DNV     D   SEA_FREE", "2 1 3 1 3 1 9 12 12.18 3 0 0"},
    {"NORSOK  E     BP_SCH", "1 7 0 1 3 3 9 12 12.017 3 0 17.5 0.2 0"},
    {"NORSOK  E     BP_SVI", "1 7 0 1 3 3 9 12 12.017 3 0 19.05 0.2 0"}};
// clang-format on
static_assert(std::size(kCurves) == kCatalogueCurves);

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

TEST(Sndbase, BuildsEveryCurveAsTheCatalogueListsIt) {
  const Build catalogue(kCatalogueStartRoom, kCatalogueValueRoom, 2000);
  EXPECT_EQ(catalogue.error_flag, -2);
  EXPECT_EQ(catalogue.messages, "");
  ASSERT_EQ(catalogue.nCurves, kCatalogueCurves);
  // Starts follow from the lengths; names are stored as their codes, zeros after them.
  const auto values_at = catalogue.curveValues.begin();
  const auto names_at = catalogue.curveNames.begin();
  int start = 1;
  for (int n = 1; n <= kCatalogueCurves; ++n) {
    const auto [name, values] = kCurves[n - 1];
    SCOPED_TRACE("curve " + std::to_string(n));
    const std::vector<double> expected = Widened(values);
    ASSERT_EQ(catalogue.iCurveStart[n - 1], start);
    EXPECT_EQ(std::vector(values_at + start - 1, values_at + start - 1 + std::ssize(expected)),
              expected);
    start += static_cast<int>(expected.size());
    std::string padded(name);
    padded.resize(kNameLength, ' ');
    EXPECT_EQ(std::string(kCatalogueNames[n - 1]) + ";", padded + ";");
    std::vector<int> codes(name.begin(), name.end());
    codes.resize(kNameLength, 0);
    EXPECT_EQ(std::vector(names_at + (n - 1) * kNameLength, names_at + n * kNameLength), codes);
  }
  EXPECT_EQ(catalogue.iCurveStart[kCatalogueCurves], 815);
  EXPECT_EQ(catalogue.curveValues[8], 12.913000106811523);  // widened, not the double 12.913
  EXPECT_EQ(catalogue.curveValues[14], 93.56999969482422);
}

TEST(Sndbase, ZeroesAndCountsEveryNameLongerThanLdn) {
  const Build catalogue(kCatalogueStartRoom, kCatalogueValueRoom, 2000, 15);
  EXPECT_EQ(catalogue.nCurves, kCatalogueCurves);
  EXPECT_EQ(catalogue.error_flag, -2 - 34);  // only the 16 names of 15 characters fit
  EXPECT_NE(catalogue.messages.find("Error in routine *CH2INT*"), std::string::npos);
  for (int n = 1; n <= kCatalogueCurves; ++n) {
    const std::string_view name = kCurves[n - 1].first;
    EXPECT_EQ(catalogue.curveNames[(n - 1) * 15], name.size() <= 15 ? name[0] : 0) << "curve " << n;
  }
}

// Room for the start table, values and names; curves built; what ran short ("": nothing).
TEST(Sndbase, StopsBeforeTheCurveThatDoesNotFit) {
  constexpr int kStarts = kCatalogueStartRoom, kValues = kCatalogueValueRoom, kNames = 2000;
  const std::tuple<int, int, int, int, std::string_view> rows[] = {
      {30, kValues, kNames, 29, "curve start table at curve  30"},
      {0, kValues, kNames, 0, "curve start table at curve   1"},
      {kStarts, 813, kNames, 49, "curve values at curve  50"},
      {kStarts, kValues, kNames - 1, 49, "curve names at curve  50"},
      {kStarts, 814, kNames, 50, ""}};
  for (const auto& [starts, values, names, built, what] : rows) {
    SCOPED_TRACE(std::string(what));
    const Build catalogue(starts, values, names);
    const std::string message =
        "\n  *** ERROR IN SNDBASE ***\n      Catalogue room too small for the ";
    EXPECT_EQ(catalogue.messages, what.empty() ? "" : message + std::string(what) + "\n");
    EXPECT_EQ(catalogue.nCurves, built);
    EXPECT_EQ(catalogue.error_flag, what.empty() ? -2 : -3);
  }
}

TEST(Sncopy, CopiesOrNegatesTheProductOfTheCountsWithinBothSpans) {
  const std::vector<double> source = {1, -2, 3.5, 0, 5, 6, 7};
  // Counts, sign, destination size (of 8 values, all 9 before), the 8 values afterwards.
  const std::tuple<int, int, int, int, std::vector<double>> rows[] = {
      {2, 3, 1, 8, {1, -2, 3.5, 0, 5, 6, 9, 9}},  {2, 2, -1, 8, {-1, 2, -3.5, -0.0, 9, 9, 9, 9}},
      {0, 5, -1, 8, {9, 9, 9, 9, 9, 9, 9, 9}},    {-2, 3, 0, 8, {9, 9, 9, 9, 9, 9, 9, 9}},
      {99, 1, 0, 8, {1, -2, 3.5, 0, 5, 6, 7, 9}}, {7, 1, 0, 3, {1, -2, 3.5, 9, 9, 9, 9, 9}}};
  for (const auto& [first_count, second_count, sign, size, expected] : rows) {
    std::vector<double> destination(8, 9);
    SNCOPY(source, std::span(destination).first(size), first_count, second_count, sign);
    EXPECT_EQ(destination, expected)
        << first_count << " x " << second_count << ", sign " << sign << ", room " << size;
  }
}

}  // namespace
}  // namespace qartwo
