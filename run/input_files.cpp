#include "run/input_files.h"

#include "run/exit_status.h"
#include "run/histogram_file.h"
#include "run/sn_curve_file.h"
#include "support/io/units.h"
#include "support/text/fields.h"
#include "support/text/fixed_text.h"

namespace qartwo {
namespace {

int ExitStatusFor(InputFileStatus status) {
  return status == InputFileStatus::kInputError ? kExitInputError : kExitReportedFailure;
}

}  // namespace

void WriteFileError(int unit, std::string_view before, std::string_view name,
                    std::string_view after) {
  OutputLine line;
  AppendText(line, before);
  AppendText(line, "\"");
  AppendVisible(line, TrimTrailingBlanks(name));
  AppendText(line, "\"");
  AppendText(line, after);
  WriteLine(unit, LineText(line));
}

void WriteFileRefusal(int unit, std::string_view name, std::string_view what,
                      std::string_view reason) {
  OutputLine line;
  AppendText(line, " *** ERROR: cannot use \"");
  AppendVisible(line, TrimTrailingBlanks(name));
  AppendText(line, "\" as ");
  AppendText(line, what);
  AppendText(line, ": ");
  AppendText(line, reason);
  WriteLine(unit, LineText(line));
}

int ReadHistogramInput(int unit, std::string_view file_name, std::span<char> line,
                       std::span<double> counts, std::span<double, 4> histogram, int message_unit,
                       int console_unit) {
  const HistogramFileResult read = ReadHistogramFile(unit, line, counts);
  WriteHistogramFileNote(message_unit, file_name, read);
  if (read.status != InputFileStatus::kOk) {
    WriteHistogramFileProblem(message_unit, file_name, read);
    return ExitStatusFor(read.status);
  }
  if (read.block_lines != read.number_of_blocks) {
    WriteLine(console_unit, " *** ERROR. Number of blocks mismatch ");
    OutputLine counted;
    AppendText(counted, ": its header line gives ");
    AppendCount(counted, read.number_of_blocks);
    AppendText(counted, " blocks, the file holds ");
    AppendCount(counted, read.block_lines);
    AppendText(counted, read.block_lines == 1 ? " block line" : " block lines");
    WriteFileError(message_unit, " *** ERROR: block count mismatch in cycle histogram file ",
                   file_name, LineText(counted));
    return kExitReportedFailure;
  }
  histogram[0] = 1.0;
  histogram[1] = static_cast<double>(read.number_of_blocks);
  histogram[2] = read.block_width;
  histogram[3] = read.spare_value;
  return kExitCompleted;
}

int ReadCurveInput(int unit, std::string_view file_name, std::span<char> line,
                   std::span<double> curve, std::span<char> name_line, int message_unit,
                   int console_unit) {
  const SnCurveFileResult read = ReadSnCurveFile(unit, line, curve, name_line, console_unit);
  WriteSnCurveFileNote(message_unit, file_name, read);
  if (read.status == InputFileStatus::kOk) return kExitCompleted;
  WriteSnCurveFileProblem(message_unit, file_name, read);
  return ExitStatusFor(read.status);
}

void WriteDamageNotFinite(int unit) {
  WriteLine(unit,
            " *** ERROR: the damage per year is not a finite number: the histogram's counts or "
            "stresses, the SCF, the thickness correction or the SN-curve's LogA and m take it "
            "beyond the largest number");
}

}  // namespace qartwo
