// The three standard descriptors of the process.
#pragma once

namespace qartwo {

// Opens /dev/null on each of descriptors 0, 1 and 2 that is closed, so that no file the
// program opens later can take a standard stream's place (the prompts would land in the
// report). Called by the main program before anything else.
void OpenClosedStandardDescriptors();

}  // namespace qartwo
