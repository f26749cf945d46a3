// qartwo batch: many hot spots in one run, each evaluated as the interactive run would, with
// results.csv and, when asked, each hot spot's report and block table in an output folder.
#pragma once

#include <span>

namespace qartwo {

// Runs the batch the arguments after "batch" describe and returns the exit status: 0 every hot
// spot has status 0; 1 some failed, or a file could not be written; 2 a usage error (nothing
// written). An ending signal stops it between two hot spots: the rows done go to
// results.partial.csv, and the process ends by the signal.
int RunBatch(std::span<const char* const> arguments);

}  // namespace qartwo
