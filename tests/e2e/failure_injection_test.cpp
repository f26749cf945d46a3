// Runs the built program against input that ends at any question, answers and files it
// must refuse, folders, devices, full disks, NUL bytes, lines far beyond 256 characters and
// too many blocks: every run ends by itself with a sound exit status and says why it failed.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <csignal>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

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

// Runs that stop at the choice or later name a report of their own, which must not be left.
const std::string kToChoice = "new.txt\nhist.txt\n\n\n";
const std::string kUserCurveRun = "report.txt\nhist.txt\n\n\nn\ncurve.txt\n";

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
const std::string kUnreadable =
    "console input could not be read at the question \"" + kQuestions[kReport];
const std::string kExampleDamage = DamageLine(ReadTestFile("golden/worked_example.console"));

// A histogram of `blocks` blocks of width 0.001 with i cycles in block i.
std::string CountingHistogram(int blocks) {
  std::string text = "$ block i has i cycles\n" + std::to_string(blocks) + ", 0.001, 0.0\n";
  for (int i = 1; i <= blocks; ++i) text += std::to_string(i) + " " + std::to_string(i) + "\n";
  return text;
}

// A run the failure table makes, and what it must show.
struct FailureRow {
  std::string name;
  std::string input;
  Question asked;  // the last question shown, and how often (0: the console is not looked at)
  int times;
  int exit_status;
  // 0: the run comes to the worked example's damage in report.txt and `said` is on the
  // console, in the report or the diagnostics; else `said` is in the diagnostics, by
  // default that the input ended.
  std::string said = "";
  std::string histogram = "";  // hist.txt and curve.txt, the worked example's when empty
  std::string curve = "";
  std::string shell = "";           // run before the program, e.g. a limit
  std::string redirect = "";        // after the program's own redirections
  std::string report = kOldReport;  // what report.txt holds after a run that fails
  int entries = 4;  // hist.txt, curve.txt, folder, report.txt: a report the run made is gone
  std::string wrapper = "";  // the program that starts the run
};

