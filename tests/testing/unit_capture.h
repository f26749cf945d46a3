// Test helpers: connect a unit to memory so a test can see what a routine wrote to it, or
// feed it the lines a routine will read.
#pragma once

#include <stdio.h>

#include <cstdlib>
#include <string>
#include <string_view>

#include "support/units.h"

namespace qartwo::testing {

// Captures everything written to `unit` while the object lives; afterwards the unit is
// disconnected, and the console units are on the standard streams again.
class UnitCapture {
 public:
  explicit UnitCapture(int unit) : unit_(unit) {
    stream_ = open_memstream(&buffer_, &size_);
    Connection connection;
    connection.owns_stream = false;
    ConnectUnit(unit_, stream_, connection);
  }
  UnitCapture(const UnitCapture&) = delete;
  UnitCapture& operator=(const UnitCapture&) = delete;
  ~UnitCapture() {
    static_cast<void>(CloseUnit(unit_));
    std::fclose(stream_);
    std::free(buffer_);
    ConnectConsoleUnits();
  }

  // The text written so far.
  std::string Text() {
    std::fflush(stream_);
    return std::string(buffer_, size_);
  }

 private:
  int unit_;
  char* buffer_ = nullptr;
  std::size_t size_ = 0;
  std::FILE* stream_ = nullptr;
};

// Connects `unit` to a memory stream holding `content` while the object lives; afterwards as
// UnitCapture.
class UnitInput {
 public:
  UnitInput(int unit, std::string_view content) : unit_(unit), content_(content) {
    stream_ = content_.empty() ? std::fopen("/dev/null", "r")
                               : fmemopen(content_.data(), content_.size(), "r");
    Connection connection;
    connection.owns_stream = true;
    ConnectUnit(unit_, stream_, connection);
  }
  UnitInput(const UnitInput&) = delete;
  UnitInput& operator=(const UnitInput&) = delete;
  ~UnitInput() {
    static_cast<void>(CloseUnit(unit_));
    ConnectConsoleUnits();
  }

 private:
  int unit_;
  std::string content_;
  std::FILE* stream_ = nullptr;
};

}  // namespace qartwo::testing
