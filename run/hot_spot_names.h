// The names of a batch's hot spots, which name their files in the output folder: checked, and
// found unique, before any hot spot runs.
#pragma once

#include <string>
#include <string_view>

#include "run/hot_spot_list.h"

namespace qartwo {

// The longest name of a hot spot, in bytes.
inline constexpr std::size_t kMaxHotSpotName = 200;

// Why `name` cannot name a hot spot, or empty when it can: at most kMaxHotSpotName bytes, not
// empty, not "." or "..", no '/' and no control character (codes below 32 and 127).
std::string_view HotSpotNameProblem(std::string_view name);

// Reads every hot spot of `list` once, counting them into `count`, and goes back to its start.
// False with the reason in `problem` for a row that cannot be read, a name that breaks the
// rules, two hot spots of the same name, and a row without a curve when `curve_needed`. Keeps
// only a 64-bit hash per name; names whose hashes meet are compared in a second reading.
[[nodiscard]] bool CheckHotSpots(HotSpotList& list, bool curve_needed, long long& count,
                                 std::string& problem);

}  // namespace qartwo
