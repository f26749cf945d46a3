// The command line of qartwo batch: its options, checked before anything is read or written,
// and its own usage text.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qartwo {

// The folder the results go to when -o is not given.
inline constexpr std::string_view kDefaultOutputFolder = "qartwo-results";

// The command line as given; the values of --curve, --scf, --thickness, --design-life and
// --dff are texts (blanks around them dropped; empty when not given or given empty), checked
// to be usable, as the defaults of the list's cells.
struct BatchOptions {
  bool help = false;
  std::string_view curve;
  std::string_view scf;
  std::string_view thickness;
  std::string_view design_life;
  std::string_view dff;
  std::string_view output = kDefaultOutputFolder;
  std::string_view list;  // empty: the histograms are given on the command line
  bool reports = false;
  bool blocks = false;
  bool plots = false;
  std::vector<std::string_view> histograms;
};

// Reads the arguments after "batch" into `options`; false with the reason in `problem` for a
// usage error: an unknown option, a value missing or not usable (a curve number outside 1 to
// 50, a number that is not one number, a design life or DFF of 0 or below), an option given
// twice, both --list and histograms, or neither. With --help or -h the rest is not checked.
[[nodiscard]] bool ReadBatchOptions(std::span<const char* const> arguments, BatchOptions& options,
                                    std::string& problem);

// Appends `quoted` between apostrophes, its control characters shown as AppendVisible does.
void AppendQuoted(std::string& text, std::string_view quoted);

// Writes the usage of qartwo batch to `unit`.
void WriteBatchUsage(int unit);

// Writes "qartwo batch: <problem>" and a pointer to --help to unit 0; returns the exit
// status of a usage error.
int RefuseBatch(std::string_view problem);

}  // namespace qartwo
