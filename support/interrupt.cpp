#include "support/interrupt.h"

#include <unistd.h>

#include <array>
#include <atomic>
#include <csignal>
#include <cstddef>

namespace qartwo {
namespace {

constexpr std::array<int, 4> kEndingSignals = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

// Read by the handler, so lock-free atomics: a signal may arrive in the middle of an update.
std::array<std::atomic<const char*>, kInterruptRemovals> g_removals{};
std::atomic<void (*)()> g_restore{nullptr};
static_assert(std::atomic<const char*>::is_always_lock_free);
static_assert(std::atomic<void (*)()>::is_always_lock_free);

extern "C" void EndBySignal(int signal_number) {
  if (void (*restore)() = g_restore.load(); restore != nullptr) restore();
  for (const std::atomic<const char*>& removal : g_removals) {
    if (const char* path = removal.load(); path != nullptr) unlink(path);
  }
  // The handler was installed with SA_RESETHAND: the signal, blocked while the handler runs,
  // ends the process as it returns.
  raise(signal_number);
}

}  // namespace

void InstallInterruptHandlers() {
  struct sigaction action {};
  action.sa_handler = EndBySignal;
  sigemptyset(&action.sa_mask);
  for (const int signal_number : kEndingSignals) sigaddset(&action.sa_mask, signal_number);
  action.sa_flags = SA_RESETHAND;
  for (const int signal_number : kEndingSignals) {
    struct sigaction previous {};
    // A signal ignored by whoever started the program (nohup, a shell's background job) stays
    // ignored.
    if (sigaction(signal_number, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) {
      continue;
    }
    sigaction(signal_number, &action, nullptr);
  }
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

void SetInterruptRestore(void (*restore)()) {
  g_restore.store(restore);
}

}  // namespace qartwo
