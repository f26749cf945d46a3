// Runs the built program against input that ends at any question, answers and files it
// must refuse, folders, devices, garbage, NUL bytes, lines far beyond 256 characters and
// too many blocks: every run ends by itself with a sound exit status and says why it failed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>

#include "tests/e2e/run_qartwo.h"
#include "tests/testing/test_data.h"

namespace qartwo::testing {
namespace {

enum Question { kReport, kHistogram, kScf, kThickness, kChoice, kNumber, kCurveFile };
const std::string kQuestions[] = {
    "Give output file for misc print   :", "Cycle Histogram file              :",
    "Stress Concentration Factor /1.0/ :", "Thickness (def is Tref on SN-curv):",
    "Use the predefined SN-Curves? /y/ :", "Specify SN-Curve number           :",
    "Give file containing SN Curve     :"};

const std::string kToChoice = "report.txt\nhist.txt\n\n\n";
const std::string kUserCurveRun = kToChoice + "n\ncurve.txt\n";

int Occurrences(const std::string& text, const std::string& part) {
  int count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

// The last question on the console and how often it was asked, as "<question> x<times>".
std::string LastQuestion(const std::string& console) {
  const std::string* last = nullptr;
  for (const std::string& question : kQuestions) {
    const std::size_t at = console.rfind(question);
    if (at != std::string::npos && (last == nullptr || at > console.rfind(*last))) last = &question;
  }
  return last == nullptr ? "none" : *last + " x" + std::to_string(Occurrences(console, *last));
}

const std::string kOldReport = "last year's report\n";
const std::string kExampleDamage = DamageLine(ReadTestFile("golden/worked_example.console"));

// A histogram of `blocks` blocks of width 0.001 with i cycles in block i.
std::string CountingHistogram(int blocks) {
  std::string text = "$ block i has i cycles\n" + std::to_string(blocks) + ", 0.001, 0.0\n";
  for (int i = 1; i <= blocks; ++i) text += std::to_string(i) + " " + std::to_string(i) + "\n";
  return text;
}

TEST(FailureInjection, EveryRunEndsWithASoundStatusAndSaysWhy) {
  const std::string histogram = ReadTestFile("data/example_histogram.txt");
  const std::string curve = ReadTestFile("data/example_sn_curve.txt");
  const std::string megabyte(1 << 20, 'x');
  const std::string nul(1, '\0');
  const std::string long_name = "W" + std::string(300, 'n');
  const std::string to_full = "/dev/full\nhist.txt\n\n\nn\ncurve.txt\n";
  const std::string full = "\"/dev/full\" could not be written";
  const std::string too_long(300, 'a');  // cut at 256, still beyond a file name's limit
  struct Row {
    std::string input;
    Question asked;  // the last question shown, and how often
    int times;
    int exit_status;
    // 0: the run comes to the worked example's damage and `said` is on the console or in
    // the report; else `said` is in the diagnostics, by default that the input ended.
    std::string said = "";
    std::string histogram = "";  // hist.txt and curve.txt, the worked example's when empty
    std::string curve = "";
  };
  const Row rows[] = {
      {"", kReport, 1, 2},
      {"no_such_folder/report.txt\n", kReport, 2, 2},
      {"report.txt\n", kHistogram, 1, 2},
      {"report.txt\nmissing.txt\nmissing.txt\n", kHistogram, 3, 2},
      {"report.txt\nhist.txt", kScf, 1, 2},  // the last answer has no newline
      {"report.txt\nhist.txt\n2\n", kThickness, 1, 2},
      {kToChoice, kChoice, 1, 2},
      {kToChoice + "y\n", kNumber, 1, 2},
      {kToChoice + "\n\n   \n\t\n", kNumber, 1, 2},  // answers without a value are passed over
      {kToChoice + "\n0\n51\n", kNumber, 3, 2},
      {kToChoice + "n\n", kCurveFile, 1, 2},
      {kToChoice + "n\nmissing.txt\n", kCurveFile, 2, 2},
      {"report.txt\nhist.txt\nabc\n", kScf, 1, 2, "answer   : abc\n     problem  : \"abc\": not a"},
      {kToChoice + "\n1.5\n", kNumber, 1, 2, "answer   : 1.5\n"},
      {kToChoice + "\n1\n", kNumber, 1, 2, "\"hist.txt\" at line 3\n     line text: 4, ten, 0.0\n",
       ReadTestFile("data/word_in_header_histogram.txt")},
      {kUserCurveRun, kCurveFile, 1, 1, "\"curve.txt\" refused at line 2", "",
       ReadTestFile("data/four_per_segment_sn_curve.txt")},
      {to_full, kCurveFile, 1, 1, full},  // a completed run whose report is lost
      {to_full, kCurveFile, 1, 1, full, "", ReadTestFile("data/name_only_sn_curve.txt")},
      // folders and unusable names are asked for again
      {"folder\n" + too_long + "\nrep" + nul +
           "rt.txt\nreport.txt\n.\nfolder\nhist.txt\n\n\nn\n"
           "folder\ncurve.txt\n",
       kCurveFile, 2, 0, " Cannot Open file :" + too_long.substr(0, 256) + "\n"},
      // an SCF of 0 counts as 1; a user-defined curve takes no thickness
      {"report.txt\nhist.txt\n0\n80\nn\ncurve.txt\n", kCurveFile, 1, 0,
       "\n SCF                           :       0.000\n"},
      {WithCrLf(kUserCurveRun), kCurveFile, 1, 0, ": " + long_name.substr(0, 256) + "\n",
       WithCrLf(histogram), WithCrLf(long_name + "\n2 3 1\n12.0 3.0 1E7\n15.3 5.0 0\n46.4\n")},
      {kUserCurveRun, kCurveFile, 1, 0, "", "$ a" + nul + "b\n" + histogram,
       "'" + nul + "\n" + curve},
      {kUserCurveRun, kCurveFile, 1, 0, "",
       "$" + megabyte + "\n" + std::string(1 << 20, ' ') + "\n4, 10.0, 0.0 " + megabyte +
           "\n1 2E5 3 " + megabyte + "\n2 4E4\n3 650\n4 30\n!" + megabyte,
       "'" + megabyte + "\n" + curve},
      {kUserCurveRun, kCurveFile, 1, 2, "\"hist.txt\" at line 3",
       "4, 10.0, 0.0\n1 2E5\n2 4" + nul + "E4\n3 650\n4 30\n"},
      {kUserCurveRun, kCurveFile, 1, 2, "\"hist.txt\" at line 1",  // 0.0 beyond column 256
       "4, 10.0" + std::string(250, ' ') + "0.0\n1 2E5\n"},
      {kUserCurveRun, kCurveFile, 1, 1,
       "\"hist.txt\" refused at line 10003\n     line text: 10001 10001\n     problem  : more "
       "than 10000 block lines",
       CountingHistogram(10001)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.input + row.histogram.substr(0, 40));
    ScratchDirectory directory;
    std::filesystem::create_directory(directory.PathOf("folder"));
    directory.Write("report.txt", kOldReport);
    if (!row.histogram.empty()) directory.Write("hist.txt", row.histogram);
    if (!row.curve.empty()) directory.Write("curve.txt", row.curve);
    const ProgramRun run = directory.Run(row.input);
    EXPECT_EQ(run.exit_status, row.exit_status) << run.diagnostics;
    const std::string& question = kQuestions[row.asked];
    EXPECT_EQ(LastQuestion(run.console), question + " x" + std::to_string(row.times));
    if (row.exit_status == 0) {
      EXPECT_EQ(DamageLine(run.console), kExampleDamage);
      const std::string report = directory.Read("report.txt");
      EXPECT_NE(report.find(kExampleDamage), std::string::npos) << report;
      EXPECT_EQ(report.find(kOldReport), std::string::npos);
      EXPECT_NE((run.console + report).find(row.said), std::string::npos) << row.said;
      EXPECT_EQ(run.console.find('\r'), std::string::npos);
      EXPECT_EQ(run.diagnostics, "");
      EXPECT_EQ(directory.Entries(), 4);  // with report.txt: no other name was created
      continue;
    }
    const std::string said =
        row.said.empty() ? "console input ended at the question \"" + question + "\"" : row.said;
    EXPECT_NE(run.diagnostics.find(said), std::string::npos) << run.diagnostics;
    EXPECT_EQ(directory.Read("report.txt"), kOldReport);  // a stopped run leaves it as it was
  }
}

TEST(FailureInjection, GarbageInAnyInputGivesASoundStatus) {
  std::uint32_t state = 1;
  for (int round = 0; round < 9; ++round) {
    std::string garbage(4096, '\0');  // bytes of every value, newlines among them
    for (char& c : garbage) c = static_cast<char>((state = state * 1664525U + 1013904223U) >> 24);
    ScratchDirectory directory;
    const int where = round % 3;  // in the histogram, the curve file, the answers
    if (where < 2) directory.Write(where == 0 ? "hist.txt" : "curve.txt", garbage);
    std::replace(garbage.begin(), garbage.end(), '/', '_');  // answers name no other folder
    const ProgramRun run = directory.Run(where == 2 ? garbage : kUserCurveRun);
    // Garbage answers name no histogram file that exists; a garbage curve may happen to read
    // as one and the run completes. Else the failure is said.
    EXPECT_TRUE(where != 2 || run.exit_status == 2) << round << ": " << run.exit_status;
    EXPECT_TRUE(run.exit_status >= 0 && run.exit_status <= 2) << round << ": " << run.exit_status;
    if (run.exit_status != 0) {
      EXPECT_NE((run.diagnostics + run.console).find(" *** ERROR"), std::string::npos) << round;
    }
  }
}

TEST(FailureInjection, TenThousandBlocksAreSummed) {
  ScratchDirectory directory;
  directory.Write("hist.txt", CountingHistogram(10000));
  const ProgramRun run = directory.Run(kUserCurveRun);
  ASSERT_EQ(run.exit_status, 0) << run.diagnostics;
  // Every stress lies below 10, on the curve's second segment: N = 10^15.3 x S^-5.
  double expected = 0.0;
  for (int i = 1; i <= 10000; ++i) expected += i * std::pow((i - 0.5) * 0.001, 5.0);
  expected /= std::pow(10.0, 15.3);
  const std::string damage = DamageLine(run.console);
  EXPECT_NEAR(std::stod(damage.substr(damage.find(':') + 1)), expected, expected * 1e-5) << damage;
}

}  // namespace
}  // namespace qartwo::testing
