// Test helpers: files under tests/, line ends and diagnostics.
#pragma once

#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace qartwo::testing {

// The whole file at `path`; empty when it cannot be read (the test then fails on it).
inline std::string ReadWholeFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The whole file <path> of the project folder, as ReadWholeFile.
inline std::string ReadSourceFile(std::string_view path) {
  return ReadWholeFile(std::string(QARTWO_SOURCE_DIR) + "/" + std::string(path));
}

// The whole file tests/<path>, as ReadWholeFile.
inline std::string ReadTestFile(std::string_view path) {
  return ReadSourceFile("tests/" + std::string(path));
}

// The same text with every line ending in a carriage return and a newline.
inline std::string WithCrLf(std::string_view text) {
  std::string converted;
  for (char c : text) converted += c == '\n' ? "\r\n" : std::string(1, c);
  return converted;
}

// True when `expected` is all of `text` (when empty or starting with " ***") or a part of it.
inline bool IsDiagnostic(std::string_view text, std::string_view expected) {
  if (expected.empty() || expected.starts_with(" ***")) return text == expected;
  return text.find(expected) != std::string_view::npos;
}

}  // namespace qartwo::testing
