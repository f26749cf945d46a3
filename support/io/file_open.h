// Connecting named files (or a nameless scratch file) to unit numbers. OPNFIL is the general
// routine with its option codes and messages; OPNOLD is the silent short form the dialogue
// uses for its report and input files.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace qartwo {

// Room for a path handed to the system, terminating NUL included (the system's PATH_MAX).
inline constexpr std::size_t kPathCapacity = 4096;

// Option codes of OPNFIL.
inline constexpr int kStatusCodeOld = 2;
inline constexpr int kStatusCodeNew = 3;
inline constexpr int kStatusCodeScratch = 4;     // any other status code: UNKNOWN
inline constexpr int kAccessCodeDirect = 20;     // direct, record length from the argument
inline constexpr int kAccessCodeDirect128 = 30;  // direct, 128 per record
inline constexpr int kFormCodeFormatted = 1;
inline constexpr int kFormCodeUnformatted = 2;  // other: formatted sequential, unformatted direct
inline constexpr int kBlankCodeZero = 1;        // any other blank code: NULL

// Status values of OPNFIL besides 0 (open) and minus a positive system error number.
inline constexpr int kOpenBadUnit = -901;          // unit outside 1..99, nothing opened
inline constexpr int kOpenBadRecordLength = -902;  // direct access, record length <= 0

// Opens `file_name` (trailing blanks dropped; ignored for a scratch file) on `unit`.
// `record_length` is in 4-byte words and read only for access code 20. `status` becomes 0
// on success, -901 / -902 when the arguments are refused (nothing touched), or -e when the
// open failed with system error e (the unit is then not connected; an empty name fails).
// Messages go to `message_unit` only when it is > 0: failures always, the confirmation and
// characteristics block only when `print_switch` > 0 too.
void OPNFIL(std::string_view file_name, int unit, int status_code, int access_code, int form_code,
            int blank_code, int record_length, int print_switch, int message_unit, int& status);

// Opens a sequential formatted file silently: `mode` > 0 the file must exist and is opened
// for reading only (an input), 0 it is opened for writing or created (a negative mode repeats
// the previous call's choice). On failure `error_flag` becomes -1; on success it is left as it
// was. UnitConnection(unit)->created tells whether the open made the file; with mode 0 such a
// file (the target, when it was made through a dangling symbolic link) is registered for
// removal (RemoveRegisteredFile(InterruptRemoval::kCreatedFile)). A FIFO is opened for writing
// only when a program reads it.
void OPNOLD(std::string_view file_name, int unit, int mode, int& error_flag);

// The same; `system_error` receives the positive system error number of a failed open (for a
// message saying why), 0 on success.
void OPNOLD(std::string_view file_name, int unit, int mode, int& error_flag, int& system_error);

// Opens the file named exactly `file_name` (blanks included) for reading on `unit`, as OPNOLD
// opens an input; 0, or the positive system error number (the unit is then not connected).
[[nodiscard]] int OpenInputFile(std::string_view file_name, int unit);

// Replaces `path` (NUL-terminated) by the target of the symbolic link it names, a relative
// target taken from the link's folder; false, with `path` unchanged, when it names no link
// or the target does not fit.
bool FollowLink(std::array<char, kPathCapacity>& path);

// Why the last open failed with `system_error`, for a message: the system's text, or that no
// program reads the FIFO that was to be written.
std::string_view OpenErrorText(int system_error);

}  // namespace qartwo
