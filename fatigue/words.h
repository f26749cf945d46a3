// Words of a text and names in a list: the small text routines that decode the catalogue's
// curve names into standard, class and environment codes. Only code 32 is a blank.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace qartwo {

// Length of the texts LSTIDX compares; longer words and entries compare on this many.
inline constexpr std::size_t kListCompareLength = 256;

// Position (from 1) of the first character that is not a blank; 0 for an empty or all-blank
// text.
int IFNBLK(std::string_view text);

// Turns the letters a to z among the first `length` characters of `text` (at most
// text.size(); nothing for length <= 0) into capitals, in place; other bytes stay.
void UPCASE(std::span<char> text, int length);

// Splits `text` into blank-separated words. `slots` holds word slots of `slot_width`
// characters one after another; every slot in use is blanked first, then word k goes to slot
// k, cut or blank-filled to the width. The slots in use are the first `capacity`, but never
// more than fit whole in `slots`. nWords receives the number of words; when the words outrun
// the slots it is that number + 1 and the extra words are not stored. True when nWords >= 1.
bool WRDSPL(std::string_view text, std::span<char> slots, int slot_width, int& nWords,
            int capacity);

// Position (from 1) of the first of the first nEntries entries of `list` (at most
// list.size()) that equals `word`, 0 when none does. Both sides are cut or blank-filled to
// kListCompareLength, so trailing blanks never matter and leading blanks do; case flag 0
// compares letters without regard to case, any other flag exactly.
int LSTIDX(std::string_view word, std::span<const std::string_view> list, int nEntries,
           int caseFlag);

}  // namespace qartwo
