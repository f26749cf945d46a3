#include "run/interrupt.h"

#include <signal.h>

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

}  // namespace

void InstallInterruptHandlers() {
  struct sigaction action {};
  action.sa_handler = EndRun;
  action.sa_flags = SA_RESETHAND;
  sigemptyset(&action.sa_mask);
  for (const int signal_number : kEndingSignals) {
    // A signal the shell had ignored (a background job's SIGINT) stays ignored.
    struct sigaction previous {};
    if (sigaction(signal_number, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) {
      continue;
    }
    sigaction(signal_number, &action, nullptr);
  }
}

}  // namespace qartwo