// The runs: input that ends at each question, refused answers and files, full devices and
// limits, and odd but valid input that must come to the worked example's damage.
std::vector<FailureRow> FailureRows() {
  const std::string histogram = ReadTestFile("data/example_histogram.txt");
  const std::string curve = ReadTestFile("data/example_sn_curve.txt");
  const std::string megabyte(1 << 20, 'x');
  const std::string nul(1, '\0');
  const std::string long_name = "W" + std::string(300, 'n');
  const std::string to_full = "/dev/full\nhist.txt\n\n\nn\ncurve.txt\n";
  const std::string too_long(300, 'a');
  std::string dots;  // 256 characters that would name report.txt, and a longer name
  for (int i = 0; i < 123; ++i) dots += "./";
  const std::string cut = " longer than 256 characters\n";
  return {
      {"nothing", "", kReport, 1, 2},
      {"no folder", "no_such_folder/report.txt\n", kReport, 2, 2},
      {"no newline", "new.txt\nhist.txt", kScf, 1, 2},
      {"scf", "new.txt\nhist.txt\n2\n", kThickness, 1, 2},
      {"choice", kToChoice, kChoice, 1, 2},
      {"no value", kToChoice + "\n\n   \n\t\n", kNumber, 1, 2},
      {"curve file", kToChoice + "n\n", kCurveFile, 1, 2},
      {"bad scf", "new.txt\nhist.txt\n\tx\n", kScf, 1, 2,
       "answer   : \\tx\n     problem  : \"x\": not a"},
      {"decimal comma", "new.txt\nhist.txt\n1,5\n", kScf, 1, 2,
       "answer   : 1,5\n     problem  : more than one value\n     expected : the stress "
       "concentration factor as a number\n     note     : a comma separates values"},
      {"null, number", "new.txt\nhist.txt\n\n,5\n", kThickness, 1, 2, "more than one value"},
      {"repeat", "new.txt\nhist.txt\n2*1.5\n", kScf, 1, 2, "more than one value\n"},
      {"cut scf", "new.txt\nhist.txt\n" + std::string(255, '0') + "2.5\n", kScf, 1, 2,
       "the answer is longer than 256 characters"},
      {"100 refused", std::string(100, '\n'), kReport, 100, 2,
       "100 answers in a row were refused at the question \"" + kQuestions[kReport] + "\""},
      {"100 refused numbers", kToChoice + std::string(100, '\n') + "0\n", kNumber, 1, 2,
       "100 answers in a row were refused at the question \"Specify"},
      {"stdin a folder", "", kReport, 1, 2, kUnreadable + "\": Is a directory", "", "", "", "<."},
      {"write-only stdin", "", kReport, 1, 2, kUnreadable + "\": Bad file descriptor", "", "", "",
       "0>w.txt", kOldReport, 5},
      {"upper-case N", kToChoice + "N\nn\n", kNumber, 1, 2,
       "only a lower-case n in the first column"},
      {"word in header", kToChoice + "\n1\n", kNumber, 1, 2,
       "\"hist.txt\" at line 3\n     line text: 4, ten, 0.0\n",
       ReadTestFile("data/word_in_header_histogram.txt")},
      {"no header", "report.txt\n/dev/null\n\n\n\n1\n", kNumber, 1, 2,
       "the header line is missing"},
      {"four per segment", kUserCurveRun, kCurveFile, 1, 1, "\"curve.txt\" refused at line 2", "",
       ReadTestFile("data/four_per_segment_sn_curve.txt")},
      {"name only", kToChoice + "n\ncurve.txt\n", kCurveFile, 1, 2,
       "\"curve.txt\" at its end\n     problem  : the file ends after its curve name line (line "
       "1); the size line is missing\n",
       "", ReadTestFile("data/name_only_sn_curve.txt")},
      {"full device", to_full, kCurveFile, 1, 1, "(No space left on device); the file is left"},
      {"made, size limit", "new.txt\nhist.txt\n\n\nn\ncurve.txt\n", kReport, 0, 1,
       "\"new.txt\" could not be written", "", "", "ulimit -f 1", ">/dev/null"},
      {"linked, size limit", kUserCurveRun, kReport, 0, 1, "the file is left as it was", "", "",
       "ln report.txt second.txt && ulimit -f 1", ">/dev/null", kOldReport, 5},
      {"made through a link", "link.txt\nhist.txt\n", kScf, 1, 2, "", "", "",
       "ln -s made.txt link.txt", "", kOldReport, 5},
      // a histogram with the report's inode number on another file system is another file
      {"same inode number", "a/report.txt\nb/hist.txt\n\n\nn\ncurve.txt\n", kCurveFile, 1, 0, "",
       "", "", "mkdir a b", "", kOldReport, 6,
       "unshare -rm sh -c 'mount -t tmpfs t a && mount -t tmpfs t b && cp hist.txt b && : "
       ">a/report.txt && [ $(stat -c %i a/report.txt) = $(stat -c %i b/hist.txt) ] && \"$0\" && "
       "cp a/report.txt .'"},
      {"fifo reports", "none.fifo\nread.fifo" + kUserCurveRun.substr(10), kCurveFile, 1, 0,
       "no program reads this FIFO", "", "", "mkfifo none.fifo read.fifo && exec 3<>read.fifo",
       "&& dd iflag=nonblock bs=64k count=1 <&3 >report.txt 2>/dev/null", kOldReport, 6},
      {"full console", kUserCurveRun, kReport, 0, 1, "console output could not be written", "", "",
       "", ">/dev/full", "e o f"},
      {"infinity", "report.txt\nhist.txt\n1E300\n\nn\ncurve.txt\n", kCurveFile, 1, 1,
       "not a finite number: the histogram's counts or stresses, the SCF, the thickness "
       "correction or the SN-curve's LogA and m take it",
       "", "", "", "", "      Infinity\n"},
      {"report is input", "hist.txt\nh2\n", kHistogram, 2, 2,
       "cannot use \"h2\" as the cycle histogram file: it is the report file\n", "", "",
       "ln -s hist.txt h2", "", kOldReport, 5},
      {"long name", dots + "report.txt.new\n", kReport, 2, 2, cut},
      // folders and unusable names are asked for again
      {"folders",
       "folder\n" + too_long + "\nrep" + nul +
           "rt.txt\nreport.txt\n.\nfolder\nhist.txt\n\n\nn\nfolder\ncurve.txt\n",
       kCurveFile, 2, 0,
       too_long.substr(0, 256) + "\" as the report file: the name is" + cut +
           " *** ERROR: cannot use \"rep\\x00rt.txt\" as the report file: the name holds a NUL "
           "byte\n *** ERROR: cannot use \".\" as the cycle histogram file: Is a directory\n"},
      {"scf 0", "report.txt\nhist.txt\n0\n1*80\nn\ncurve.txt\n", kCurveFile, 1, 0,
       "\n SCF                           :       0.000\n"},
      {"crlf", WithCrLf(kUserCurveRun), kCurveFile, 1, 0, ": " + long_name.substr(0, 256) + "\n",
       WithCrLf(histogram), WithCrLf(long_name + "\n2 3 1\n12.0 3.0 1E7\n15.3 5.0 0\n46.4\n")},
      {"byte-order marks", "\xEF\xBB\xBF" + kUserCurveRun, kCurveFile, 1, 0, "",
       "\xEF\xBB\xBF"
       "$ c\n" +
           histogram,
       "\xEF\xBB\xBF"
       "'\n" +
           curve},
      {"nul", kUserCurveRun, kCurveFile, 1, 0, "", "$ a" + nul + "b\n" + histogram,
       "'" + nul + "\n" + curve},
      {"megabyte lines", kUserCurveRun, kCurveFile, 1, 0,
       " *** NOTE: cycle histogram file \"hist.txt\" at line 4: values beyond the first 2 are "
       "ignored\n",
       "$" + megabyte + "\n" + std::string(1 << 20, ' ') + "\n4, 10.0, 0.0 " + megabyte +
           "\n1 2E5 3 " + megabyte + "\n2 4E4\n3 650\n4 30\n!" + megabyte,
       "'" + megabyte + "\n" + curve},
      {"fifo", "report.txt\nh.fifo\n\n\nn\ncurve.txt\n", kCurveFile, 1, 0, "", "", "",
       "mkfifo h.fifo && { cat hist.txt >h.fifo & }", "", kOldReport, 5},
      {"closed output", kUserCurveRun, kReport, 0, 0, "", "", "", "", ">&-"},
      {"report is output", "out.txt\n" + kUserCurveRun, kReport, 0, 0,
       "cannot use \"out.txt\" as the report file: it is the program's standard output", "", "", "",
       ">out.txt", kOldReport, 5},
      {"10001 blocks", kUserCurveRun, kCurveFile, 1, 1,
       "\"hist.txt\" refused at line 10003\n     line text: 10001 10001\n     problem  : more "
       "than 10000 block lines",
       CountingHistogram(10001)},
  };
}

