// The exit statuses of a run, and of each hot spot of a batch.
#pragma once

namespace qartwo {

inline constexpr int kExitCompleted = 0;        // damage computed and report written
inline constexpr int kExitReportedFailure = 1;  // a failure the run reported
inline constexpr int kExitInputError = 2;       // an input error, or a usage error

}  // namespace qartwo
