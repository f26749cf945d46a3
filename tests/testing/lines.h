// Test helper: captured output as lines, each closed by ";" so trailing blanks show.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace qartwo::testing {

// The lines of `text` each closed by ";" (an unterminated tail counts as a line).
inline std::vector<std::string> MarkedLines(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    lines.push_back(std::string(text.substr(0, end)) + ";");
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return lines;
}

}  // namespace qartwo::testing
