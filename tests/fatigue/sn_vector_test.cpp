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

TEST(ElementBlock, RefusesBlocksReachingOutside) {
  const std::array<double, 6> vector = {10, 11, 12, 13, 14, 15};
  struct Case {
    int first;
    long long count;
    std::ptrdiff_t expected_start;  // -1 when refused
  };
  const Case cases[] = {
      {1, 6, 0},          {4, 3, 3},  {7, 0, 6},
      {4, 4, -1},         {8, 0, -1}, {0, 1, -1},
      {2, -1, -1},        {2, 0, 1},  {INT_MAX, LLONG_MAX, -1},
      {1, LLONG_MAX, -1},
  };
  for (const Case& c : cases) {
    const auto block = ElementBlock(vector, c.first, c.count);
    if (c.expected_start < 0) {
      EXPECT_FALSE(block.has_value()) << "first " << c.first << ", count " << c.count;
      continue;
    }
    ASSERT_TRUE(block.has_value()) << "first " << c.first << ", count " << c.count;
    EXPECT_EQ(block->data(), vector.data() + c.expected_start) << "first " << c.first;
    EXPECT_EQ(block->size(), static_cast<std::size_t>(c.count)) << "first " << c.first;
  }
}

TEST(ElementsFrom, TailOrNothing) {
  const std::array<double, 4> vector = {1, 2, 3, 4};
  EXPECT_EQ(ElementsFrom(vector, 2).data(), vector.data() + 1);
  EXPECT_EQ(ElementsFrom(vector, 2).size(), 3u);
  EXPECT_TRUE(ElementsFrom(vector, 5).empty());
  EXPECT_TRUE(ElementsFrom(vector, 6).empty());
  EXPECT_TRUE(ElementsFrom(vector, 0).empty());
  EXPECT_TRUE(ElementsFrom(vector, -3).empty());
}

}  // namespace
}  // namespace qartwo
