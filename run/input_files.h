// The two input files of an assessment read as the dialogue and the batch read them, with the
// diagnostics a run writes about them and about a damage that is not finite.
#pragma once

#include <span>
#include <string_view>

namespace qartwo {

// Writes `before`, the name quoted (trailing blanks dropped, controls shown) and `after` as
// one line to `unit`.
void WriteFileError(int unit, std::string_view before, std::string_view name,
                    std::string_view after);

// Writes why the file answer `name` cannot be used as `what` (e.g. "the report file"):
// " *** ERROR: cannot use "<name>" as <what>: <reason>".
void WriteFileRefusal(int unit, std::string_view name, std::string_view what,
                      std::string_view reason);

// Reads the cycle histogram open on `unit` (named `file_name`) into `counts`, one line at a
// time through `line`, and checks its block count; on success `histogram` becomes (1.0,
// number of blocks, block width, spare value). Notes and problems go to `message_unit`; a block
// count mismatch also shows " *** ERROR. Number of blocks mismatch " on `console_unit`.
// Returns the exit status: 0; 1 refused, unreadable or a mismatch; 2 an input error.
[[nodiscard]] int ReadHistogramInput(int unit, std::string_view file_name, std::span<char> line,
                                     std::span<double> counts, std::span<double, 4> histogram,
                                     int message_unit, int console_unit);

// Reads the SN-curve file open on `unit` (named `file_name`) into `curve` and `name_line`,
// announcing the name on `console_unit`; notes and problems go to `message_unit`. Returns the
// exit status as ReadHistogramInput does.
[[nodiscard]] int ReadCurveInput(int unit, std::string_view file_name, std::span<char> line,
                                 std::span<double> curve, std::span<char> name_line,
                                 int message_unit, int console_unit);

// Writes why a damage per year that is not a finite number is refused to `unit`.
void WriteDamageNotFinite(int unit);

}  // namespace qartwo
