// Ending the process by a signal without leaving files behind: Ctrl-C (SIGINT), SIGTERM, a
// closed terminal (SIGHUP) and a closed output pipe (SIGPIPE) remove the files registered here
// and then end the process by the same signal, as they would have without the program's
// handlers. A file-size limit (SIGXFSZ) becomes a write error that the program reports.
#pragma once

namespace qartwo {

// Places for the paths removed on an interrupt.
enum class InterruptRemoval { kCreatedFile = 0, kTemporaryFile = 1 };
inline constexpr int kInterruptRemovals = 2;

// Installs the handlers; called once by the main program before anything is opened.
void InstallInterruptHandlers();

// Registers `path` (a NUL-terminated text that must outlive the registration) to be removed
// when a signal ends the process; nullptr clears the place.
void RemoveOnInterrupt(InterruptRemoval place, const char* path);

// While held, the ending signals wait: a file and its registration appear and go together.
// Calls come in pairs, true then false, and do not nest.
void HoldInterrupts(bool hold);

// Registers a function the handler calls first, e.g. to give the terminal its normal mode
// back; it must be async-signal-safe. nullptr clears it.
void SetInterruptRestore(void (*restore)());

}  // namespace qartwo
