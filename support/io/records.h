// The direct and unformatted records that OPNFIL can connect a file for: fixed-length records
// at their number, or sequential records framed by their length. The program itself reads and
// writes lines only.
#pragma once

#include <cstddef>
#include <span>

#include "support/io/units.h"

namespace qartwo {

// Direct access: writes `bytes` as record `record` (from 1); a shorter record is padded
// with blanks (formatted) or zero bytes (unformatted). Sequential unformatted: record 0
// writes the next record, framed by its 4-byte length before and after.
IoStatus WriteRecord(int unit, int record, std::span<const char> bytes);

// Direct access: reads record `record` into the first record_bytes of `bytes` (a record
// beyond the end of the file is kEndOfFile). Sequential unformatted, record 0: reads the
// next record; `bytes` receives at most bytes.size() of it. `length` receives the number of
// bytes stored.
[[nodiscard]] IoStatus ReadRecord(int unit, int record, std::span<char> bytes, std::size_t& length);

}  // namespace qartwo
