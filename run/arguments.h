// The command line: none for an assessment, "batch" and its own arguments for a batch, or one
// of --help, -h and --version.
#pragma once

#include <span>
#include <string_view>

namespace qartwo {

// What the command line asks of the program.
enum class Request { kAssessment, kBatch, kHelp, kVersion, kRefused };

// Reads the arguments after the program's name. No argument is an assessment; "batch" first
// is a batch, whatever follows (its arguments are read by the batch); one --help,
// -h or --version asks for that; anything else is refused, and `refused` is then the first
// argument that does not fit (the second one, when the first would do on its own).
Request ReadArguments(std::span<const char* const> arguments, std::string_view& refused);

// Answers a request other than an assessment or a batch and returns the exit status: the usage or
// the version on unit 6 (0; 1 with the reason on unit 0 when it could not be written), or for a
// refused argument "qartwo: unknown argument '<refused>'", its control characters shown as
// AppendVisible does, and a pointer to --help on unit 0 (2).
int AnswerRequest(Request request, std::string_view refused);

}  // namespace qartwo