TEST(FailureInjection, EveryRunEndsWithASoundStatusAndSaysWhy) {
  for (const FailureRow& row : FailureRows()) {
    SCOPED_TRACE(row.name);
    ScratchDirectory directory;
    std::filesystem::create_directory(directory.PathOf("folder"));
    directory.Write("report.txt", kOldReport);
    if (!row.histogram.empty()) directory.Write("hist.txt", row.histogram);
    if (!row.curve.empty()) directory.Write("curve.txt", row.curve);
    const ProgramRun run = directory.Run(row.input, row.shell, row.redirect, row.wrapper);
    EXPECT_EQ(run.exit_status, row.exit_status) << run.diagnostics;
    const std::string& question = kQuestions[row.asked];
    if (row.times > 0) {
      EXPECT_EQ(LastQuestion(run.console), question + " x" + std::to_string(row.times));
    }
    const std::string report = directory.Read("report.txt");
    if (row.exit_status == 0) {
      if (row.times > 0) {
        EXPECT_EQ(DamageLine(run.console), kExampleDamage);
      }
      EXPECT_NE(report.find(kExampleDamage), std::string::npos) << report;
      EXPECT_EQ(report.find("Give output file"), std::string::npos) << report;
      EXPECT_NE((run.console + report + run.diagnostics).find(row.said), std::string::npos)
          << row.said;
      EXPECT_EQ(run.console.find('\r'), std::string::npos);
      // Refused answers and notes are the only diagnostics of a completed run.
      for (std::size_t at = 0; at < run.diagnostics.size();
           at = run.diagnostics.find('\n', at) + 1) {
        const std::string_view line = std::string_view(run.diagnostics).substr(at, 22);
        EXPECT_TRUE(line == " *** ERROR: cannot use" || line.starts_with(" *** NOTE: ") ||
                    line.starts_with("     "))
            << run.diagnostics;
      }
      EXPECT_EQ(directory.Entries(), row.entries);
      continue;
    }
    const std::string said =
        row.said.empty() ? "console input ended at the question \"" + question + "\"" : row.said;
    EXPECT_NE(run.diagnostics.find(said), std::string::npos) << run.diagnostics;
    EXPECT_NE(report.find(row.report), std::string::npos) << report;
    if (row.report == kOldReport) {
      EXPECT_EQ(report, kOldReport);  // a stopped run leaves it as it was
    }
    EXPECT_EQ(directory.Entries(), row.entries);  // no report made and no temporary file left
  }
}

