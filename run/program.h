// The whole process around one assessment.
#pragma once

namespace qartwo {

// Makes the standard streams safe to use, installs the interrupt handling and runs one
// assessment; returns the process exit status (see RunAssessment).
int RunProgram();

}  // namespace qartwo
