#include "support/interrupt.h"

#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstddef>

#include "support/line_editor.h"

namespace qartwo {
namespace {

constexpr std::array<int, 5> kEndingSignals = {SIGINT, SIGTERM, SIGQUIT, SIGHUP, SIGPIPE};

// Read by the handler, so lock-free atomics: a signal may arrive in the middle of an update.
std::array<std::atomic<const char*>, kInterruptRemovals> g_removals{};
static_assert(std::atomic<const char*>::is_always_lock_free);

extern "C" void EndBySignal(int signal_number) {
  RestoreTerminalAfterSignal();
  for (const std::atomic<const char*>& removal : g_removals) {
    if (const char* path = removal.load(); path != nullptr) unlink(path);
  }
  // The handler was installed with SA_RESETHAND: the signal, blocked while the handler runs,
  // ends the process as it returns.
  raise(signal_number);
}

// Stops the run with the terminal as it was found; when the run is continued, the handler is
// back and so are the editor's terminal settings.
extern "C" void StopBySignal(int) {
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

// Installs `handler` for `signal_number`, with the ending signals held while it runs, unless
// the program was started with the signal ignored.
void Install(int signal_number, void (*handler)(int), int flags) {
  struct sigaction previous {};
  if (sigaction(signal_number, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) return;
  struct sigaction action {};
  action.sa_handler = handler;
  action.sa_flags = flags;
  sigemptyset(&action.sa_mask);
  for (const int ending : kEndingSignals) sigaddset(&action.sa_mask, ending);
  sigaction(signal_number, &action, nullptr);
}

}  // namespace

void InstallInterruptHandlers() {
  for (const int signal_number : kEndingSignals) {
    Install(signal_number, EndBySignal, SA_RESETHAND);
  }
  Install(SIGTSTP, StopBySignal, SA_RESTART);
  std::signal(SIGXFSZ, SIG_IGN);
}

void RemoveOnInterrupt(InterruptRemoval place, const char* path) {
  g_removals[static_cast<std::size_t>(place)].store(path);
}

void HoldInterrupts(bool hold) {
  // The mask before holding is restored afterwards, so that signals blocked by whoever started
  // the program stay blocked.
  static sigset_t before;
  if (!hold) {
    sigprocmask(SIG_SETMASK, &before, nullptr);
    return;
  }
  sigset_t signals;
  sigemptyset(&signals);
  for (const int signal_number : kEndingSignals) sigaddset(&signals, signal_number);
  sigprocmask(SIG_BLOCK, &signals, &before);
}

}  // namespace qartwo
