// The cycle histogram reader: a header line (number of blocks, block width, spare header
// value) followed by one block line per stress class (a leading value that is dropped, then
// the block's cycles per year).
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "run/input_lines.h"
#include "support/io/units.h"
#include "support/text/free_form.h"

namespace qartwo {

// Room of the block counts the main program owns.
inline constexpr std::size_t kMaxBlocks = 10000;

// What the reader took from the file, and where it stopped when it could not go on.
struct HistogramFileResult {
  InputFileStatus status = InputFileStatus::kOk;
  // From the header line; left at 0 when the file has no data line.
  int number_of_blocks = 0;
  double block_width = 0.0;
  double spare_value = 0.0;
  // Block lines read; the counts of blocks 1..block_lines are filled. The caller compares
  // it with number_of_blocks.
  int block_lines = 0;
  // Not kOk: the failing line (for kUnitError the last line read) and its data-line number.
  InputLinePosition position;
  // kInputError, kRefused: the failing line without trailing blanks; a view into the
  // caller's line buffer, valid until that buffer changes.
  std::string_view line_text;
  InputProblem problem = InputProblem::kNone;  // kInputError: what is wrong
  FreeFormResult value;                        // kValue: which value failed, on what text
  int value_index = 0;                 // kBelowZero, kNotAboveZero, kNotGiven: which value (from 0)
  std::size_t block_room = 0;          // kRefused: the room of the block counts
  IoStatus io_status = IoStatus::kOk;  // kUnitError
  SurplusValues surplus;               // the first data line with a number after the values read
};

// Reads the histogram on `unit` to its end, one line at a time into `line` (256 characters),
// block line i giving block_counts[i - 1]. Stops with kInputError at the first data line with
// too few values, a value of the wrong kind, a value cut at column 256, a needed value left out
// (the number of blocks, the width for 1 or more blocks, a count), a number of blocks below 0,
// a width of 0 or below for 1 or more blocks, or a count below 0, and at the end of a file
// without a header line; with kRefused at the first block line beyond block_counts.size() (the
// program passes kMaxBlocks); with kUnitError when the unit fails. Never writes outside `line`
// and `block_counts`; writes nothing to any unit.
[[nodiscard]] HistogramFileResult ReadHistogramFile(int unit, std::span<char> line,
                                                    std::span<double> block_counts);

// Writes the diagnostic for a result that is not kOk to `unit` (nothing for kOk): the file
// name, the line number, the line's text and what was expected, or the limit it broke.
void WriteHistogramFileProblem(int unit, std::string_view file_name,
                               const HistogramFileResult& result);

// Writes the note on the first data line with a number after its values (see SurplusValues)
// to `unit`; nothing when there is none.
void WriteHistogramFileNote(int unit, std::string_view file_name,
                            const HistogramFileResult& result);

}  // namespace qartwo
