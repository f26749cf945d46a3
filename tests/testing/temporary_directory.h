// Test and benchmark helper: a scratch directory of its own for each user.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

namespace qartwo::testing {

// A fresh directory under the system's temporary directory, named `prefix` and six random
// characters, removed with everything in it when the object goes. path() is empty when the
// directory could not be made.
class TemporaryDirectory {
 public:
  explicit TemporaryDirectory(const std::string& prefix = "qartwo_") {
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "XXXXXX")).string();
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~TemporaryDirectory() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TemporaryDirectory(const TemporaryDirectory&) = delete;
  TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace qartwo::testing
