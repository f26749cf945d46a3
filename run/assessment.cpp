#include "run/assessment.h"

#include "support/units.h"

namespace qartwo {

int RunAssessment() {
  WriteLine(kConsoleOutput, " QAR TWO is not complete yet: the assessment is still being built.");
  return CloseAllUnits() == IoStatus::kOk ? 0 : 1;
}

}  // namespace qartwo
