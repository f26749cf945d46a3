#include "fuzz/support/fuzz_units.h"

#include <stdio.h>

#include <cstdio>

#include "support/io/units.h"

namespace qartwo::fuzzing {
namespace {

bool ConnectOwned(int unit, std::FILE* stream) {
  if (stream == nullptr) return false;
  const Connection connection;  // sequential formatted, closed with the unit
  if (ConnectUnit(unit, stream, connection) == IoStatus::kOk) return true;
  std::fclose(stream);
  return false;
}

}  // namespace

bool ConnectBytes(int unit, std::string_view bytes) {
  // fmemopen refuses a buffer of size 0; an empty input reads like an empty file.
  std::FILE* stream = bytes.empty() ? std::fopen("/dev/null", "r")
                                    : fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "r");
  return ConnectOwned(unit, stream);
}

bool ConnectDiscard(int unit) {
  return ConnectOwned(unit, std::fopen("/dev/null", "w"));
}

}  // namespace qartwo::fuzzing
