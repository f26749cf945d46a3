// Where the hot spots of a batch come from: the histograms of the command line, or the rows of
// a CSV list, read one at a time (the list can be read again from its start).
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qartwo {

// The columns a list may have; a hot spot's cells come in this order.
enum ListColumn {
  kHistogramColumn,
  kNameColumn,
  kCurveColumn,
  kScfColumn,
  kThicknessColumn,
  kDesignLifeColumn,
  kDffColumn,
  kListColumns
};
inline constexpr std::array<std::string_view, kListColumns> kListColumnNames = {
    "histogram", "name", "curve", "scf", "thickness", "design_life", "dff"};

// One hot spot as given.
struct HotSpotEntry {
  long long line = 0;  // the list's line the row starts on; 0 for the command line
  // By ListColumn, blanks around them dropped; empty when not given. Views into the list's
  // storage, valid until the next row is read.
  std::array<std::string_view, kListColumns> cells;
  std::string_view name;  // the name cell, else the histogram's file name
};

// The hot spots' source and how far its reading went.
struct HotSpotList {
  std::span<const std::string_view> histograms;  // from the command line; else a list:
  std::string path;                              // the list as given
  std::string folder;  // the list's folder, '/' included; empty for the current folder
  std::array<int, kListColumns> field_of{};  // the header's field for each column, -1: none
  std::size_t fields_per_row = 0;
  bool keep_copy = false;  // the list cannot be read twice: its lines are kept in `copy`
  std::string copy;
  long long line_number = 0;
  std::size_t next_histogram = 0;
  std::string text;  // the last line read
  std::string record;
  std::vector<std::string> fields;
};

// Opens the list `path` and reads its header (a byte-order mark skipped); false with the
// reason in `problem` when it cannot be read, has no header, an unknown or repeated column,
// or no histogram column.
[[nodiscard]] bool OpenHotSpotList(std::string_view path, HotSpotList& list, std::string& problem);

// Takes the hot spots from the command line's histograms.
void UseHistograms(std::span<const std::string_view> histograms, HotSpotList& list);

// True when the list has `column` (the command line has none).
bool HasColumn(const HotSpotList& list, ListColumn column);

enum class NextRow { kRow, kEnd, kProblem };

// Reads the next hot spot into `entry` (blank lines are passed over). kProblem, with the reason
// in `problem`, for a row that is no CSV record, has not as many fields as the header, or an
// empty histogram cell, and for a list that cannot be read.
[[nodiscard]] NextRow NextHotSpot(HotSpotList& list, HotSpotEntry& entry, std::string& problem);

// Goes back to the first hot spot; false with the reason when the list cannot be read again.
[[nodiscard]] bool RestartHotSpotList(HotSpotList& list, std::string& problem);

// The path of a file named in a list cell, relative to the list's folder (a path from the
// command line, or an absolute one, as it stands).
std::string ListPath(const HotSpotList& list, std::string_view path, bool from_list);

// Closes the list.
void CloseHotSpotList(HotSpotList& list);

}  // namespace qartwo
