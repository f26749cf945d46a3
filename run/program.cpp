#include "run/program.h"

#include "run/assessment.h"
#include "support/interrupt.h"
#include "support/standard_streams.h"

namespace qartwo {

int RunProgram() {
  OpenClosedStandardDescriptors();
  InstallInterruptHandlers();
  return RunAssessment();
}

}  // namespace qartwo
