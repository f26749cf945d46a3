#include "support/text/clock.h"

#include <array>
#include <cstddef>
#include <ctime>
#include <string_view>

#include "support/text/fields.h"
#include "support/text/fixed_text.h"

namespace qartwo {

namespace {

// The stamp is formatted into a work text of this length before it is fitted to the
// caller's result; the full stamp takes 27 of it.
constexpr std::size_t kStampWorkLength = 80;

constexpr int kYearWidth = 4;
constexpr int kTwoDigitWidth = 2;

// Clocks that report a two- or three-digit year count from 1900.
constexpr int kEarliestFullYear = 1000;
constexpr int kYearBase = 1900;

ClockReading LocalClock() {
  ClockReading reading;
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (now == static_cast<std::time_t>(-1) || localtime_r(&now, &local) == nullptr) {
    return reading;  // all zero: no clock available
  }
  reading.year = local.tm_year + kYearBase;
  reading.month = local.tm_mon + 1;
  reading.day = local.tm_mday;
  reading.hour = local.tm_hour;
  reading.minute = local.tm_min;
  reading.second = local.tm_sec;
  return reading;
}

ClockSource clock_source = LocalClock;

// A two-digit field with leading zeros ("05"); a value that does not fit shows asterisks.
void AppendTwoDigits(OutputLine& line, int value) {
  std::array<char, kTwoDigitWidth> field;
  WriteInteger(field, value);
  for (char& c : field) {
    if (c == ' ') c = '0';
  }
  AppendText(line, std::string_view(field.data(), field.size()));
}

}  // namespace

void SetClockSource(ClockSource source) {
  clock_source = source ? source : LocalClock;
}

void DATTIM(int& year, int& month, int& day, int& hour, int& minute, int& second) {
  const ClockReading reading = clock_source();
  year = reading.year;
  month = reading.month;
  day = reading.day;
  hour = reading.hour;
  minute = reading.minute;
  second = reading.second;
}

void DATSTR(int level, std::span<char> result) {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  DATTIM(year, month, day, hour, minute, second);
  if (year < kEarliestFullYear) year += kYearBase;

  // Levels 1 to 5 end the stamp after the year, month, day, hour or minute; any other level
  // gives the full stamp down to the second.
  const int last_field = (level >= 1 && level <= 5) ? level : 6;
  OutputLine line;
  AppendText(line, " Date : ");
  AppendInteger(line, year, kYearWidth);
  const std::array<std::string_view, 5> separators = {"-", "-", " ", ":", ":"};
  const std::array<int, 5> values = {month, day, hour, minute, second};
  for (int field = 2; field <= last_field; ++field) {
    AppendText(line, separators[static_cast<std::size_t>(field - 2)]);
    AppendTwoDigits(line, values[static_cast<std::size_t>(field - 2)]);
  }

  std::array<char, kStampWorkLength> work;
  SetText(work, LineText(line));
  const std::string_view stamp = TextView(work);
  SetText(result, TrimTrailingBlanks(stamp));
}

}  // namespace qartwo
