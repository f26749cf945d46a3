#include "fatigue/catalogue.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "fatigue/sn_vector.h"
#include "tests/testing/unit_capture.h"

namespace qartwo {
namespace {

constexpr int kUnit = 20;

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

// Each header (codes from the words of the name, 0 for a word not in its list; sizes from the
// number table) and the start table, in the complete build of the room test's exact fit. The
// curve reference's test holds every value after the headers, and every name as read back from
// its codes.
TEST(Sndbase, BuildsTheHeadersAndTheStartTable) {
  const Build catalogue(kCatalogueStartRoom, kCatalogueValueRoom, kCatalogueNameRoom * kNameLength);
  EXPECT_EQ(catalogue.iCurveStart[kCatalogueCurves], 815);
  // Curves first to last: the header of the first, element `rising` going up by 1 per curve.
  struct Row {
    int first, last, rising = 0;
    std::vector<double> header;
  };
  const Row rows[] = {
      {.first = 1, .last = 15, .rising = kIClass, .header = {1, 1, 1, 2, 3, 4, 9, 15}},
      {.first = 16, .last = 30, .rising = kIClass, .header = {1, 1, 2, 2, 3, 4, 9, 15}},
      {.first = 31, .last = 45, .rising = kIClass, .header = {1, 1, 3, 1, 3, 3, 9, 12}},
      {.first = 46, .last = 48, .rising = kIEnv, .header = {2, 1, 1, 1, 3, 1, 9, 12}},
      {.first = 49, .last = 50, .header = {1, 7, 0, 1, 3, 3, 9, 12}}};
  for (const Row& row : rows) {
    for (int n = row.first; n <= row.last; ++n) {
      std::vector<double> header = row.header;
      if (row.rising > 0) header[row.rising - 1] += n - row.first;
      const int start = catalogue.iCurveStart[n - 1], length = catalogue.iCurveStart[n] - start;
      const auto values = catalogue.curveValues.begin() + start - 1;
      EXPECT_EQ(std::vector(values, values + kHeaderLength), header) << "curve " << n;
      EXPECT_EQ(length, header[kIFirstFix - 1] - 1 + header[kNFixPar - 1]) << "curve " << n;
    }
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
    const bool cut = row.ldn != kNameLength;  // then `message` is the start of the messages
    const std::size_t compared = cut ? row.message.size() : std::string::npos;
    EXPECT_EQ(catalogue.messages.substr(0, compared) + ";", row.message + ";");
    if (cut) {  // curve 2's name fits, from code 16 on; curve 16's does not
      EXPECT_EQ(catalogue.curveNames[15], 'N');
      EXPECT_EQ(catalogue.curveNames[225], 0);
    }
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
      {.first = 2, .second = 2, .sign = -1, .after = {-1, 2, -3.5, -0.0, 9, 9, 9, 9}},
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
