#include "fatigue/words.h"

#include <algorithm>
#include <array>

#include "support/text/fixed_text.h"

namespace qartwo {

namespace {

constexpr char kBlank = ' ';

// What a text is compared with past its end.
constexpr std::array<char, kListCompareLength> kBlanks = [] {
  std::array<char, kListCompareLength> blanks{};
  blanks.fill(kBlank);
  return blanks;
}();

char Folded(char c, bool fold) {
  return fold && c >= 'a' && c <= 'z' ? static_cast<char>(c - ('a' - 'A')) : c;
}

// `word` and `entry` are equal as LSTIDX compares them: each cut or blank-filled to the
// comparison length, in capitals when `fold` is set. Past the shorter text only its blank
// fill is compared, so most entries differ at once and none costs the full length.
bool SameListText(std::string_view word, std::string_view entry, bool fold) {
  word = word.substr(0, std::min(word.size(), kListCompareLength));
  entry = entry.substr(0, std::min(entry.size(), kListCompareLength));
  const std::size_t common = std::min(word.size(), entry.size());
  for (std::size_t i = 0; i < common; ++i) {
    if (Folded(word[i], fold) != Folded(entry[i], fold)) return false;
  }
  const std::string_view rest = (word.size() > common ? word : entry).substr(common);
  return rest == std::string_view(kBlanks.data(), rest.size());
}

}  // namespace

int IFNBLK(std::string_view text) {
  const std::size_t position = text.find_first_not_of(kBlank);
  if (position == std::string_view::npos) return 0;
  return static_cast<int>(position) + 1;
}

void UPCASE(std::span<char> text, int length) {
  if (length <= 0) return;
  const std::size_t count = std::min(text.size(), static_cast<std::size_t>(length));
  for (std::size_t i = 0; i < count; ++i) {
    if (text[i] >= 'a' && text[i] <= 'z') text[i] = static_cast<char>(text[i] - ('a' - 'A'));
  }
}

bool WRDSPL(std::string_view text, std::span<char> slots, int slot_width, int& nWords,
            int capacity) {
  // The slots actually usable: the caller's capacity, bounded by the room it handed over.
  std::size_t usable = 0;
  if (slot_width > 0 && capacity > 0) {
    usable = std::min(static_cast<std::size_t>(capacity),
                      slots.size() / static_cast<std::size_t>(slot_width));
  }
  const std::size_t width = slot_width > 0 ? static_cast<std::size_t>(slot_width) : 0;
  std::fill_n(slots.begin(), usable * width, kBlank);
  nWords = 0;

  const int first = IFNBLK(text);
  if (first == 0) return false;
  const std::size_t last = static_cast<std::size_t>(LENTRM(text));  // from 1

  std::size_t position = static_cast<std::size_t>(first) - 1;  // from 0
  while (position < last) {
    if (text[position] == kBlank) {
      ++position;
      continue;
    }
    std::size_t end = position;
    while (end < last && text[end] != kBlank) ++end;
    ++nWords;
    if (static_cast<std::size_t>(nWords) > usable) break;  // reported as usable + 1
    const std::span<char> slot = slots.subspan((nWords - 1) * width, width);
    const std::string_view word = text.substr(position, end - position);
    SetText(slot, word);
    position = end;
  }
  return nWords >= 1;
}

int LSTIDX(std::string_view word, std::span<const std::string_view> list, int nEntries,
           int caseFlag) {
  if (nEntries <= 0) return 0;
  const std::size_t count = std::min(list.size(), static_cast<std::size_t>(nEntries));
  const bool fold = caseFlag == 0;
  for (std::size_t i = 0; i < count; ++i) {
    if (SameListText(word, list[i], fold)) return static_cast<int>(i) + 1;
  }
  return 0;
}

}  // namespace qartwo
