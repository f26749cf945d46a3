// What an interrupt does to a run: the terminal gets its settings back, then the signal ends
// the run as it would have without a handler (a shell reports status 128 + the signal). A
// stop (Ctrl-Z) also leaves the terminal as it was found, and editing goes on when the run
// is continued.
#pragma once

namespace qartwo {

// Installs the handlers for SIGINT, SIGTERM, SIGQUIT and SIGTSTP; a signal the run was
// started with ignored stays ignored.
void InstallInterruptHandlers();

}  // namespace qartwo
