// What a signal does to a run. Ctrl-C (SIGINT), SIGTERM, SIGQUIT, a closed terminal (SIGHUP),
// a closed output pipe (SIGPIPE), timers and schedulers (SIGALRM, SIGUSR1, SIGUSR2, SIGVTALRM,
// SIGPROF) and a CPU-time limit (SIGXCPU) give the terminal its settings back, remove the
// files registered here and then end the process by the same signal, as they would have
// without the program's handlers (a shell reports status 128 + the signal). A stop (Ctrl-Z)
// also leaves the terminal as it was found, and editing goes on when the run is continued. A
// file-size limit (SIGXFSZ) becomes a write error that the program reports.
#pragma once

#include <csignal>

namespace qartwo {

// Places for the files removed on an interrupt.
enum class InterruptRemoval { kCreatedFile = 0, kTemporaryFile = 1 };
inline constexpr int kInterruptRemovals = 2;

// A step a terminal takes when a signal ends or stops the run (its settings put back) or when a
// stopped run goes on (its own settings again). Called from a signal handler: async-signal-safe.
using TerminalSignalHook = void (*)();

// Registers the terminal's two steps (nullptr for none), which the handlers call before the
// files are removed and the signal ends the run, and around a stop. The pointers are lock-free
// atomics, so a handler never sees one half set.
void SetTerminalSignalHooks(TerminalSignalHook restore, TerminalSignalHook resume);

// Installs the handlers; called once by the main program before anything is opened. A signal
// the program was started with ignored (nohup, a shell's background job) stays ignored.
void InstallInterruptHandlers();

// Instead of the handlers: the ending signals only record themselves, for a program that
// stops at a point of its own choosing (a batch, between two hot spots). A blocked read or
// open returns EINTR, so that the program gets to see the signal. A signal the program was
// started with ignored stays ignored; a file-size limit is a write error.
void DeferInterrupts();

// The ending signal recorded since DeferInterrupts (the first one), or 0.
int PendingInterrupt();

// Ends the process by `signal_number` as its default action does (a shell reports 128 + the
// signal); returns only for a signal whose default action does not end a process.
void EndByInterrupt(int signal_number);

// While an object lives, the ending signals wait, so that a file and its registration appear
// and go together. Each keeps the mask it found and puts it back, so holds may nest and
// signals blocked by whoever started the program stay blocked.
class InterruptHold {
 public:
  InterruptHold();
  ~InterruptHold();
  InterruptHold(const InterruptHold&) = delete;
  InterruptHold& operator=(const InterruptHold&) = delete;

 private:
  sigset_t before_;
};

// Registers the file open on `fd` under `path` (copied; a path too long is not registered) to
// be removed when a signal ends the process, or by RemoveRegisteredFile. Its device and inode
// are taken now, while it is open, so that only this file is ever removed under that name.
void RemoveOnInterrupt(InterruptRemoval place, const char* path, int fd);

// Removes the file registered at `place` if its name still refers to it, and forgets it.
// True when a file was removed: false when none was registered, the name no longer refers to
// it (moved, removed or replaced meanwhile) or the removal failed.
bool RemoveRegisteredFile(InterruptRemoval place);

// Forgets the file registered at `place`, which stays.
void KeepRegisteredFile(InterruptRemoval place);

}  // namespace qartwo
