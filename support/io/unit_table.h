// Inside the unit table: the slot each unit number has, for the files of this folder that read
// and write through it (units, the line reader, records). Nothing outside support/io uses it.
#pragma once

#include <cstddef>
#include <cstdio>

#include "support/io/units.h"

namespace qartwo::unit_table {

enum class LastOperation { kNone, kRead, kWrite };

// One unit: its stream, how it is connected, and what has happened on it since.
struct UnitSlot {
  std::FILE* stream = nullptr;
  Connection connection;
  // The file is to be cut at the current position before the next record is written.
  bool truncate_pending = false;
  LastOperation last = LastOperation::kNone;
  // Some output on this unit could not be written; reported again at flush and close.
  bool failed = false;
  // Nothing has been read from the stream yet: a byte-order mark may still come.
  bool at_start = true;
  // errno of the last line read that failed with kReadError; 0 when not known.
  int read_error = 0;
};

// The slot of `unit` (the console units connected first when they are not yet); nullptr for
// a number outside 0..99.
UnitSlot* SlotFor(int unit);

// The slot of `unit` when a sequential stream of `form` is connected to it; otherwise the
// status that says why not (kBadUnit, kNotConnected, kWrongAccess), `slot` then not to be used.
IoStatus FindSequential(int unit, Form form, UnitSlot*& slot);

// Readies the slot's stream for reading or writing after the other (C streams need a
// positioning call between them); a read on a file that is to be replaced marks it for
// cutting at the next record written.
void PrepareFor(UnitSlot& slot, LastOperation next);

// Cuts the file at the current position when a sequential record is first written there;
// kWriteError when that fails.
IoStatus CutBeforeWrite(UnitSlot& slot);

// Records a lost write on the slot and returns kWriteError.
IoStatus Failed(UnitSlot& slot);

// Writes `size` bytes to the slot's stream; a failure is recorded (Failed).
IoStatus WriteBytes(UnitSlot& slot, const void* data, std::size_t size);

}  // namespace qartwo::unit_table
