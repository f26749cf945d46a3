#include "run/batch_options.h"

#include <array>
#include <charconv>

#include "run/exit_status.h"
#include "support/io/units.h"
#include "support/text/fields.h"
#include "support/text/number_text.h"

namespace qartwo {
namespace {

constexpr int kLastCurve = 50;

constexpr auto kUsage = std::to_array<std::string_view>({
    "Usage: qartwo batch [OPTIONS] HISTOGRAM...",
    "       qartwo batch [OPTIONS] --list LIST.csv",
    "",
    "Evaluates many hot spots in one run: each cycle histogram against an SN-curve,",
    "as the interactive run would, and writes OUTPUT/results.csv with one row per",
    "hot spot in input order.",
    "",
    "Options (the first five are also columns of LIST, whose non-empty cells win):",
    "  --curve N|FILE       built-in curve 1 to 50 (digits only), else an SN-curve",
    "                       file; needed unless every row of LIST names one",
    "  --scf X              stress concentration factor (default 1.0)",
    "  --thickness T        plate thickness (default: the curve's reference)",
    "  --design-life YEARS  design life: utilisation and pass/fail per hot spot",
    "  --dff F              design fatigue factor (default 1.0 with a design life)",
    "  -o, --output DIR     output folder (default qartwo-results), made if missing",
    "  --reports            also write <hot spot>.report.txt, the interactive report",
    "  --blocks             also write <hot spot>.blocks.csv, one row per block",
    "  --plots              also write <hot spot>.svg, a picture of the spectrum",
    "                       against the curve and of the damage by stress range,",
    "                       and index.html, a page of all hot spots, worst first",
    "  --list LIST.csv      the hot spots as CSV rows instead of HISTOGRAM...",
    "  -h, --help           show this text",
    "  --                   ends the options (for a histogram named -x.txt)",
    "",
    "LIST has a header row naming its columns, in any order: histogram (needed),",
    "name, curve, scf, thickness, design_life, dff. Its paths are relative to its",
    "folder; those on the command line to the current folder. A hot spot's name is",
    "its name cell, else its histogram's file name: 1 to 200 bytes, no '/', no",
    "control character, not . or .., and no two alike.",
    "",
    "results.csv: hot_spot,histogram,curve,curve_name,scf,thickness,scf_used,",
    "thickness_used,thickness_factor,blocks,damage_per_year,life_years,design_life,",
    "dff,utilisation,verdict,governing_block,governing_share,status,message",
    "status is the interactive run's exit status for the same inputs, and message",
    "what it writes on standard error. Numbers read back as the same doubles.",
    "",
    "Exit status: 0 every hot spot has status 0; 1 some hot spot failed or a file",
    "could not be written; 2 a usage error (nothing is written); 128 + N ended by",
    "signal N: the rows done so far are in results.partial.csv.",
    "",
    "Example:",
    "  qartwo batch --curve 6 --scf 1.5 --thickness 40 -o results hot_spots/*.txt",
    "  qartwo batch --curve 6 --design-life 25 --dff 3 --plots --list spots.csv",
    "",
    "Manual: man qartwo, or man -l qartwo.1 in a build folder.",
});

// The options that take a value, and where it goes.
struct ValueOption {
  std::string_view name;
  std::string_view BatchOptions::*value;
};
constexpr std::array<ValueOption, 7> kValueOptions = {{
    {"--curve", &BatchOptions::curve},
    {"--scf", &BatchOptions::scf},
    {"--thickness", &BatchOptions::thickness},
    {"--design-life", &BatchOptions::design_life},
    {"--dff", &BatchOptions::dff},
    {"--output", &BatchOptions::output},
    {"--list", &BatchOptions::list},
}};

// Checks the value of a number option; empty when it is usable, else why not.
bool CheckNumber(std::string_view name, std::string_view value, bool above_zero,
                 std::string& problem) {
  double number = 0.0;
  const NumberText read = ReadNumberText(value, number);
  if (read == NumberText::kEmpty) return true;
  if (read == NumberText::kNumber && (!above_zero || number > 0.0)) return true;
  problem = std::string(name) + " ";
  AppendQuoted(problem, value);
  problem += read == NumberText::kNumber       ? ": it must be above 0"
             : read == NumberText::kOutOfRange ? ": the number is too large"
                                               : ": it is not one number";
  return false;
}

bool CheckCurve(std::string_view value, std::string& problem) {
  if (!IsDigits(value)) return true;  // an SN-curve file, looked for when a hot spot needs it
  int number = 0;
  const auto read = std::from_chars(value.data(), value.data() + value.size(), number);
  if (read.ec == std::errc() && number >= 1 && number <= kLastCurve) return true;
  problem = "--curve ";
  AppendQuoted(problem, value);
  problem += ": the built-in curves are numbered 1 to 50 (write ./";
  problem += value;
  problem += " for a file of that name)";
  return false;
}

bool CheckValues(const BatchOptions& options, std::string& problem) {
  if (!CheckCurve(options.curve, problem) || !CheckNumber("--scf", options.scf, false, problem) ||
      !CheckNumber("--thickness", options.thickness, false, problem) ||
      !CheckNumber("--design-life", options.design_life, true, problem) ||
      !CheckNumber("--dff", options.dff, true, problem)) {
    return false;
  }
  if (!options.list.empty() && !options.histograms.empty()) {
    problem = "give either --list or histograms, not both";
  } else if (options.list.empty() && options.histograms.empty()) {
    problem = "no hot spots: give histograms or --list";
  } else if (options.list.empty() && options.curve.empty()) {
    problem = "no curve: give --curve";
  } else if (options.list.empty() && !options.dff.empty() && options.design_life.empty()) {
    problem = "--dff needs a design life: give --design-life";
  }
  return problem.empty();
}

// Takes the option `argument` (and its value from the next argument, `at` moving past it);
// false with the problem when it is unknown, lacks its value or was given before (`given`, by
// kValueOptions).
bool TakeOption(std::span<const char* const> arguments, std::size_t& at, BatchOptions& options,
                std::array<bool, kValueOptions.size()>& given, std::string& problem) {
  const std::string_view argument = arguments[at];
  if (argument == "--reports" || argument == "--blocks" || argument == "--plots") {
    bool& flag = argument == "--reports"  ? options.reports
                 : argument == "--blocks" ? options.blocks
                                          : options.plots;
    if (flag) problem = std::string(argument) + " is given twice";
    flag = true;
    return problem.empty();
  }
  const std::size_t equals = argument.find('=');
  std::string_view name = argument.substr(0, equals);
  if (name == "-o") name = "--output";
  for (std::size_t index = 0; index < kValueOptions.size(); ++index) {
    const ValueOption& option = kValueOptions[index];
    if (name != option.name) continue;
    if (equals == std::string_view::npos && at + 1 >= arguments.size()) {
      problem = std::string(name) + " needs a value";
      return false;
    }
    if (given[index]) {
      problem = std::string(name) + " is given twice";
      return false;
    }
    given[index] = true;
    std::string_view& value = options.*option.value;
    value = TrimBlanks(equals == std::string_view::npos ? std::string_view(arguments[++at])
                                                        : argument.substr(equals + 1));
    if (name == "--output" && value.empty()) value = kDefaultOutputFolder;
    return true;
  }
  problem = "unknown option ";
  AppendQuoted(problem, argument);
  return false;
}

}  // namespace

bool ReadBatchOptions(std::span<const char* const> arguments, BatchOptions& options,
                      std::string& problem) {
  problem.clear();
  for (const char* const argument : arguments) {
    const std::string_view text = argument;
    if (text == "--") break;
    if (text == "--help" || text == "-h") {
      options.help = true;
      return true;
    }
  }
  bool options_ended = false;
  std::array<bool, kValueOptions.size()> given{};
  for (std::size_t at = 0; at < arguments.size(); ++at) {
    const std::string_view argument = arguments[at];
    if (!options_ended && argument == "--") {
      options_ended = true;
    } else if (options_ended || argument.size() < 2 || argument[0] != '-') {
      options.histograms.push_back(argument);  // a lone "-" is a file name too
    } else if (!TakeOption(arguments, at, options, given, problem)) {
      return false;
    }
  }
  return CheckValues(options, problem);
}

void AppendQuoted(std::string& text, std::string_view quoted) {
  OutputLine line;
  AppendVisible(line, quoted);
  text += '\'';
  text += LineText(line);
  text += '\'';
}

void WriteBatchUsage(int unit) {
  for (const std::string_view line : kUsage) WriteLine(unit, line);
}

int RefuseBatch(std::string_view problem) {
  OutputLine line;
  AppendText(line, "qartwo batch: ");
  AppendText(line, problem);
  WriteLine(kDiagnosticOutput, LineText(line));
  WriteLine(kDiagnosticOutput, "Try 'qartwo batch --help'.");
  return kExitInputError;
}

}  // namespace qartwo
