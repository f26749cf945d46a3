// A folder that receives many files, each written whole or not at all: a new file is written
// under its name and removed again when it cannot be written whole; a file that replaces one
// standing there goes into a temporary file in the folder first, which takes the name by a
// rename. Files are not synced one by one; when a file that stood there was replaced or
// removed, one sync of the folder's file system at the end makes the changes durable.
#pragma once

#include <sys/types.h>

#include <array>
#include <cstddef>
#include <span>
#include <string_view>

namespace qartwo {

// Room for a file name in the folder, terminating NUL included.
inline constexpr std::size_t kFolderNameRoom = 256;

// An open output folder; -1 when none is open.
struct OutputFolder {
  int fd = -1;
  pid_t pid = 0;             // in the temporary files' names
  unsigned long made = 0;    // temporary files named so far
  bool changed_old = false;  // a file that stood there was replaced or removed
};

// Opens the folder `path`, making it (and the folders above it that are missing) first;
// 0, or the system error number.
[[nodiscard]] int OpenOutputFolder(const char* path, OutputFolder& folder);

// A new temporary file in the folder, open for writing; its name goes into `name`. The file
// descriptor, or -1 with errno set.
[[nodiscard]] int CreateTemporaryFile(OutputFolder& folder,
                                      std::array<char, kFolderNameRoom>& name);

// Gives the temporary file `temporary` the name `name`, replacing a file of that name; 0, or
// the system error number, the temporary file then removed.
[[nodiscard]] int CommitFile(OutputFolder& folder, const char* temporary, std::string_view name);

// Writes `bytes` as the file `name`, whole or not at all (a file of that name is replaced); 0,
// or the system error number.
[[nodiscard]] int WriteWholeFile(OutputFolder& folder, std::string_view name,
                                 std::span<const char> bytes);

// Removes the file `name` when it is there; 0 (also when there was none), or the system error
// number.
[[nodiscard]] int RemoveFolderFile(OutputFolder& folder, std::string_view name);

// Syncs the folder's file system when a file that stood there was replaced or removed, and
// closes the folder; 0, or the system error number of the sync.
[[nodiscard]] int CloseOutputFolder(OutputFolder& folder);

}  // namespace qartwo
