// File-name completion of a typed path: the names of its folder that begin as the typed text
// ends, what they have in common and a sorted few of them for a listing.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "support/text/fixed_text.h"

namespace qartwo {

// At most this many names are kept for a listing; beyond it only their number is known.
inline constexpr int kListedNames = 100;

// Room for the kept names, each with a '/' behind a folder's name.
inline constexpr std::size_t kListedNameRoom = 16384;

// What completing a typed path found. The views in `names` point into `pool`: a copy of the
// object keeps views into the original, so pass it by reference.
struct NameCompletion {
  int count = 0;  // names that begin with the typed last part
  // The text every match continues the typed text with; for a single folder it ends in '/'.
  std::array<char, kTextLength + 1> addition{};
  std::size_t addition_length = 0;
  int kept = 0;  // names kept in `names`, sorted; all of them when count <= kListedNames
  std::array<std::string_view, kListedNames> names{};
  std::array<char, kListedNameRoom> pool{};
};

// Completes `typed`, the whole text before the cursor taken as one path (blanks included):
// the part up to its last '/' names the folder (the current folder when there is none; '~' is
// not expanded, since the open takes names as they are), the rest begins the names looked for.
// Names that begin with '.' count only when the typed part does. A folder that cannot be read
// gives no match.
void CompleteName(std::string_view typed, NameCompletion& found);

// The addition as text.
inline std::string_view Addition(const NameCompletion& found) {
  return {found.addition.data(), found.addition_length};
}

}  // namespace qartwo
