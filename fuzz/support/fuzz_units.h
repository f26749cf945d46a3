// Connecting the program's units to what a fuzzer feeds in and to a sink for what it does not
// look at.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace qartwo::fuzzing {

// Connects `unit` for sequential line reading of `bytes`, which must outlive the connection.
// The unit closes the stream when it is disconnected. False when no stream could be made.
bool ConnectBytes(int unit, std::string_view bytes);

// Connects `unit` for writing to /dev/null; the unit closes the stream. False on failure.
bool ConnectDiscard(int unit);

// The fuzzer's input as characters.
inline std::string_view InputText(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

}  // namespace qartwo::fuzzing
