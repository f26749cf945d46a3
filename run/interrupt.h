// What an interrupt does to a run: the terminal gets its settings back, then the signal ends
// the run as it would have without a handler (a shell reports status 128 + the signal).
#pragma once

namespace qartwo {

// Installs the handler for SIGINT, SIGTERM and SIGQUIT.
void InstallInterruptHandlers();

}  // namespace qartwo
