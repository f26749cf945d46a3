// Test helper: captured output split into lines, each closed by ";" so that trailing blanks
// show in a failure message.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qartwo::testing {

// The lines of `text` (each ended by a newline; an unterminated tail counts as a line).
inline std::vector<std::string> MarkedLines(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    lines.push_back(std::string(text.substr(0, end)) + ";");
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

// `lines` each closed by ";", for comparison with MarkedLines.
inline std::vector<std::string> Marked(std::vector<std::string> lines) {
  for (std::string& line : lines) line += ";";
  return lines;
}

}  // namespace qartwo::testing
