#include "support/clock.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>

namespace qartwo {
namespace {

ClockReading fixed_reading;

ClockReading FixedClock() {
  return fixed_reading;
}

class DateStamp : public ::testing::Test {
 protected:
  void SetUp() override {
    fixed_reading = {2006, 1, 5, 14, 3, 9};
    SetClockSource(FixedClock);
  }
  void TearDown() override { SetClockSource(nullptr); }

  static std::string Stamp(int level, std::size_t length) {
    std::string result(length, '#');
    DATSTR(level, result);
    return result + ";";
  }
};

TEST_F(DateStamp, LevelChoosesTheLastField) {
  struct Case {
    int level;
    std::string expected;
  };
  const Case cases[] = {
      {1, " Date : 2006"},
      {2, " Date : 2006-01"},
      {3, " Date : 2006-01-05"},
      {4, " Date : 2006-01-05 14"},
      {5, " Date : 2006-01-05 14:03"},
      {6, " Date : 2006-01-05 14:03:09"},
      {0, " Date : 2006-01-05 14:03:09"},
      {7, " Date : 2006-01-05 14:03:09"},
      {-1, " Date : 2006-01-05 14:03:09"},
      {-2147483647 - 1, " Date : 2006-01-05 14:03:09"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Stamp(c.level, c.expected.size()), c.expected + ";") << "level " << c.level;
    EXPECT_EQ(Stamp(c.level, 30), c.expected + std::string(30 - c.expected.size(), ' ') + ";")
        << "level " << c.level;
  }
}

TEST_F(DateStamp, ResultIsCutOrPaddedToItsLength) {
  EXPECT_EQ(Stamp(6, 20), " Date : 2006-01-05 1;");
  EXPECT_EQ(Stamp(6, 80), " Date : 2006-01-05 14:03:09" + std::string(53, ' ') + ";");
  EXPECT_EQ(Stamp(6, 0), ";");
  EXPECT_EQ(Stamp(6, 256), " Date : 2006-01-05 14:03:09" + std::string(229, ' ') + ";");
}

TEST_F(DateStamp, YearAndFieldsOutsideTheirUsualRange) {
  struct Case {
    ClockReading reading;
    std::string expected;
  };
  const Case cases[] = {
      {{106, 12, 31, 23, 59, 59}, " Date : 2006-12-31 23:59:59"},  // year counted from 1900
      {{0, 1, 1, 0, 0, 0}, " Date : 1900-01-01 00:00:00"},
      {{999, 1, 1, 0, 0, 0}, " Date : 2899-01-01 00:00:00"},
      {{1000, 1, 1, 0, 0, 0}, " Date : 1000-01-01 00:00:00"},
      {{12345, 1, 1, 0, 0, 0}, " Date : ****-01-01 00:00:00"},
      {{2024, 100, 7, 0, 0, 0}, " Date : 2024-**-07 00:00:00"},
  };
  for (const Case& c : cases) {
    fixed_reading = c.reading;
    EXPECT_EQ(Stamp(6, 27), c.expected + ";") << "year " << c.reading.year;
  }
}

TEST_F(DateStamp, DATTIMReturnsTheClockValues) {
  fixed_reading = {2031, 11, 30, 8, 45, 1};
  int year = -1, month = -1, day = -1, hour = -1, minute = -1, second = -1;
  DATTIM(year, month, day, hour, minute, second);
  EXPECT_EQ(year, 2031);
  EXPECT_EQ(month, 11);
  EXPECT_EQ(day, 30);
  EXPECT_EQ(hour, 8);
  EXPECT_EQ(minute, 45);
  EXPECT_EQ(second, 1);
}

// Without a set clock DATTIM reads the local wall clock.
TEST(DATTIM, ReadsTheLocalClock) {
  SetClockSource(nullptr);
  for (int attempt = 0; attempt < 3; ++attempt) {
    const std::time_t before = std::time(nullptr);
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    DATTIM(year, month, day, hour, minute, second);
    if (std::time(nullptr) != before) continue;  // the second turned over: try again
    std::tm local{};
    ASSERT_NE(localtime_r(&before, &local), nullptr);
    EXPECT_EQ(year, local.tm_year + 1900);
    EXPECT_EQ(month, local.tm_mon + 1);
    EXPECT_EQ(day, local.tm_mday);
    EXPECT_EQ(hour, local.tm_hour);
    EXPECT_EQ(minute, local.tm_min);
    EXPECT_EQ(second, local.tm_sec);
    return;
  }
  FAIL() << "the clock never held still for one reading";
}

}  // namespace
}  // namespace qartwo
