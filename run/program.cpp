#include "run/program.h"

#include <span>
#include <string_view>

#include "run/arguments.h"
#include "run/assessment.h"
#include "run/batch.h"
#include "support/io/interrupt.h"
#include "support/io/standard_streams.h"
#include "support/terminal/line_editor.h"

namespace qartwo {

int RunProgram(int argc, const char* const* argv) {
  OpenClosedStandardDescriptors();
  const std::span<const char* const> arguments(argv, argc > 0 ? static_cast<std::size_t>(argc) : 0);
  std::string_view refused;
  const Request request = ReadArguments(arguments.subspan(arguments.empty() ? 0 : 1), refused);
  if (request == Request::kBatch) return RunBatch(arguments.subspan(2));
  if (request != Request::kAssessment) return AnswerRequest(request, refused);
  InstallInterruptHandlers();
  StartLineEditor();
  const int status = RunAssessment();
  StopLineEditor();
  return status;
}

}  // namespace qartwo
