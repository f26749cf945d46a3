// Test helpers: connect a unit to memory so a test can see what a routine wrote to it, or
// feed it the lines a routine will read.
#pragma once

#include <stdio.h>

#include <cstdlib>
#include <string>
#include <string_view>

#include "support/io/units.h"

namespace qartwo::testing {

// Connects `unit` to a memory stream while the object lives; afterwards the unit is
// disconnected, and the console units are on the standard streams again.
class UnitStream {
 public:
  // Captures everything written to `unit`; Text() tells it.
  explicit UnitStream(int unit) : unit_(unit) { Connect(open_memstream(&buffer_, &size_)); }
  // Holds `content` for `unit` to read.
  UnitStream(int unit, std::string_view content) : unit_(unit), content_(content) {
    Connect(fmemopen(content_.data(), content_.size(), "r"));  // also empty, since glibc 2.22
  }
  UnitStream(const UnitStream&) = delete;
  UnitStream& operator=(const UnitStream&) = delete;
  ~UnitStream() {
    static_cast<void>(CloseUnit(unit_));  // closes the stream, so the buffer is complete
    std::free(buffer_);
    ConnectConsoleUnits();
  }

  // The stream connected to the unit, for a test that works on it directly (setvbuf, ungetc).
  std::FILE* Stream() { return stream_; }

  // The text written so far.
  std::string Text() {
    static_cast<void>(FlushUnit(unit_));
    return std::string(buffer_, size_);
  }

 private:
  void Connect(std::FILE* stream) {
    stream_ = stream;
    ConnectUnit(unit_, stream, Connection{});
  }

  int unit_;
  std::FILE* stream_ = nullptr;
  std::string content_;
  char* buffer_ = nullptr;
  std::size_t size_ = 0;
};

using UnitCapture = UnitStream;
using UnitInput = UnitStream;

}  // namespace qartwo::testing
