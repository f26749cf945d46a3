// One interactive fatigue assessment: the console dialogue, the input files, the evaluation
// and the report.
#pragma once

namespace qartwo {

// Runs one assessment on the console units and returns the process exit status:
// 0 damage computed and report written, 1 a failure the run reported, 2 an input error.
int RunAssessment();

}  // namespace qartwo
