#include "support/io/interrupt.h"

#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstring>

#include "support/io/file_identity.h"
#include "support/io/file_open.h"

namespace qartwo {
namespace {

constexpr std::array<int, 11> kEndingSignals = {SIGINT,  SIGTERM,   SIGQUIT, SIGHUP,
                                                SIGPIPE, SIGALRM,   SIGUSR1, SIGUSR2,
                                                SIGXCPU, SIGVTALRM, SIGPROF};

// A file to remove: its name and the identity it had when it was registered.
struct Removal {
  bool registered = false;
  FileIdentity identity;
  std::array<char, kPathCapacity> path{};
};

// Changed only while the ending signals are held, and read by their handler, which runs with
// them held too: the handler never sees a half-made entry.
std::array<Removal, kInterruptRemovals> g_removals{};

// The terminal's steps around a signal; nullptr while no terminal registered any.
std::atomic<TerminalSignalHook> g_restore_terminal{nullptr};
std::atomic<TerminalSignalHook> g_resume_terminal{nullptr};
static_assert(std::atomic<TerminalSignalHook>::is_always_lock_free,
              "a signal handler may only read lock-free atomics");

void CallHook(const std::atomic<TerminalSignalHook>& hook) {
  if (const TerminalSignalHook step = hook.load(); step != nullptr) step();
}

Removal& RemovalAt(InterruptRemoval place) {
  return g_removals[static_cast<std::size_t>(place)];
}

// Unlinks the name only while it refers to the registered file: another program may have put
// a file of its own under it (another run's complete report). Between the look and the unlink
// the name may still change; that gap of a few system calls is accepted, as the system offers
// no unlink that checks the inode. True when it removed the file. Async-signal-safe.
bool RemoveIfSame(Removal& removal) {
  const bool removed = removal.registered &&
                       SameFile(NameIdentity(removal.path.data()), removal.identity) &&
                       unlink(removal.path.data()) == 0;
  removal.registered = false;
  return removed;
}

extern "C" void EndBySignal(int signal_number) {
  CallHook(g_restore_terminal);
  for (Removal& removal : g_removals) static_cast<void>(RemoveIfSame(removal));
  // The handler was installed with SA_RESETHAND: the signal, blocked while the handler runs,
  // ends the process as it returns.
  raise(signal_number);
}

// Stops the run with the terminal as it was found; when the run is continued, the handler is
// back and so are the editor's terminal settings.
extern "C" void StopBySignal(int) {
  const int saved_errno = errno;
  CallHook(g_restore_terminal);
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
  CallHook(g_resume_terminal);
  errno = saved_errno;
}

// The first ending signal recorded in the deferred mode.
volatile std::sig_atomic_t g_pending_signal = 0;

extern "C" void RecordSignal(int signal_number) {
  if (g_pending_signal == 0) g_pending_signal = signal_number;
}

void AddEndingSignals(sigset_t& signals) {
  for (const int ending : kEndingSignals) sigaddset(&signals, ending);
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
  AddEndingSignals(action.sa_mask);
  sigaction(signal_number, &action, nullptr);
}

}  // namespace

void SetTerminalSignalHooks(TerminalSignalHook restore, TerminalSignalHook resume) {
  g_restore_terminal.store(restore);
  g_resume_terminal.store(resume);
}

void InstallInterruptHandlers() {
  for (const int signal_number : kEndingSignals) {
    Install(signal_number, EndBySignal, SA_RESETHAND);
  }
  Install(SIGTSTP, StopBySignal, SA_RESTART);
  std::signal(SIGXFSZ, SIG_IGN);
}

void DeferInterrupts() {
  for (const int signal_number : kEndingSignals) Install(signal_number, RecordSignal, 0);
  std::signal(SIGXFSZ, SIG_IGN);
}

int PendingInterrupt() {
  return g_pending_signal;
}

void EndByInterrupt(int signal_number) {
  std::signal(signal_number, SIG_DFL);
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, signal_number);
  sigprocmask(SIG_UNBLOCK, &signals, nullptr);
  raise(signal_number);
}

InterruptHold::InterruptHold() {
  sigset_t signals;
  sigemptyset(&signals);
  AddEndingSignals(signals);
  sigprocmask(SIG_BLOCK, &signals, &before_);
}

InterruptHold::~InterruptHold() {
  sigprocmask(SIG_SETMASK, &before_, nullptr);
}

void RemoveOnInterrupt(InterruptRemoval place, const char* path, int fd) {
  const InterruptHold hold;
  Removal& removal = RemovalAt(place);
  const std::size_t length = std::strlen(path);
  removal.registered = length < removal.path.size();
  if (!removal.registered) return;
  std::memcpy(removal.path.data(), path, length + 1);
  removal.identity = DescriptorIdentity(fd);
}

bool RemoveRegisteredFile(InterruptRemoval place) {
  const InterruptHold hold;
  return RemoveIfSame(RemovalAt(place));
}

void KeepRegisteredFile(InterruptRemoval place) {
  const InterruptHold hold;
  RemovalAt(place).registered = false;
}

}  // namespace qartwo
