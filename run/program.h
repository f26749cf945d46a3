// The whole program behind main: the command line, then one assessment.
#pragma once

namespace qartwo {

// Answers --help, -h and --version, runs a batch for "batch" and its arguments, refuses any
// other argument (status 2, nothing asked), or runs one assessment; returns the exit status. Closed
// standard descriptors are opened on /dev/null first, and the interrupt handling is installed
// before anything is opened. The assessment reads answers with line editing when a person is at a
// terminal; the terminal is left as it was found.
int RunProgram(int argc, const char* const* argv);

}  // namespace qartwo
