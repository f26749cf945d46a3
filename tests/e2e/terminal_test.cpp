// Runs the built program at a pseudo-terminal as a person types at it: each prompt is on the
// screen before its answer is typed, Tab completes a file name, the up arrow recalls an
// answer, Ctrl-D and Ctrl-C end the run, and the terminal keeps its settings.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utmp.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <string>
#include <vector>

#include "tests/e2e/run_qartwo.h"

namespace qartwo::testing {
namespace {

struct TerminalRun {
  std::string screen;  // everything the terminal received
  int status = -1;     // the exit status, or 128 + the signal that ended the run
  bool settings_kept = false;
};

// Reads the terminal until `text` shows after `from`, then moves `from` behind it. The 20 s
// limit only stops a run that waits for ever; it measures nothing.
bool Await(int terminal, std::string& screen, std::size_t& from, const std::string& text) {
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (screen.find(text, from) == std::string::npos) {
    pollfd ready{.fd = terminal, .events = POLLIN, .revents = 0};
    if (std::chrono::steady_clock::now() > limit) return false;
    if (poll(&ready, 1, 100) <= 0) continue;
    char bytes[4096];
    const ssize_t got = read(terminal, bytes, sizeof bytes);
    if (got <= 0) return false;
    screen.append(bytes, static_cast<std::size_t>(got));
  }
  from = screen.find(text, from) + text.size();
  return true;
}

// The exit status of `child`, or 128 + the signal that ended it; a run still going after 20 s
// is killed, so that a run that hangs fails the test rather than holding it.
int AwaitEnd(pid_t child) {
  int raw = 0;
  for (int tries = 0; waitpid(child, &raw, WNOHANG) == 0; ++tries) {
    if (tries == 2000 && kill(child, SIGKILL) == 0) ADD_FAILURE() << "the run did not end: killed";
    usleep(10000);
  }
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
}

// `dialogue`: a text to await on the screen, the keys to type then, and so on, ending with a
// text to await. With `piped` the keys reach standard input through a pipe. The run has no
// locale but `locale` (NAME=value, or nothing).
TerminalRun RunAtTerminal(const std::string& folder, const std::vector<std::string>& dialogue,
                          bool piped, std::string locale) {
  TerminalRun run;
  int terminal = -1;
  int device = -1;
  int pipe_ends[2] = {-1, -1};
  termios before{};
  if (openpty(&terminal, &device, nullptr, nullptr, nullptr) != 0 ||
      tcgetattr(device, &before) != 0 || (piped && pipe(pipe_ends) != 0)) {
    return run;
  }
  const pid_t child = fork();
  if (child == 0) {
    // Only the terminal and the pipe's reading end stay: the test's ends would keep them open.
    close(terminal);
    if (login_tty(device) != 0 || chdir(folder.c_str()) != 0) _exit(126);
    if (piped && (close(pipe_ends[1]) != 0 || dup2(pipe_ends[0], STDIN_FILENO) < 0)) _exit(126);
    if (piped) close(pipe_ends[0]);
    for (const char* name : {"LANG", "LC_ALL", "LC_CTYPE"}) unsetenv(name);
    if (!locale.empty()) putenv(locale.data());
    setenv("TERM", "xterm", 1);
    execl(QARTWO_BINARY, "qartwo", static_cast<char*>(nullptr));
    _exit(127);
  }
  const int keys = piped ? pipe_ends[1] : terminal;
  std::size_t from = 0;
  for (std::size_t i = 0; i < dialogue.size(); i += 2) {
    if (!Await(terminal, run.screen, from, dialogue[i])) {
      ADD_FAILURE() << "never shown: " << dialogue[i] << "\nscreen:\n" << run.screen;
      kill(child, SIGKILL);
      break;
    }
    const std::string& typed = i + 1 < dialogue.size() ? dialogue[i + 1] : "";
    if (write(keys, typed.data(), typed.size()) < 0) ADD_FAILURE() << "cannot type " << typed;
  }
  run.status = AwaitEnd(child);
  termios after{};
  run.settings_kept = tcgetattr(device, &after) == 0 && after.c_lflag == before.c_lflag &&
                      after.c_iflag == before.c_iflag && after.c_oflag == before.c_oflag &&
                      std::equal(after.c_cc, after.c_cc + NCCS, before.c_cc);
  for (const int fd : {terminal, device, pipe_ends[0], pipe_ends[1]}) close(fd);
  return run;
}

TEST(Terminal, PromptsShowBeforeEachAnswerAndTheTerminalIsLeftAsItWas) {
  const std::string report = " Give output file for misc print   :  ";
  const std::string histogram = " Cycle Histogram file              :  ";
  const std::string scf = " Stress Concentration Factor /1.0/ :  ";
  const std::string thickness = " Thickness (def is Tref on SN-curv):  ";
  const std::string choice = " Use the predefined SN-Curves? /y/ :  ";
  const std::string curve = " Give file containing SN Curve     :  ";
  const std::string damage = DamageLine(ReadTestFile("golden/worked_example.console"));
  struct Row {
    std::string name;
    std::vector<std::string> dialogue;  // awaited text, keys, ..., awaited text
    int status = 130;                   // 130: ended by Ctrl-C
    bool piped = false;       // answers from a pipe are read plainly; the screen is a terminal
    std::string file = "";    // a copy of hist.txt under this name
    std::string locale = "";  // the only locale setting, as NAME=value
  };
  // The report named, `keys` typed at the histogram question, `shown` awaited, then Ctrl-C.
  const auto stopped = [&](const std::string& keys, const std::string& shown) {
    return std::vector<std::string>{report, "report.txt\r", histogram, keys, shown, "\x03"};
  };
  const Row rows[] = {
      // Tab completes "hi" to hist.txt; up arrow recalls "curve.tx" to add the missing t
      {.name = "edited",
       .dialogue = {report, "report.txt\r", histogram, "hi\t\r", scf, "\r", thickness, "\r", choice,
                    "n\r", curve, "curve.tx\r", curve, "\x1b[At\r", damage},
       .status = 0},
      {.name = "piped",
       .dialogue = {report, "report.txt\n", histogram, "hist.txt\n", scf, "\n", thickness, "\n",
                    choice, "n\n", curve, "curve.tx\n", curve, "curve.txt\n", damage},
       .status = 0,
       .piped = true},
      {.name = "Ctrl-D", .dialogue = {report, "\x04", "console input ended at"}, .status = 2},
      // a name's control characters are listed as shown, not obeyed
      {.name = "listed", .dialogue = stopped("hi\t", "hi\\x1B[2J  hist.txt"), .file = "hi\x1b[2J"},
      // bytes from 128 on reach the open, typed or completed, without a locale or a missing one
      {.name = "no locale", .dialogue = stopped("hist_ø.txt\r", scf), .file = "hist_ø.txt"},
      {.name = "missing",
       .dialogue = stopped("hist_\t\r", scf),
       .file = "hist_ø.txt",
       .locale = "LANG=xx"},
      {.name = "Ctrl-C, made", .dialogue = {report, "new.txt\r", histogram, "\x03"}},
  };
  for (const Row& row : rows) {
#ifndef QARTWO_LINE_EDITING
    if (!row.piped) continue;  // built without libedit: answers are read plainly
#endif
    SCOPED_TRACE(row.name);
    ScratchDirectory directory;
    directory.Write("report.txt", "last year's report\n");
    if (!row.file.empty()) directory.Write(row.file, directory.Read("hist.txt"));
    const TerminalRun run =
        RunAtTerminal(directory.PathOf(""), row.dialogue, row.piped, row.locale);
    EXPECT_EQ(run.status, row.status) << run.screen;
    EXPECT_TRUE(run.settings_kept);
    // An stopped run leaves an old report as it was and removes one it made.
    if (row.status != 0) {
      EXPECT_EQ(directory.Read("report.txt"), "last year's report\n");
    }
    // hist.txt, curve.txt, report.txt and the row's file: a report the run made goes with it
    EXPECT_EQ(directory.Entries(), row.file.empty() ? 3 : 4);
    // The editor shows the prompt the run held back for it, so it is not shown twice.
    EXPECT_EQ(run.screen.find(report, run.screen.find(report) + 1), std::string::npos);
  }
#ifndef QARTWO_LINE_EDITING
  GTEST_SKIP() << "built without libedit: only answers read plainly were tried";
#endif
}

}  // namespace
}  // namespace qartwo::testing