// A run whose answers come through a pipe: once it asks `waits`, the test changes its files
// or signals it, and only then gives the rest of the answers.
struct WaitingRow {
  std::string name;
  std::string first = "new.txt\nhist.txt\n";
  Question waits = kScf;
  std::string shell = "";                   // "&& <commands>" run in the folder while the run waits
  int signal = 0;                           // then sent to the run
  std::string rest = "";                    // the answers after it
  int exit_status = -1;                     // -1: ended by the signal
  std::string said = "";                    // in the diagnostics
  std::string check = "! test -e new.txt";  // a shell test of the folder afterwards
  bool nohup = false;                       // started with SIGHUP ignored
  std::string in = ".";                     // the folder it starts in
};

// Runs the program in `directory` as `row` says, its answers through a FIFO; its console and
// diagnostics go to files there. A run still going 20 s after its last answer is killed.
ProgramRun RunWaiting(const ScratchDirectory& directory, const WaitingRow& row) {
  const std::string here = directory.PathOf(".");
  const std::string script =
      "cd " + here + " && ulimit -c 0 && mkfifo answers && " +
      (row.nohup ? "trap '' HUP && " : "") + "{ (cd " + row.in + " && exec " QARTWO_BINARY " <" +
      here + "/answers >" + here + "/console 2>" + here +
      "/errors) & } && p=$! && exec 3>answers && printf %s '" + row.first +
      "' >&3 && i=0 && until grep -qF '" + kQuestions[row.waits] +
      "' console || [ $i = 2000 ]; do sleep 0.01; i=$((i+1)); done; true " + row.shell +
      (row.signal == 0 ? "" : " && kill -" + std::to_string(row.signal) + " $p") + "; printf %s '" +
      row.rest + "' >&3; exec 3>&-; (sleep 20; kill -9 $p) >/dev/null 2>&1 & w=$!; wait $p; " +
      "s=$?; kill $w; exit $s";
  const int raw = std::system(script.c_str());
  return {WEXITSTATUS(raw), directory.Read("console"), directory.Read("errors")};
}

