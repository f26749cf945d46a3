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

// With exactly the room it needs SNDBASE builds every curve: each header (codes from the words
// of the name, 0 for a word not in its list; sizes from the number table) and the start table.
// The curve reference's test holds every value after the headers, and every name as read back
// from its codes. With less room the build stops before the curve that does not fit; a name
// longer than ldn is reported, counted and left zero, and the build goes on. Each area is the
// front of one longer by a -5 that must stay; the error count was -2 before.
TEST(Sndbase, BuildsEveryCurveInTheRoomItNeedsOrStopsBeforeTheOneThatDoesNotFit) {
  struct Row {
    int starts = kCatalogueStartRoom, values = kCatalogueValuesUsed, names = 2000;
    int ldn = kNameLength, built = kCatalogueCurves, error_flag = -3;
    std::string message = "";  // the start of what was written
  };
  const std::string room = "\n  *** ERROR IN SNDBASE ***\n      Catalogue room too small for the ";
  const Row rows[] = {
      {.starts = 30, .built = 29, .message = room + "curve start table at curve  30\n"},
      {.starts = 0, .built = 0, .message = room + "curve start table at curve   1\n"},
      {.values = 813, .built = 49, .message = room + "curve values at curve  50\n"},
      {.names = 1999, .built = 49, .message = room + "curve names at curve  50\n"},
      {.error_flag = -2},
      // Only the 16 names of 15 characters fit.
      {.ldn = 15, .error_flag = -2 - 34, .message = "\n\n   Error in routine *CH2INT*"}};
  // The headers of curves first to last: that of the first, element `rising` going up by 1.
  struct Headers {
    int first, last, rising = 0;
    std::vector<double> header;
  };
  const Headers headers[] = {
      {.first = 1, .last = 15, .rising = kIClass, .header = {1, 1, 1, 2, 3, 4, 9, 15}},
      {.first = 16, .last = 30, .rising = kIClass, .header = {1, 1, 2, 2, 3, 4, 9, 15}},
      {.first = 31, .last = 45, .rising = kIClass, .header = {1, 1, 3, 1, 3, 3, 9, 12}},
      {.first = 46, .last = 48, .rising = kIEnv, .header = {2, 1, 1, 1, 3, 1, 9, 12}},
      {.first = 49, .last = 50, .header = {1, 7, 0, 1, 3, 3, 9, 12}}};
  for (const Row& row : rows) {
    SCOPED_TRACE(::testing::Message() << "room " << row.starts << ", " << row.values << ", "
                                      << row.names << ", ldn " << row.ldn);
    int nCurves = -1, error_flag = -2;
    std::vector<int> starts(row.starts + 1, -5), names(row.names + 1, -5);
    std::vector<double> values(row.values + 1, -5);
    testing::UnitCapture capture(kUnit);
    SNDBASE(nCurves, std::span(starts).first(row.starts), std::span(values).first(row.values),
            std::span(names).first(row.names), row.ldn, kUnit, error_flag);
    EXPECT_EQ(std::tuple(starts.back(), values.back(), names.back()), std::tuple(-5, -5.0, -5));
    EXPECT_EQ(nCurves, row.built);
    EXPECT_EQ(error_flag, row.error_flag);
    const bool cut = row.ldn != kNameLength;  // then `message` is the start of the messages
    EXPECT_EQ(capture.Text().substr(0, cut ? row.message.size() : std::string::npos) + ";",
              row.message + ";");
    if (cut) {  // curve 2's name fits, from code 16 on; curve 16's does not
      EXPECT_EQ(names[15], 'N');
      EXPECT_EQ(names[225], 0);
    }
    if (!row.message.empty()) continue;  // what follows is the complete build's
    EXPECT_EQ(starts[kCatalogueCurves], 815);
    for (const Headers& group : headers) {
      for (int n = group.first; n <= group.last; ++n) {
        std::vector<double> header = group.header;
        if (group.rising > 0) header[group.rising - 1] += n - group.first;
        const int start = starts[n - 1], length = starts[n] - start;
        EXPECT_EQ(std::vector(&values[start - 1], &values[start - 1 + kHeaderLength]), header)
            << "curve " << n;
        EXPECT_EQ(length, header[kIFirstFix - 1] - 1 + header[kNFixPar - 1]) << "curve " << n;
      }
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
