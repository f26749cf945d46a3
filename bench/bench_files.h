// Benchmark helpers: a scratch directory removed at exit, and the input files the benchmarks
// feed the program (a histogram of the largest size the program accepts, the examples).
#pragma once

#include <cmath>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "run/histogram_file.h"
#include "tests/testing/temporary_directory.h"

namespace qartwo::bench {

// Blocks of the large histogram: as many as the program holds.
inline constexpr int kBlocks = static_cast<int>(kMaxBlocks);
// Block width of the large histogram, so the stress ranges run from 0 to 500.
inline constexpr double kBlockWidth = 0.05;
inline constexpr const char* kLargeHistogramName = "histogram_10000.txt";

// The benchmarks' scratch directory, removed at exit.
using ScratchDirectory = testing::TemporaryDirectory;

// Cycles per year of block i (from 1): many small ranges, few large ones.
inline double BlockCount(int i) {
  return std::round(1.0e7 * std::exp(-static_cast<double>(i) / 800.0)) + 1.0;
}

// The text of a kBlocks-block histogram file with the counts of BlockCount.
inline std::string LargeHistogramText() {
  std::ostringstream text;
  text << kBlocks << ", " << kBlockWidth << ", 0.0\n";
  for (int i = 1; i <= kBlocks; ++i) text << i << "  " << BlockCount(i) << '\n';
  return text.str();
}

// Writes `content` to `path`; false when the file could not be written.
inline bool WriteFile(const std::filesystem::path& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary);
  out << content;
  return static_cast<bool>(out.flush());
}

// The content of `path`, empty when it cannot be read.
inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

}  // namespace qartwo::bench
