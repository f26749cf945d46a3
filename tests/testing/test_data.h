// Test helper: the content of a file under tests/data/.
#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

namespace qartwo::testing {

// The whole file tests/data/<name>; empty when it cannot be read (the test then fails on
// its content).
inline std::string ReadTestData(std::string_view name) {
  std::ifstream file(std::string(QARTWO_SOURCE_DIR) + "/tests/data/" + std::string(name),
                     std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

// The same text with every line ending in a carriage return and a newline.
inline std::string WithCrLf(std::string_view text) {
  std::string converted;
  for (char c : text) {
    if (c == '\n') converted += '\r';
    converted += c;
  }
  return converted;
}

}  // namespace qartwo::testing
