#include "run/hot_spot_list.h"

#include <stdio.h>
#include <sys/stat.h>

#include <algorithm>

#include "run/batch_options.h"
#include "support/io/file_open.h"
#include "support/io/line_reader.h"
#include "support/io/units.h"
#include "support/text/csv.h"
#include "support/text/number_text.h"

namespace qartwo {
namespace {

constexpr int kListUnit = 24;

// "list 'spots.csv' line 3: " in front of a problem.
std::string AtLine(const HotSpotList& list, long long line) {
  std::string at = "list ";
  AppendQuoted(at, list.path);
  at += " line " + std::to_string(line) + ": ";
  return at;
}

// Reads the next record that is not a blank line into list.fields; the first line's number
// goes into `first_line`. kEnd at the end of the list.
NextRow ReadRecord(HotSpotList& list, std::size_t& count, long long& first_line,
                   std::string& problem) {
  list.record.clear();
  for (;;) {
    const IoStatus read = ReadLine(kListUnit, list.text);
    if (read == IoStatus::kEndOfFile && list.record.empty()) return NextRow::kEnd;
    if (read == IoStatus::kEndOfFile) break;  // a quoted field still open
    if (read != IoStatus::kOk) {
      problem = AtLine(list, list.line_number + 1) + "cannot read the list (" +
                std::string(IoStatusText(read)) + ")";
      return NextRow::kProblem;
    }
    ++list.line_number;
    if (list.keep_copy) (list.copy += list.text) += '\n';
    if (list.record.empty() && TrimBlanks(list.text).empty()) continue;
    if (list.record.empty()) {
      first_line = list.line_number;
    } else {
      list.record += '\n';
    }
    list.record += list.text;
    if (CsvRecordComplete(list.record)) break;
  }
  const CsvProblem split = SplitCsvRecord(list.record, list.fields, count);
  if (split == CsvProblem::kNone) return NextRow::kRow;
  problem = AtLine(list, first_line) + std::string(CsvProblemText(split));
  return NextRow::kProblem;
}

bool ReadHeader(HotSpotList& list, std::string& problem) {
  std::size_t count = 0;
  long long line = 0;
  const NextRow read = ReadRecord(list, count, line, problem);
  if (read == NextRow::kEnd) {
    problem = "list ";
    AppendQuoted(problem, list.path);
    problem += " has no header row";
  }
  if (read != NextRow::kRow) return false;
  list.field_of.fill(-1);
  list.fields_per_row = count;
  for (std::size_t field = 0; field < count; ++field) {
    const auto* named =
        std::find(kListColumnNames.begin(), kListColumnNames.end(), list.fields[field]);
    problem = AtLine(list, line) + "column ";
    AppendQuoted(problem, list.fields[field]);
    if (named == kListColumnNames.end()) {
      problem +=
          " is unknown (the columns are histogram, name, curve, scf, thickness, "
          "design_life, dff)";
      return false;
    }
    int& at = list.field_of[static_cast<std::size_t>(named - kListColumnNames.begin())];
    if (at >= 0) {
      problem += " is named twice";
      return false;
    }
    at = static_cast<int>(field);
  }
  problem.clear();
  if (!HasColumn(list, kHistogramColumn)) problem = AtLine(list, line) + "no histogram column";
  return problem.empty();
}

// Opens the list on its unit; false with the reason.
bool OpenList(HotSpotList& list, std::string& problem) {
  list.line_number = 0;
  if (!list.copy.empty() && !list.keep_copy) {
    FILE* stream = fmemopen(list.copy.data(), list.copy.size(), "r");
    if (stream != nullptr && ConnectUnit(kListUnit, stream, Connection{}) == IoStatus::kOk) {
      return true;
    }
    if (stream != nullptr) fclose(stream);
    problem = "the list cannot be read again";
    return false;
  }
  if (const int error = OpenInputFile(list.path, kListUnit); error != 0) {
    problem = "cannot read the list ";
    AppendQuoted(problem, list.path);
    problem += ": ";
    problem += OpenErrorText(error);
    return false;
  }
  return true;
}

}  // namespace

bool OpenHotSpotList(std::string_view path, HotSpotList& list, std::string& problem) {
  list.path = path;
  const std::size_t slash = path.rfind('/');
  list.folder = slash == std::string_view::npos ? "" : std::string(path.substr(0, slash + 1));
  if (!OpenList(list, problem)) return false;
  struct stat status {};
  // A pipe or FIFO ends once read: its lines are kept for the second reading.
  list.keep_copy = fstat(UnitDescriptor(kListUnit), &status) != 0 || !S_ISREG(status.st_mode);
  return ReadHeader(list, problem);
}

void UseHistograms(std::span<const std::string_view> histograms, HotSpotList& list) {
  list.histograms = histograms;
  list.field_of.fill(-1);
  list.field_of[kHistogramColumn] = 0;
}

bool HasColumn(const HotSpotList& list, ListColumn column) {
  return list.path.empty() ? column == kHistogramColumn : list.field_of[column] >= 0;
}

NextRow NextHotSpot(HotSpotList& list, HotSpotEntry& entry, std::string& problem) {
  entry = HotSpotEntry{};
  if (list.path.empty()) {
    if (list.next_histogram >= list.histograms.size()) return NextRow::kEnd;
    entry.cells[kHistogramColumn] = list.histograms[list.next_histogram++];
  } else {
    std::size_t count = 0;
    const NextRow read = ReadRecord(list, count, entry.line, problem);
    if (read != NextRow::kRow) return read;
    if (count != list.fields_per_row) {
      problem = AtLine(list, entry.line) + std::to_string(count) + " fields, the header has " +
                std::to_string(list.fields_per_row);
      return NextRow::kProblem;
    }
    for (std::size_t column = 0; column < kListColumns; ++column) {
      const int field = list.field_of[column];
      if (field >= 0) entry.cells[column] = list.fields[static_cast<std::size_t>(field)];
    }
  }
  const std::string_view histogram = entry.cells[kHistogramColumn];
  if (histogram.empty()) {
    problem =
        list.path.empty() ? "an empty histogram name" : AtLine(list, entry.line) + "no histogram";
    return NextRow::kProblem;
  }
  entry.name = entry.cells[kNameColumn];
  if (entry.name.empty()) entry.name = histogram.substr(histogram.rfind('/') + 1);
  return NextRow::kRow;
}

bool RestartHotSpotList(HotSpotList& list, std::string& problem) {
  list.next_histogram = 0;
  if (list.path.empty()) return true;
  list.keep_copy = false;
  if (!OpenList(list, problem)) return false;
  std::size_t count = 0;
  long long line = 0;
  return ReadRecord(list, count, line, problem) == NextRow::kRow;  // the header, read before
}

std::string ListPath(const HotSpotList& list, std::string_view path, bool from_list) {
  if (!from_list || path.starts_with('/')) return std::string(path);
  return list.folder + std::string(path);
}

void CloseHotSpotList(HotSpotList& list) {
  if (!list.path.empty()) static_cast<void>(CloseUnit(kListUnit));
}

}  // namespace qartwo
