#include "support/io/records.h"

#include <sys/types.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "support/io/unit_table.h"

namespace qartwo {
namespace {

using unit_table::LastOperation;
using unit_table::UnitSlot;

IoStatus WriteDirectRecord(UnitSlot& slot, int record, std::span<const char> bytes) {
  const std::size_t record_bytes = slot.connection.record_bytes;
  if (record < 1 || record_bytes == 0 || bytes.size() > record_bytes) return IoStatus::kBadRecord;
  unit_table::PrepareFor(slot, LastOperation::kWrite);
  const off_t offset = static_cast<off_t>(record - 1) * static_cast<off_t>(record_bytes);
  if (fseeko(slot.stream, offset, SEEK_SET) != 0) return unit_table::Failed(slot);
  if (unit_table::WriteBytes(slot, bytes.data(), bytes.size()) != IoStatus::kOk)
    return IoStatus::kWriteError;
  const char pad = slot.connection.form == Form::kFormatted ? ' ' : '\0';
  for (std::size_t i = bytes.size(); i < record_bytes; ++i) {
    if (std::fputc(pad, slot.stream) == EOF) return unit_table::Failed(slot);
  }
  return IoStatus::kOk;
}

IoStatus ReadDirectRecord(UnitSlot& slot, int record, std::span<char> bytes, std::size_t& length) {
  const std::size_t record_bytes = slot.connection.record_bytes;
  if (record < 1 || record_bytes == 0) return IoStatus::kBadRecord;
  unit_table::PrepareFor(slot, LastOperation::kRead);
  const off_t offset = static_cast<off_t>(record - 1) * static_cast<off_t>(record_bytes);
  if (fseeko(slot.stream, offset, SEEK_SET) != 0) return IoStatus::kReadError;
  const std::size_t wanted = std::min(record_bytes, bytes.size());
  const std::size_t got = std::fread(bytes.data(), 1, wanted, slot.stream);
  if (std::ferror(slot.stream)) return IoStatus::kReadError;
  if (got == 0 && wanted > 0) return IoStatus::kEndOfFile;
  // A record cut short by the end of the file reads as padded.
  const char pad = slot.connection.form == Form::kFormatted ? ' ' : '\0';
  std::fill(bytes.begin() + static_cast<std::ptrdiff_t>(got),
            bytes.begin() + static_cast<std::ptrdiff_t>(wanted), pad);
  length = wanted;
  return IoStatus::kOk;
}

// Sequential unformatted records carry their length before and after them.
using RecordMarker = std::uint32_t;

IoStatus WriteFramedRecord(UnitSlot& slot, std::span<const char> bytes) {
  if (bytes.size() > UINT32_MAX) return IoStatus::kBadRecord;
  unit_table::PrepareFor(slot, LastOperation::kWrite);
  if (unit_table::CutBeforeWrite(slot) != IoStatus::kOk) return unit_table::Failed(slot);
  const RecordMarker marker = static_cast<RecordMarker>(bytes.size());
  if (unit_table::WriteBytes(slot, &marker, sizeof marker) != IoStatus::kOk ||
      unit_table::WriteBytes(slot, bytes.data(), bytes.size()) != IoStatus::kOk ||
      unit_table::WriteBytes(slot, &marker, sizeof marker) != IoStatus::kOk) {
    return IoStatus::kWriteError;
  }
  return IoStatus::kOk;
}

IoStatus ReadFramedRecord(UnitSlot& slot, std::span<char> bytes, std::size_t& length) {
  unit_table::PrepareFor(slot, LastOperation::kRead);
  RecordMarker leading = 0;
  const std::size_t got = std::fread(&leading, 1, sizeof leading, slot.stream);
  if (got == 0 && !std::ferror(slot.stream)) return IoStatus::kEndOfFile;
  if (got != sizeof leading) return IoStatus::kReadError;
  const std::size_t kept = std::min<std::size_t>(leading, bytes.size());
  if (std::fread(bytes.data(), 1, kept, slot.stream) != kept) return IoStatus::kReadError;
  if (fseeko(slot.stream, static_cast<off_t>(leading - kept), SEEK_CUR) != 0) {
    return IoStatus::kReadError;
  }
  RecordMarker trailing = 0;
  if (std::fread(&trailing, 1, sizeof trailing, slot.stream) != sizeof trailing ||
      trailing != leading) {
    return IoStatus::kReadError;
  }
  length = kept;
  return IoStatus::kOk;
}

}  // namespace

IoStatus WriteRecord(int unit, int record, std::span<const char> bytes) {
  UnitSlot* slot = unit_table::SlotFor(unit);
  if (slot == nullptr) return IoStatus::kBadUnit;
  if (slot->stream == nullptr) return IoStatus::kNotConnected;
  if (slot->connection.access == Access::kDirect) return WriteDirectRecord(*slot, record, bytes);
  if (slot->connection.form != Form::kUnformatted) return IoStatus::kWrongAccess;
  if (record != 0) return IoStatus::kBadRecord;
  return WriteFramedRecord(*slot, bytes);
}

IoStatus ReadRecord(int unit, int record, std::span<char> bytes, std::size_t& length) {
  UnitSlot* slot = unit_table::SlotFor(unit);
  if (slot == nullptr) return IoStatus::kBadUnit;
  if (slot->stream == nullptr) return IoStatus::kNotConnected;
  if (slot->connection.access == Access::kDirect) {
    return ReadDirectRecord(*slot, record, bytes, length);
  }
  if (slot->connection.form != Form::kUnformatted) return IoStatus::kWrongAccess;
  if (record != 0) return IoStatus::kBadRecord;
  return ReadFramedRecord(*slot, bytes, length);
}

}  // namespace qartwo