// Signals end a run and remove the report it made, but not one that another program put under
// the name meanwhile; a report whose name was moved, removed or replaced goes under the name.
TEST(FailureInjection, RunsChangedWhileTheyWaitKeepWhatIsNotTheirs) {
  const std::string complete = "\n\nn\ncurve.txt\n", made = "made.txt\nhist.txt\n";
  const std::string another =
      "&& printf 'made.txt\\nhist.txt\\n\\n\\nn\\ncurve.txt\\n' | " QARTWO_BINARY " >/dev/null";
  const std::string damage = "grep -q '" + kExampleDamage + "' ";
  // clang-format off
  std::vector<WaitingRow> rows = {
      {.name = "nohup", .signal = SIGHUP, .rest = complete, .exit_status = 0,
       .check = damage + "new.txt", .nohup = true},
      {.name = "another run, bad SCF", .first = made, .shell = another, .rest = "x\n",
       .exit_status = 2, .check = damage + "made.txt"},
      {.name = "another run, SIGTERM", .first = made, .shell = another, .signal = SIGTERM,
       .check = damage + "made.txt"},
      {.name = "moved", .first = "report.txt\n", .waits = kHistogram,
       .shell = "&& chmod 640 report.txt && mv report.txt keep.txt", .rest = "hist.txt\n" + complete,
       .exit_status = 0, .said = "was moved, removed or replaced", .check = damage + "report.txt && "
       "grep -q 'last year' keep.txt && [ $(stat -c %a report.txt) = 640 ]"},
      {.name = "folder moved", .first = "folder/report.txt\n", .waits = kHistogram,
       .shell = "&& mv folder gone", .rest = "hist.txt\n" + complete, .exit_status = 1,
       .said = "no longer refers", .check = "test -e gone/report.txt && ! test -s gone/report.txt"},
      {.name = "run's folder moved", .first = "new.txt\n../hist.txt\n", .shell = "&& mv folder gone",
       .rest = "\n\nn\n../curve.txt\n", .exit_status = 0, .check = damage + "gone/new.txt",
       .in = "folder"},
      {.name = "link pointed elsewhere", .first = "link.txt\nhist.txt\n",
       .shell = "&& ln -sfn new.txt link.txt", .rest = complete, .exit_status = 0,
       .said = "was moved, removed or replaced", .check = damage + "new.txt && test -L link.txt && "
       "grep -q 'last year' report.txt"},
      {.name = "made, moved, size limit", .shell = "&& mv new.txt keep.txt && prlimit -p $p -f500",
       .rest = complete, .exit_status = 1, .said = "is not removed: the name no longer refers to it",
       .check = "test -e keep.txt && ! test -e new.txt"},
      {.name = "report is the input pipe", .first = "/dev/stdin\nreport.txt\n", .waits = kHistogram,
       .rest = "hist.txt\n" + complete, .exit_status = 0,
       .said = "it is the program's standard input", .check = damage + "report.txt"}};
  // clang-format on
  for (const int signal : {SIGALRM, SIGUSR1, SIGUSR2, SIGXCPU, SIGVTALRM, SIGPROF}) {
    rows.push_back({.name = strsignal(signal), .signal = signal});
  }
  for (const WaitingRow& row : rows) {
    SCOPED_TRACE(row.name);
    ScratchDirectory directory;
    std::filesystem::create_directory(directory.PathOf("folder"));
    directory.Write("report.txt", kOldReport);
    std::filesystem::create_symlink("report.txt", directory.PathOf("link.txt"));
    const ProgramRun run = RunWaiting(directory, row);
    EXPECT_EQ(run.exit_status, row.exit_status < 0 ? 128 + row.signal : row.exit_status)
        << run.diagnostics;
    EXPECT_NE(run.diagnostics.find(row.said), std::string::npos) << run.diagnostics;
    EXPECT_EQ(std::system(("cd " + directory.PathOf(".") + " && " + row.check).c_str()), 0)
        << row.check;
  }
}

