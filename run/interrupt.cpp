#include "run/interrupt.h"

#include <signal.h>

#include <cerrno>

#include "support/line_editor.h"

namespace qartwo {
namespace {

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGQUIT};

// Async-signal-safe. SA_RESETHAND has given the signal its default action back, so raising
// it again ends the run with that signal.
void EndRun(int signal_number) {
  RestoreTerminalAfterSignal();
  raise(signal_number);
}

// Async-signal-safe. Stops the run with the terminal as it was found; when the run is
// continued, the handler is back and so are the editor's terminal settings.
void StopRun(int) {
  const int saved_errno = errno;
  RestoreTerminalAfterSignal();
  struct sigaction stop {};
  struct sigaction own {};
  stop.sa_handler = SIG_DFL;
  sigemptyset(&stop.sa_mask);
  sigaction(SIGTSTP, &stop, &own);
  sigset_t stopping;
  sigemptyset(&stopping);
  sigaddset(&stopping, SIGTSTP);
  sigprocmask(SIG_UNBLOCK, &stopping, nullptr);
  raise(SIGTSTP);  // the run stands still here until it is continued
  sigaction(SIGTSTP, &own, nullptr);
  ResumeTerminalAfterStop();
  errno = saved_errno;
}

// Installs `handler` for `signal_number` unless the run was started with it ignored.
void Install(int signal_number, void (*handler)(int), int flags) {
  struct sigaction previous {};
  if (sigaction(signal_number, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) return;
  struct sigaction action {};
  action.sa_handler = handler;
  action.sa_flags = flags;
  sigemptyset(&action.sa_mask);
  sigaction(signal_number, &action, nullptr);
}

}  // namespace

void InstallInterruptHandlers() {
  for (const int signal_number : kEndingSignals) Install(signal_number, EndRun, SA_RESETHAND);
  Install(SIGTSTP, StopRun, SA_RESTART);
}

}  // namespace qartwo
