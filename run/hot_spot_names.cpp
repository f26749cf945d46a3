#include "run/hot_spot_names.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

#include "run/batch_options.h"

namespace qartwo {
namespace {

std::uint64_t NameHash(std::string_view name) {
  return std::hash<std::string_view>{}(name);
}

// Where a hot spot stands, for a message: "list line 4" or "histogram 3".
std::string Place(const HotSpotEntry& entry, long long index) {
  return entry.line > 0 ? "line " + std::to_string(entry.line)
                        : "histogram " + std::to_string(index);
}

// The first problem of one hot spot, or false.
bool EntryProblem(const HotSpotEntry& entry, long long index, bool curve_needed,
                  std::string& problem) {
  if (const std::string_view name_problem = HotSpotNameProblem(entry.name); !name_problem.empty()) {
    problem = Place(entry, index) + ": the hot spot name ";
    AppendQuoted(problem, entry.name);
    problem += " ";
    problem += name_problem;
    return true;
  }
  if (curve_needed && entry.cells[kCurveColumn].empty()) {
    problem = Place(entry, index) + ": no curve (give --curve, or a curve in every row)";
    return true;
  }
  return false;
}

// Second reading: the names whose hashes are among `shared` (sorted), compared.
bool FindSameNames(HotSpotList& list, const std::vector<std::uint64_t>& shared,
                   std::string& problem) {
  if (!RestartHotSpotList(list, problem)) return false;
  struct Seen {
    std::string name;
    std::string place;
  };
  std::vector<Seen> seen;
  HotSpotEntry entry;
  for (long long index = 1; NextHotSpot(list, entry, problem) == NextRow::kRow; ++index) {
    if (!std::binary_search(shared.begin(), shared.end(), NameHash(entry.name))) continue;
    for (const Seen& earlier : seen) {
      if (earlier.name != entry.name) continue;
      problem = "two hot spots are named ";
      AppendQuoted(problem, entry.name);
      problem += " (" + earlier.place + " and " + Place(entry, index) +
                 "): give them names of their own in a name column";
      return false;
    }
    seen.push_back({std::string(entry.name), Place(entry, index)});
  }
  return problem.empty();
}

}  // namespace

std::string_view HotSpotNameProblem(std::string_view name) {
  if (name.empty()) return "is empty";
  if (name.size() > kMaxHotSpotName) return "is longer than 200 bytes";
  if (name == "." || name == "..") return "names a folder";
  if (name.find('/') != std::string_view::npos) return "holds a '/'";
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 32 || c == 127) return "holds a control character";
  }
  return {};
}

bool CheckHotSpots(HotSpotList& list, bool curve_needed, long long& count, std::string& problem) {
  std::vector<std::uint64_t> hashes;
  HotSpotEntry entry;
  count = 0;
  for (NextRow read; (read = NextHotSpot(list, entry, problem)) != NextRow::kEnd;) {
    if (read == NextRow::kProblem) return false;
    ++count;
    if (EntryProblem(entry, count, curve_needed, problem)) return false;
    hashes.push_back(NameHash(entry.name));
  }
  if (count == 0) {
    problem = "the list holds no hot spot";
    return false;
  }
  std::sort(hashes.begin(), hashes.end());
  std::vector<std::uint64_t> shared;
  for (std::size_t i = 1; i < hashes.size(); ++i) {
    if (hashes[i] == hashes[i - 1] && (shared.empty() || shared.back() != hashes[i])) {
      shared.push_back(hashes[i]);
    }
  }
  hashes = {};  // its room is free again for the hot spots
  if (!shared.empty() && !FindSameNames(list, shared, problem)) return false;
  return RestartHotSpotList(list, problem);
}

}  // namespace qartwo
