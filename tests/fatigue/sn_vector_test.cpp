#include "fatigue/sn_vector.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>
#include <limits>

namespace qartwo {
namespace {

TEST(WholeNumber, RoundsHalvesAwayFromZero) {
  struct Case {
    double value;
    int expected;
  };
  const Case cases[] = {
      {2.0, 2},
      {2.4999, 2},
      {2.5, 3},
      {-2.5, -3},
      {-2.4999, -2},
      {0.5, 1},
      {-0.5, -1},
      {14.9, 15},
      {1e300, INT_MAX},
      {-1e300, INT_MIN},
      {2147483647.4, INT_MAX},
      {std::numeric_limits<double>::quiet_NaN(), 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WholeNumber(c.value), c.expected) << "value " << c.value;
  }
}

TEST(HeaderInteger, ReadsOnlyInsideTheVector) {
  const std::array<double, 8> header = {1, 2, 3, 2, 3, 4, 9, 14.5};
  EXPECT_EQ(HeaderInteger(header, kIStandard), 1);
  EXPECT_EQ(HeaderInteger(header, kIFirstFix), 15);
  EXPECT_EQ(HeaderInteger(header, 0), 0);
  EXPECT_EQ(HeaderInteger(header, 9), 0);
  EXPECT_EQ(HeaderInteger(std::span<const double>(header).first(3), kNSNlin), 0);
}

}  // namespace
}  // namespace qartwo