// A completed report takes the old one's place whole: a new file with the old one's rights,
// behind a symbolic link that stays a link. A file with a second name, or of another user
// (who would lose it to root, when root runs), is written in place, so that both names show
// the new report and the owner stays.
TEST(FailureInjection, ACompletedReportTakesThePlaceOfTheOldOne) {
  namespace fs = std::filesystem;
  ScratchDirectory directory;
  for (const char* name : {"report.txt", "other.txt", "theirs.txt"}) {
    directory.Write(name, kOldReport);
  }
  fs::permissions(directory.PathOf("report.txt"),
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::create_symlink("report.txt", directory.PathOf("link.txt"));
  fs::create_hard_link(directory.PathOf("other.txt"), directory.PathOf("second.txt"));
  const bool root = geteuid() == 0 && chown(directory.PathOf("theirs.txt").c_str(), 65534, 0) == 0;
  for (const char* name : {"link.txt", "other.txt", "theirs.txt"}) {
    const ProgramRun run = directory.Run(name + kUserCurveRun.substr(10));
    EXPECT_EQ(run.exit_status, 0) << name << run.diagnostics;
  }
  EXPECT_TRUE(fs::is_symlink(directory.PathOf("link.txt")));
  EXPECT_EQ(fs::status(directory.PathOf("report.txt")).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  for (const char* name : {"report.txt", "second.txt", "theirs.txt"}) {
    EXPECT_NE(directory.Read(name).find(kExampleDamage), std::string::npos) << name;
  }
  struct stat theirs {};
  EXPECT_TRUE(!root || (stat(directory.PathOf("theirs.txt").c_str(), &theirs) == 0 &&
                        theirs.st_uid == 65534));  // 65534: nobody
  EXPECT_EQ(directory.Entries(), 7);               // no temporary file left
}

// A report that replaces an old one is on the disk before the rename, and the rename after
// it, so that a crash leaves one of them whole; a new report is not synced (batches of new
// reports stay fast). A name as long as the file system allows is replaced like any other. A
// report written in place goes over the old bytes and then cuts the surplus, with the ending
// signals held meanwhile; a write that fails before any byte went out leaves the old report. A
// FIFO put under the name between the look at it and its open is still opened as a FIFO.
TEST(FailureInjection, AReplacedReportIsSyncedAroundItsRenameOrWrittenOverTheOldOne) {
  if (std::system("strace -o /dev/null true 2>/dev/null") != 0) {
    GTEST_SKIP() << "strace is missing or cannot trace here";
  }
  const auto holds = [](const std::string& text, const std::string& files) {
    return "for f in " + files + "; do grep -qF '" + text + "' $f || exit 1; done";
  };
  const std::string linked = "ln report.txt second.txt", over = "fallocate pwrite64 ftruncate ";
  const std::string both = holds(kExampleDamage, "report.txt second.txt");
  struct Row {
    std::string report;
    std::string calls = "fsync rename fsync ";
    std::string shell = "";   // before the run
    std::string strace = "";  // more options: a fault injected, other calls traced
    int exit_status = 0;
    std::string said = "";       // in the diagnostics
    std::string check = "true";  // a shell test of the folder afterwards
  };
  // clang-format off
  const Row rows[] = {
      {.report = "report.txt", .check = holds(kExampleDamage, "report.txt")},
      {.report = std::string(250, 'r'), .shell = "echo old >" + std::string(250, 'r')},
      {.report = "new.txt", .calls = over},
      {.report = "report.txt", .calls = over, .shell = linked, .check = both},
      {.report = "report.txt", .calls = over, .shell = linked,
       .strace = "-e inject=pwrite64:signal=SIGTERM", .exit_status = 143, .check = both},
      {.report = "report.txt", .calls = over, .shell = linked,
       .strace = "-e inject=ftruncate:signal=SIGTERM", .exit_status = 143, .check = both},
      {.report = "report.txt", .calls = "fallocate pwrite64 ", .shell = linked,
       .strace = "-e inject=pwrite64:error=ENOSPC", .exit_status = 1,
       .said = "(No space left on device); the file is left as it was",
       .check = holds("last year", "report.txt second.txt")},
      {.report = "race.txt\nreport.txt", .calls = "openat openat ",
       .shell = "{ (for i in $(seq 500); do grep -q Give \"$PWD.io1\" && break; sleep 0.01; done; "
                "sleep 0.3; rm race.txt; mkfifo race.txt) & }",
       .strace = "-P race.txt -e trace=openat -e inject=openat:delay_enter=2000000:when=1",
       .said = "no program reads this FIFO", .check = holds(kExampleDamage, "report.txt")}};
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.report + " " + row.strace);
    ScratchDirectory directory;
    for (const char* name : {"report.txt", "race.txt"}) directory.Write(name, kOldReport);
    const ProgramRun run =
        directory.Run(row.report + kUserCurveRun.substr(10), row.shell, "",
                      // a leak check cannot run under a tracer
                      "env ASAN_OPTIONS=detect_leaks=0 strace -qq -e trace=fsync,"
                      "rename,renameat,renameat2,fallocate,pwrite64,ftruncate " +
                          row.strace);
    std::istringstream lines(run.diagnostics);
    std::string calls;
    for (std::string line; std::getline(lines, line);) {
      const std::size_t name = line.find('(');
      if (line.empty() || line[0] < 'a' || line[0] > 'z' || name == std::string::npos) continue;
      calls += line.starts_with("rename") ? "rename " : line.substr(0, name) + " ";
    }
    EXPECT_EQ(run.exit_status, row.exit_status) << run.diagnostics;
    EXPECT_EQ(calls, row.calls) << run.diagnostics;
    EXPECT_NE(run.diagnostics.find(row.said), std::string::npos) << run.diagnostics;
    EXPECT_EQ(std::system(("cd " + directory.PathOf(".") + " && " + row.check).c_str()), 0)
        << row.check;
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
