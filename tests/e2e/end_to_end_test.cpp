// Drives the built program through its console and compares the transcript and the report
// with golden files.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "tests/e2e/run_qartwo.h"
#include "tests/testing/test_data.h"

namespace qartwo::testing {
namespace {

// The report with its date stamp " Date : YYYY-MM-DD hh:mm:ss" in front shown as
// " Date : <stamp>"; as it is when it has no such stamp.
std::string StampMasked(const std::string& report) {
  std::string front = report.substr(0, 28);
  for (char& c : front) c = std::isdigit(static_cast<unsigned char>(c)) ? '0' : c;
  if (front != " Date : 0000-00-00 00:00:00\n") return report;
  return " Date : <stamp>\n" + report.substr(28);
}

TEST(EndToEnd, TranscriptsAndReportsMatchTheGoldenFiles) {
  struct Row {
    std::string name;  // stem of the golden files under tests/golden/
    std::string input = "";
    int exit_status;
    std::string file = "";  // replaced by tests/data/<data>
    std::string data = "";
    std::string arguments = "";    // command line; with one, no golden file means no output
    std::string diagnostics = "";  // standard error
  };
  const std::string example = "report.txt\nhist.txt\n\n\nn\ncurve.txt\n";
  // A command line refused for the argument `named`; the answers on the console are not read.
  const auto refusal = [&](const std::string& arguments, const std::string& named) {
    return Row{.name = "refused",
               .input = example,
               .exit_status = 2,
               .arguments = arguments,
               .diagnostics = "qartwo: unknown argument '" + named + "'\nTry 'qartwo --help'.\n"};
  };
  // What an answer to the command line says when standard output cannot take it.
  const std::string full = "qartwo: cannot write to standard output: No space left on device\n";
  // A file answer asked for again because no such file exists.
  const auto refused = [](const std::string& name, const std::string& what) {
    return " *** ERROR: cannot use \"" + name + "\" as the " + what +
           " file: No such file or directory\n";
  };
  const Row rows[] = {
      {"worked_example", example, 0},
      {"catalogue_t_air", "report.txt\nhist.txt\n12\n50\ny\n15\n", 0},
      {.name = "file_retries",
       .input = "no_such_folder/report.txt\nreport.txt\nmissing.txt\nhist.txt\n2.5\n\nn\n"
                "missing_curve.txt\ncurve.txt\n",
       .exit_status = 0,
       .diagnostics = refused("no_such_folder/report.txt", "report") +
                      refused("missing.txt", "cycle histogram") +
                      refused("missing_curve.txt", "SN-curve")},
      {"illegal_curve_numbers", "report.txt\nhist.txt\n 2.5\n 40\nN\n0\n51\n12345\n\n   \n46\n", 0},
      {.name = "blocks_mismatch",
       .input = "report.txt\nhist.txt\n\n\n\n1\n",
       .exit_status = 1,
       .file = "hist.txt",
       .data = "five_of_four_histogram.txt",
       .diagnostics = " *** ERROR: block count mismatch in cycle histogram file \"hist.txt\": its "
                      "header line gives 5 blocks, the file holds 4 block lines\n"},
      // an answer to the command line asks nothing and touches no file
      {.name = "usage", .input = example, .exit_status = 0, .arguments = "--help"},
      {.name = "usage", .input = example, .exit_status = 0, .arguments = "-h"},
      {.name = "version", .input = example, .exit_status = 0, .arguments = "--version"},
      refusal("--verbose", "--verbose"),
      refusal("\"$(printf 'rep\\033[2J\\177')\"", "rep\\x1B[2J\\x7F"),  // shown, not obeyed
      refusal("--version --help", "--help"),                            // one argument at most
      {.name = "full", .exit_status = 1, .arguments = "--help >/dev/full", .diagnostics = full},
      {.name = "full", .exit_status = 1, .arguments = "--version >/dev/full", .diagnostics = full},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name + " " + row.arguments);
    ScratchDirectory directory;
    if (!row.file.empty()) directory.Write(row.file, ReadTestFile("data/" + row.data));
    const ProgramRun run = directory.Run(row.input, "", row.arguments);
    EXPECT_EQ(run.exit_status, row.exit_status) << run.diagnostics;
    EXPECT_EQ(run.diagnostics, row.diagnostics);
    EXPECT_EQ(run.console, ReadTestFile("golden/" + row.name + ".console"));
    // A completed report starts with its date stamp; without a golden report it is empty.
    std::string report = directory.Read("report.txt");
    if (row.exit_status == 0) report = StampMasked(report);
    EXPECT_EQ(report, ReadTestFile("golden/" + row.name + ".report"));
    // Failed opens made no file; a run that stops removes the report it made.
    EXPECT_EQ(directory.Entries(), row.exit_status == 0 && row.arguments.empty() ? 3 : 2);
  }
}

// A null value or a slash keeps the number as it was; the last curve is a legal choice.
TEST(EndToEnd, NullValueOrSlashKeepsTheLastCurveNumber) {
  ScratchDirectory directory;
  const ProgramRun run = directory.Run("report.txt\nhist.txt\n\n\n\n/\n51\n/\n, 12\n7 9\n");
  EXPECT_EQ(run.exit_status, 0) << run.diagnostics;
  const std::string ask = " Specify SN-Curve number           :  ";
  const std::string illegal_51 = ask + " Illegal SN-Curve :  51\n";
  EXPECT_NE(
      run.console.find(ask + " Illegal SN-Curve :   0\n" + illegal_51 + illegal_51 + illegal_51 +
                       ask + "\n Selected SN-Curve             : NORSOK  E   AIR"),
      std::string::npos)
      << run.console;
  const ProgramRun last = directory.Run("report.txt\nhist.txt\n\n\n\n50\n");
  EXPECT_NE(last.console.find(ask + "\n Selected SN-Curve             : NORSOK  E     BP_SVI"),
            std::string::npos)
      << last.console;
}

}  // namespace
}  // namespace qartwo::testing
