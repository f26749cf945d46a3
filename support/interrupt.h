// What a signal does to a run. Ctrl-C (SIGINT), SIGTERM, SIGQUIT, a closed terminal (SIGHUP)
// and a closed output pipe (SIGPIPE) give the terminal its settings back, remove the files
// registered here and then end the process by the same signal, as they would have without the
// program's handlers (a shell reports status 128 + the signal). A stop (Ctrl-Z) also leaves the
// terminal as it was found, and editing goes on when the run is continued. A file-size limit
// (SIGXFSZ) becomes a write error that the program reports.
#pragma once

namespace qartwo {

// Places for the paths removed on an interrupt.
enum class InterruptRemoval { kCreatedFile = 0, kTemporaryFile = 1 };
inline constexpr int kInterruptRemovals = 2;

// Installs the handlers; called once by the main program before anything is opened. A signal
// the program was started with ignored (nohup, a shell's background job) stays ignored.
void InstallInterruptHandlers();

// Registers `path` (a NUL-terminated text that must outlive the registration) to be removed
// when a signal ends the process; nullptr clears the place.
void RemoveOnInterrupt(InterruptRemoval place, const char* path);

// While held, the ending signals wait: a file and its registration appear and go together.
// Calls come in pairs, true then false, and do not nest.
void HoldInterrupts(bool hold);

}  // namespace qartwo
