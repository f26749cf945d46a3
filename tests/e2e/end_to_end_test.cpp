// Drives the built program through its console and compares the transcript and the report
// with golden files.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/run_qartwo.h"

namespace qartwo::testing {
namespace {

struct Scenario {
  std::string name;                                        // stem of the golden files
  std::vector<std::pair<std::string, std::string>> files;  // test data -> name in the directory
  std::string input;
  int exit_status;
  bool report_golden;  // the report is compared with <name>.report
};

const std::vector<std::pair<std::string, std::string>> kExampleFiles = {
    {"example_histogram.txt", "hist.txt"}, {"example_sn_curve.txt", "curve.txt"}};

std::vector<Scenario> Scenarios() {
  return {
      {"worked_example", kExampleFiles, "report.txt\nhist.txt\n\n\nn\ncurve.txt\n", 0, true},
      {"catalogue_t_air", kExampleFiles, "report.txt\nhist.txt\n12\n50\ny\n15\n", 0, true},
      {"file_retries", kExampleFiles,
       "no_such_folder/report.txt\nreport.txt\nmissing.txt\nhist.txt\n2.5\n\nn\n"
       "missing_curve.txt\ncurve.txt\n",
       0, true},
      {"illegal_curve_numbers", kExampleFiles,
       "report.txt\nhist.txt\n 2.5\n 40\nN\n0\n51\n12345\n\n   \n46\n", 0, true},
      {"evaluation_failure",
       {{"example_histogram.txt", "hist.txt"}, {"name_only_sn_curve.txt", "curve.txt"}},
       "report.txt\nhist.txt\n\n\nn\ncurve.txt\n",
       1,
       true},
      {"blocks_mismatch",
       {{"five_of_four_histogram.txt", "hist.txt"}},
       "report.txt\nhist.txt\n\n\n\n1\n",
       1,
       false},
  };
}

TEST(EndToEnd, TranscriptsAndReportsMatchTheGoldenFiles) {
  for (const Scenario& scenario : Scenarios()) {
    SCOPED_TRACE(scenario.name);
    ScratchDirectory directory;
    for (const auto& [data, name] : scenario.files) directory.CopyData(data, name);
    const ProgramRun run = RunProgram(directory, scenario.input);
    EXPECT_EQ(run.exit_status, scenario.exit_status) << run.diagnostics;
    EXPECT_EQ(CompareWithGolden(scenario.name + ".console", run.console), "");
    ASSERT_TRUE(directory.Exists("report.txt"));
    const std::string report = directory.Read("report.txt");
    if (scenario.report_golden) {
      const std::string compared =
          scenario.exit_status == 0 ? ReportWithStampMasked(report) : report;
      EXPECT_EQ(CompareWithGolden(scenario.name + ".report", compared), "");
    } else {
      EXPECT_EQ(report, "");
    }
    if (scenario.exit_status == 0) {
      EXPECT_EQ(run.diagnostics, "");
    }
  }
}

TEST(EndToEnd, UserDefinedCurveIgnoresTheThickness) {
  std::string damage_lines[2];
  const char* inputs[2] = {"report.txt\nhist.txt\n\n\nn\ncurve.txt\n",
                           "report.txt\nhist.txt\n3\n80\nn\ncurve.txt\n"};
  for (int i = 0; i < 2; ++i) {
    ScratchDirectory directory;
    for (const auto& [data, name] : kExampleFiles) directory.CopyData(data, name);
    const ProgramRun run = RunProgram(directory, inputs[i]);
    ASSERT_EQ(run.exit_status, 0) << run.diagnostics;
    damage_lines[i] = run.console.substr(run.console.rfind(" Computed Damage"));
  }
  // SCF 3 raises the stresses; the thickness 80 changes nothing.
  EXPECT_NE(damage_lines[0], damage_lines[1]);
  ScratchDirectory directory;
  for (const auto& [data, name] : kExampleFiles) directory.CopyData(data, name);
  const ProgramRun thick = RunProgram(directory, "report.txt\nhist.txt\n3\n\nn\ncurve.txt\n");
  EXPECT_EQ(thick.console.substr(thick.console.rfind(" Computed Damage")), damage_lines[1]);
}

TEST(EndToEnd, AStoppedRunLeavesAnExistingReportAsItWas) {
  ScratchDirectory directory;
  directory.CopyData("five_of_four_histogram.txt", "hist.txt");
  directory.Write("report.txt", "last year's report\n");
  const ProgramRun run = RunProgram(directory, "report.txt\nhist.txt\n\n\n\n1\n");
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_EQ(directory.Read("report.txt"), "last year's report\n");
}

// The console lines that follow the curve-number prompts, up to the chosen curve.
std::vector<std::string> CurveNumberLines(const std::string& console) {
  const std::string prompt = " Specify SN-Curve number           :  ";
  std::vector<std::string> lines;
  std::size_t at = console.find(prompt);
  while (at != std::string::npos) {
    const std::size_t start = at + prompt.size();
    const std::size_t end = console.find('\n', start);
    lines.push_back(console.substr(start, end - start) + ";");
    at = console.find(prompt, end);
  }
  return lines;
}

TEST(EndToEnd, NullValueOrSlashKeepsTheLastCurveNumber) {
  struct Row {
    std::string answers;  // to the curve-number question
    std::vector<std::string> lines;
  };
  const std::vector<Row> rows = {
      {"/\n3\n", {" Illegal SN-Curve :   0;", ";"}},
      {"51\n/\n,\n7 9\n",
       {" Illegal SN-Curve :  51;", " Illegal SN-Curve :  51;", " Illegal SN-Curve :  51;", ";"}},
      {"0\n, 12\n 12, 13\n", {" Illegal SN-Curve :   0;", " Illegal SN-Curve :   0;", ";"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.answers);
    ScratchDirectory directory;
    for (const auto& [data, name] : kExampleFiles) directory.CopyData(data, name);
    const ProgramRun run = RunProgram(directory, "report.txt\nhist.txt\n\n\n\n" + row.answers);
    EXPECT_EQ(run.exit_status, 0) << run.diagnostics;
    EXPECT_EQ(CurveNumberLines(run.console), row.lines);
  }
}

TEST(EndToEnd, ScfOfZeroIsReportedAsGivenAndEvaluatedAsOne) {
  ScratchDirectory directory;
  for (const auto& [data, name] : kExampleFiles) directory.CopyData(data, name);
  const ProgramRun run = RunProgram(directory, "report.txt\nhist.txt\n0\n\nn\ncurve.txt\n");
  ASSERT_EQ(run.exit_status, 0) << run.diagnostics;
  EXPECT_NE(run.console.find(" Computed Damage per Year      :     1.95079E-05\n"),
            std::string::npos)
      << run.console;
  const std::string report = directory.Read("report.txt");
  EXPECT_NE(report.find("\n SCF                           :       0.000\n"), std::string::npos)
      << report;
}

struct StoppedRun {
  std::string what;
  std::vector<std::pair<std::string, std::string>> files;
  std::string input;
  int exit_status;
  std::vector<std::string> diagnostic_parts;  // each must appear on standard error
};

TEST(EndToEnd, InputErrorsAndRefusalsEndTheRunWithADiagnostic) {
  const std::vector<StoppedRun> runs = {
      {"word as SCF",
       kExampleFiles,
       "report.txt\nhist.txt\nabc\n",
       2,
       {"Stress Concentration Factor /1.0/ :", "abc"}},
      {"decimal point in a curve number",
       kExampleFiles,
       "report.txt\nhist.txt\n\n\n\n1.5\n",
       2,
       {"Specify SN-Curve number", "1.5"}},
      {"end of input at the SCF",
       kExampleFiles,
       "report.txt\nhist.txt\n",
       2,
       {"Stress Concentration Factor /1.0/ :"}},
      {"end of input in the curve number retry loop",
       kExampleFiles,
       "report.txt\nhist.txt\n\n\n\n0\n",
       2,
       {"Specify SN-Curve number"}},
      {"end of input in the file retry loop",
       kExampleFiles,
       "report.txt\nmissing.txt\n",
       2,
       {"Cycle Histogram file"}},
      {"no input at all", kExampleFiles, "", 2, {"Give output file for misc print"}},
      {"word in the histogram header",
       {{"word_in_header_histogram.txt", "hist.txt"}},
       "report.txt\nhist.txt\n\n\n\n1\n",
       2,
       {"hist.txt", "3", "4, ten, 0.0"}},
      {"four values per segment",
       {{"example_histogram.txt", "hist.txt"}, {"four_per_segment_sn_curve.txt", "curve.txt"}},
       "report.txt\nhist.txt\n\n\nn\ncurve.txt\n",
       1,
       {"curve.txt"}},
  };
  for (const StoppedRun& stopped : runs) {
    SCOPED_TRACE(stopped.what);
    ScratchDirectory directory;
    for (const auto& [data, name] : stopped.files) directory.CopyData(data, name);
    const ProgramRun run = RunProgram(directory, stopped.input);
    EXPECT_EQ(run.exit_status, stopped.exit_status);
    for (const std::string& part : stopped.diagnostic_parts) {
      EXPECT_NE(run.diagnostics.find(part), std::string::npos)
          << "missing \"" << part << "\" in: " << run.diagnostics;
    }
    if (directory.Exists("report.txt")) {
      EXPECT_EQ(directory.Read("report.txt"), "");
    }
  }
}

TEST(EndToEnd, AReportThatCannotBeWrittenIsNoSuccess) {
  ScratchDirectory directory;
  for (const auto& [data, name] : kExampleFiles) directory.CopyData(data, name);
  const ProgramRun run = RunProgram(directory, "/dev/full\nhist.txt\n\n\n\n1\n");
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_NE(run.console.find(" Computed Damage per Year      : "), std::string::npos);
  EXPECT_NE(run.diagnostics.find("report"), std::string::npos) << run.diagnostics;
}

TEST(EndToEnd, FailedOpensCreateNoFiles) {
  ScratchDirectory directory;
  for (const auto& [data, name] : kExampleFiles) directory.CopyData(data, name);
  const ProgramRun run = RunProgram(
      directory, "report.txt\nmissing.txt\nhist.txt\n\n\nn\nmissing_curve.txt\ncurve.txt\n");
  ASSERT_EQ(run.exit_status, 0) << run.diagnostics;
  EXPECT_FALSE(directory.Exists("missing.txt"));
  EXPECT_FALSE(directory.Exists("missing_curve.txt"));
}

}  // namespace
}  // namespace qartwo::testing
