// The local date and time, and the date stamp of the report.
#pragma once

#include <span>

namespace qartwo {

struct ClockReading {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// Where DATTIM reads the time; nullptr restores the local wall clock. Tests set a fixed one.
using ClockSource = ClockReading (*)();
void SetClockSource(ClockSource source);

// The local date and time to the second.
void DATTIM(int& year, int& month, int& day, int& hour, int& minute, int& second);

// The date stamp " Date : YYYY-MM-DD hh:mm:ss" cut after the field of `level` (1 year,
// 2 month, 3 day, 4 hour, 5 minute; any other level the full stamp), then padded with
// blanks or cut to result.size(). A year below 1000 has 1900 added.
void DATSTR(int level, std::span<char> result);

}  // namespace qartwo
