// Runs the built program against hostile surroundings: input that ends at any question, files
// that are folders, devices or garbage, bytes no editor shows, lines far beyond 256
// characters, and histograms at and beyond the room of the block counts. Every run must end
// by itself with a sound exit status and, when it fails, a diagnostic.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/e2e/run_qartwo.h"

namespace qartwo::testing {
namespace {

// Generous for a run that takes milliseconds, also under the sanitizers.
constexpr int kTimeLimitSeconds = 30;

constexpr char kDamageLabel[] = " Computed Damage per Year      : ";
constexpr std::size_t kMegabyte = 1 << 20;

const std::string kReportPrompt = "Give output file for misc print   :";
const std::string kHistogramPrompt = "Cycle Histogram file              :";
const std::string kScfPrompt = "Stress Concentration Factor /1.0/ :";
const std::string kThicknessPrompt = "Thickness (def is Tref on SN-curv):";
const std::string kChoicePrompt = "Use the predefined SN-Curves? /y/ :";
const std::string kCurveNumberPrompt = "Specify SN-Curve number           :";
const std::string kCurveFilePrompt = "Give file containing SN Curve     :";

// Answers of the worked example up to the curve file question, and with it.
const std::string kToChoice = "report.txt\nhist.txt\n\n\n";
const std::string kUserCurveRun = kToChoice + "n\ncurve.txt\n";

int Occurrences(const std::string& text, const std::string& part) {
  int count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

// The damage shown on the console, or NaN when the run showed none.
double ShownDamage(const std::string& console) {
  const std::size_t at = console.rfind(kDamageLabel);
  if (at == std::string::npos) return std::nan("");
  return std::stod(console.substr(at + sizeof kDamageLabel - 1));
}

// The damage line of the console, empty when there is none.
std::string DamageLine(const std::string& console) {
  const std::size_t at = console.rfind(kDamageLabel);
  if (at == std::string::npos) return "";
  return console.substr(at, console.find('\n', at) - at);
}

std::string WithCrLf(const std::string& text) {
  std::string converted;
  for (const char c : text) {
    if (c == '\n') converted += '\r';
    converted += c;
  }
  return converted;
}

// Bytes of every value, newlines among them, the same on every run.
std::string Garbage(std::size_t size, std::uint32_t seed) {
  std::string bytes(size, '\0');
  for (char& c : bytes) {
    seed = seed * 1664525U + 1013904223U;
    c = static_cast<char>(seed >> 24);
  }
  return bytes;
}

// A histogram of `blocks` blocks of width 0.001 with i cycles in block i.
std::string CountingHistogram(int blocks) {
  std::string text = "$ block i has i cycles\n" + std::to_string(blocks) + ", 0.001, 0.0\n";
  for (int i = 1; i <= blocks; ++i) {
    text += std::to_string(i) + " " + std::to_string(i) + "\n";
  }
  return text;
}

// A scratch directory with the worked-example files as hist.txt and curve.txt.
struct ExampleDirectory : ScratchDirectory {
  ExampleDirectory() {
    CopyData("example_histogram.txt", "hist.txt");
    CopyData("example_sn_curve.txt", "curve.txt");
  }
};

// The console damage line of the worked example, the reference for runs that must come to
// the same result.
const std::string& ExampleDamageLine() {
  static const std::string line = [] {
    ExampleDirectory directory;
    return DamageLine(RunProgramWithTimeLimit(directory, kUserCurveRun, kTimeLimitSeconds).console);
  }();
  return line;
}

struct EndOfInputCase {
  std::string what;
  std::string input;
  std::string question;  // the question the input ends at
  int times_asked;       // how often that question was shown
};

TEST(FailureInjection, EndOfInputAtEveryQuestionEndsTheRun) {
  const std::vector<EndOfInputCase> cases = {
      {"report file", "", kReportPrompt, 1},
      {"report file retry", "no_such_folder/report.txt\n", kReportPrompt, 2},
      {"histogram file", "report.txt\n", kHistogramPrompt, 1},
      {"histogram file retry", "report.txt\nmissing.txt\nmissing.txt\n", kHistogramPrompt, 3},
      {"SCF", "report.txt\nhist.txt\n", kScfPrompt, 1},
      {"SCF after a last answer without newline", "report.txt\nhist.txt", kScfPrompt, 1},
      {"thickness", "report.txt\nhist.txt\n2\n", kThicknessPrompt, 1},
      {"curve choice", "report.txt\nhist.txt\n\n\n", kChoicePrompt, 1},
      {"curve number", kToChoice + "y\n", kCurveNumberPrompt, 1},
      {"curve number after blank lines", kToChoice + "\n\n   \n\t\n", kCurveNumberPrompt, 1},
      {"curve number retry", kToChoice + "\n0\n51\n", kCurveNumberPrompt, 3},
      {"curve file", kToChoice + "n\n", kCurveFilePrompt, 1},
      {"curve file retry", kToChoice + "n\nmissing.txt\n", kCurveFilePrompt, 2},
  };
  for (const EndOfInputCase& test : cases) {
    SCOPED_TRACE(test.what);
    ExampleDirectory directory;
    const ProgramRun run = RunProgramWithTimeLimit(directory, test.input, kTimeLimitSeconds);
    EXPECT_EQ(run.exit_status, 2) << run.diagnostics;
    EXPECT_EQ(Occurrences(run.console, test.question), test.times_asked) << run.console;
    EXPECT_NE(run.diagnostics.find("console input ended"), std::string::npos) << run.diagnostics;
    EXPECT_NE(run.diagnostics.find(test.question), std::string::npos) << run.diagnostics;
    EXPECT_EQ(run.console.find(kDamageLabel), std::string::npos);
    if (directory.Exists("report.txt")) {
      EXPECT_EQ(directory.Read("report.txt"), "");
    }
  }
}

TEST(FailureInjection, FoldersAndUnusableNamesAreAskedForAgain) {
  ExampleDirectory directory;
  std::filesystem::create_directory(directory.PathOf("folder"));
  const std::string too_long_name(300, 'a');  // cut at 256, still beyond a file name's limit
  const std::string name_with_nul = std::string("rep") + '\0' + "rt.txt";
  const std::string input = "folder\n" + too_long_name + "\n" + name_with_nul +
                            "\nreport.txt\n.\nfolder\nhist.txt\n\n\nn\nfolder\ncurve.txt\n";
  const ProgramRun run = RunProgramWithTimeLimit(directory, input, kTimeLimitSeconds);
  ASSERT_EQ(run.exit_status, 0) << run.diagnostics;
  EXPECT_EQ(Occurrences(run.console, kReportPrompt), 4);
  EXPECT_EQ(Occurrences(run.console, kHistogramPrompt), 3);
  EXPECT_EQ(Occurrences(run.console, kCurveFilePrompt), 2);
  EXPECT_EQ(Occurrences(run.console, " Cannot Open file :folder   "), 1);
  EXPECT_EQ(Occurrences(run.console, " Cannot Open file :" + too_long_name.substr(0, 256) + "\n"),
            1);
  EXPECT_EQ(Occurrences(run.console, " Nonexisting file :.   "), 1);
  EXPECT_EQ(Occurrences(run.console, " Nonexisting file :folder   "), 2);
  EXPECT_EQ(DamageLine(run.console), ExampleDamageLine());
  EXPECT_FALSE(directory.Exists("rep"));  // the NUL did not cut the name short
}

struct HostileFileCase {
  std::string what;
  std::string histogram;
  std::string curve;
  // 0: the run gives the worked example's damage; 2: it stops with an input error whose
  // diagnostic names `line`.
  int exit_status;
  std::string line;
};

TEST(FailureInjection, HostileBytesAndLongLinesInTheInputFiles) {
  const std::string histogram = ReadTestFile("data/example_histogram.txt");
  const std::string curve = ReadTestFile("data/example_sn_curve.txt");
  const std::string megabyte(kMegabyte, 'x');
  const std::string beyond_column_256 = std::string(260, ' ') + "junk after the 256th column";
  const std::string nul(1, '\0');
  const std::vector<HostileFileCase> cases = {
      {"CRLF line ends", WithCrLf(histogram), WithCrLf(curve), 0, ""},
      {"NUL in comment lines", "$ a" + nul + "b\n" + histogram, "'" + nul + "\n" + curve, 0, ""},
      {"junk beyond column 256",
       "4, 10.0, 0.0" + beyond_column_256 + "\n1 2E5\n2 4E4\n3 650\n4 30" + beyond_column_256,
       curve, 0, ""},
      {"1 MB comment and blank lines",
       "$" + megabyte + "\n" + std::string(kMegabyte, ' ') + "\n" + histogram + "!" + megabyte,
       "'" + megabyte + "\n" + curve, 0, ""},
      {"1 MB surplus on data lines",
       "4, 10.0, 0.0 " + megabyte + "\n1 2E5 3 " + megabyte + "\n2 4E4\n3 650\n4 30\n", curve, 0,
       ""},
      {"NUL inside a block count", "4, 10.0, 0.0\n1 2E5\n2 4" + nul + "E4\n3 650\n4 30\n", curve, 2,
       "line 3"},
      {"header value beyond column 256", "4, 10.0" + std::string(250, ' ') + "0.0\n1 2E5\n", curve,
       2, "line 1"},
      {"NUL inside a segment value", histogram,
       "Welded joint\n2 3 1\n12.0 3" + nul + ".0 1E7\n15.3 5.0 0\n46.4\n", 2, "line 3"},
  };
  for (const HostileFileCase& test : cases) {
    SCOPED_TRACE(test.what);
    ScratchDirectory directory;
    directory.Write("hist.txt", test.histogram);
    directory.Write("curve.txt", test.curve);
    const ProgramRun run = RunProgramWithTimeLimit(directory, kUserCurveRun, kTimeLimitSeconds);
    EXPECT_EQ(run.exit_status, test.exit_status) << run.diagnostics;
    if (test.exit_status == 0) {
      EXPECT_EQ(DamageLine(run.console), ExampleDamageLine());
      EXPECT_EQ(run.diagnostics, "");
    } else {
      EXPECT_NE(run.diagnostics.find(test.line), std::string::npos) << run.diagnostics;
      EXPECT_EQ(directory.Read("report.txt"), "");
    }
  }
}

TEST(FailureInjection, CurveNamesKeepNeitherCarriageReturnsNorMoreThan256Characters) {
  ScratchDirectory directory;
  directory.CopyData("example_histogram.txt", "hist.txt");
  const std::string name = "W" + std::string(300, 'n') + "\r\n";
  directory.Write("curve.txt", name + "2 3 1\r\n12.0 3.0 1E7\r\n15.3 5.0 0\r\n46.4\r\n");
  const ProgramRun run =
      RunProgramWithTimeLimit(directory, WithCrLf(kUserCurveRun), kTimeLimitSeconds);
  ASSERT_EQ(run.exit_status, 0) << run.diagnostics;
  const std::string shown = " User Defined SN-Curve         : " + name.substr(0, 256) + "\n";
  EXPECT_EQ(Occurrences(run.console, shown), 1) << run.console;
  EXPECT_EQ(Occurrences(directory.Read("report.txt"), shown), 1);
  EXPECT_EQ(run.console.find('\r'), std::string::npos);
}

TEST(FailureInjection, GarbageInAnyInputEndsTheRunWithADiagnostic) {
  for (std::uint32_t seed = 1; seed <= 3; ++seed) {
    SCOPED_TRACE(seed);
    const std::string garbage = Garbage(4096, seed);
    const std::vector<std::pair<std::string, std::string>> files[] = {
        {{"hist.txt", garbage}, {"curve.txt", ReadTestFile("data/example_sn_curve.txt")}},
        {{"hist.txt", ReadTestFile("data/example_histogram.txt")}, {"curve.txt", garbage}},
    };
    for (const auto& pair : files) {
      ScratchDirectory directory;
      for (const auto& [name, content] : pair) directory.Write(name, content);
      const ProgramRun run = RunProgramWithTimeLimit(directory, kUserCurveRun, kTimeLimitSeconds);
      // A garbage histogram is an input error, or at best a count that does not match its
      // header; a garbage curve is an input error or refused, or if it happens to read as a
      // curve the run completes. Whatever it is, it is said.
      EXPECT_TRUE(run.exit_status == 0 || run.exit_status == 1 || run.exit_status == 2)
          << run.exit_status;
      if (run.exit_status != 0) {
        EXPECT_TRUE(!run.diagnostics.empty() ||
                    run.console.find(" *** ERROR. Number of blocks mismatch ") != std::string::npos)
            << run.console;
      }
    }
    // Garbage as the answers, kept to names inside the scratch directory (no "/"): the
    // report may open under some garbage name, but no histogram file of that name exists, so
    // the input ends at a question or an answer is no number.
    std::string answers = garbage;
    for (char& c : answers) {
      if (c == '/') c = '_';
    }
    ScratchDirectory empty;
    const ProgramRun run = RunProgramWithTimeLimit(empty, answers, kTimeLimitSeconds);
    EXPECT_EQ(run.exit_status, 2);
    EXPECT_NE(run.diagnostics.find(" *** ERROR"), std::string::npos) << run.diagnostics;
  }
}

TEST(FailureInjection, TenThousandBlocksAreSummedAndOneMoreIsRefused) {
  ScratchDirectory directory;
  directory.CopyData("example_sn_curve.txt", "curve.txt");
  directory.Write("hist.txt", CountingHistogram(10000));
  const ProgramRun run = RunProgramWithTimeLimit(directory, kUserCurveRun, kTimeLimitSeconds);
  ASSERT_EQ(run.exit_status, 0) << run.diagnostics;
  // Every stress lies below 10, on the curve's second segment: N = 10^15.3 x S^-5.
  double expected = 0.0;
  for (int i = 1; i <= 10000; ++i) expected += i * std::pow((i - 0.5) * 0.001, 5.0);
  expected /= std::pow(10.0, 15.3);
  EXPECT_NEAR(ShownDamage(run.console), expected, expected * 1e-5) << DamageLine(run.console);

  const std::string report = directory.Read("report.txt");
  directory.Write("hist.txt", CountingHistogram(10001));
  const ProgramRun refused = RunProgramWithTimeLimit(directory, kUserCurveRun, kTimeLimitSeconds);
  EXPECT_EQ(refused.exit_status, 1);
  EXPECT_NE(refused.diagnostics.find("hist.txt"), std::string::npos) << refused.diagnostics;
  EXPECT_NE(refused.diagnostics.find("10000 block"), std::string::npos) << refused.diagnostics;
  EXPECT_NE(refused.diagnostics.find("line 10003"), std::string::npos) << refused.diagnostics;
  EXPECT_EQ(refused.console.find(kDamageLabel), std::string::npos);
  EXPECT_EQ(directory.Read("report.txt"), report);  // the stopped run left it as it was
}

TEST(FailureInjection, EvaluationMessagesLostOnAFullDeviceAreReported) {
  ScratchDirectory directory;
  directory.CopyData("example_histogram.txt", "hist.txt");
  directory.CopyData("name_only_sn_curve.txt", "curve.txt");
  const ProgramRun run = RunProgramWithTimeLimit(
      directory, "/dev/full\nhist.txt\n\n\nn\ncurve.txt\n", kTimeLimitSeconds);
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_NE(run.diagnostics.find("\"/dev/full\" could not be written"), std::string::npos)
      << run.diagnostics;
}

}  // namespace
}  // namespace qartwo::testing
