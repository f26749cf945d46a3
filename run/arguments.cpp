#include "run/arguments.h"

#include <array>
#include <cerrno>
#include <cstring>

#include "run/exit_status.h"
#include "run/version.h"
#include "support/io/console_text.h"
#include "support/io/units.h"
#include "support/text/fields.h"

namespace qartwo {
namespace {

constexpr auto kUsage = std::to_array<std::string_view>({
    "Usage: qartwo [--help | --version]",
    "       qartwo batch [OPTIONS] HISTOGRAM...   many hot spots in one run",
    "       qartwo batch [OPTIONS] --list LIST.csv  (qartwo batch --help tells more)",
    "",
    "QAR TWO computes the accumulated fatigue damage per year of one stress-cycle",
    "histogram against one SN-curve, built in or read from a file. It asks for its",
    "input on the console, shows the damage and writes a report file.",
    "",
    "Questions (a blank answer takes the default between slashes):",
    "  Give output file for misc print     report file, created or overwritten",
    "  Cycle Histogram file                cycle histogram file, must exist",
    "  Stress Concentration Factor /1.0/   SCF, default 1.0",
    "  Thickness (def is Tref on SN-curv)  plate thickness, default the curve's own",
    "  Use the predefined SN-Curves? /y/   n: a curve from a file, else built in",
    "  Specify SN-Curve number             built-in curve, 1 to 50 from the list",
    "  Give file containing SN Curve       SN-curve file, must exist",
    "",
    "Input files (lines starting with $ # ! or ' are comments):",
    "  cycle histogram  \"blocks, width, spare\", then \"label cycles/year\" per block",
    "  SN-curve         name line, \"segments 3 fixed\", \"log10(A) m nBreak\" per",
    "                   segment, then the fixed values",
    "A UTF-8 byte-order mark at the start of a file or of the answers is skipped.",
    "",
    "At a terminal answers can be edited, the up and down arrows recall earlier",
    "answers and Tab completes file names at the file questions.",
    "",
    "Options:",
    "  -h, --help  show this text",
    "  --version   show the version",
    "",
    "qartwo batch evaluates each histogram as the questions above would, with the",
    "answers as options (--curve, --scf, --thickness) or as columns of a CSV list,",
    "and writes results.csv (damage, life, design check) to an output folder.",
    "",
    "Exit status: 0 damage computed and report written; 1 a failure the run",
    "reported; 2 an input error in an answer or a file, the end of console input",
    "or a failure to read it, or 100 refused answers in a row at one question",
    "(answers not from a terminal); 128 + N ended by signal N (130: Ctrl-C).",
    "",
    "Manual: man qartwo, or man -l qartwo.1 in a build folder (its source is",
    "docs/qartwo.1.in). README.md in the sources has a worked example.",
});

// Ends the answer: what unit 6 received must reach it, or standard error says why it did not.
int Finish(int status) {
  if (FlushUnit(kConsoleOutput) != IoStatus::kOk) {
    const int error = errno;  // the failed write's, left since AnswerRequest cleared it
    OutputLine line;
    AppendText(line, "qartwo: cannot write to standard output");
    if (error != 0) {
      AppendText(line, ": ");
      AppendText(line, std::strerror(error));
    }
    WriteLine(kDiagnosticOutput, LineText(line));
  }
  return CloseAllUnits() == IoStatus::kOk ? status : kExitReportedFailure;
}

}  // namespace

Request ReadArguments(std::span<const char* const> arguments, std::string_view& refused) {
  refused = {};
  if (arguments.empty()) return Request::kAssessment;
  const std::string_view first = arguments[0];
  if (first == "batch") return Request::kBatch;
  Request request = Request::kRefused;
  if (first == "--help" || first == "-h") request = Request::kHelp;
  if (first == "--version") request = Request::kVersion;
  if (request == Request::kRefused) {
    refused = first;
  } else if (arguments.size() > 1) {
    refused = arguments[1];
    request = Request::kRefused;
  }
  return request;
}

int AnswerRequest(Request request, std::string_view refused) {
  errno = 0;
  if (request == Request::kHelp) {
    for (const std::string_view line : kUsage) WriteLine(kConsoleOutput, line);
    return Finish(kExitCompleted);
  }
  if (request == Request::kVersion) {
    WriteLine(kConsoleOutput, kVersionLine);
    return Finish(kExitCompleted);
  }
  WriteText(kDiagnosticOutput, "qartwo: unknown argument '");
  WriteVisible(kDiagnosticOutput, refused);  // an argument may hold terminal controls
  WriteLine(kDiagnosticOutput, "'");
  WriteLine(kDiagnosticOutput, "Try 'qartwo --help'.");
  Finish(kExitInputError);
  return kExitInputError;
}

}  // namespace qartwo
