// A file written whole or not at all. The file is opened on its unit early (so that a name
// that cannot be written is refused at once), but its new content goes into a temporary file
// beside it that replaces it by a rename only once everything was written. So a full disk, a
// file-size limit or an interrupted run leaves the old content as it was, and a file the run
// created is removed again when the run does not complete it.
#pragma once

#include <array>
#include <string_view>

#include "support/file_open.h"
#include "support/units.h"

namespace qartwo {

struct WholeFile {
  std::array<char, kPathCapacity> target{};     // the final target, links followed
  std::array<char, kPathCapacity> temporary{};  // the new content while it is written
  bool created = false;    // the open created the target: it goes if not completed
  bool replacing = false;  // the unit writes into `temporary`
};

// Takes note of the file just opened on `unit` under `name` (trailing blanks dropped); a
// file the open created is removed on an interrupt from now on.
void NoteOpenedFile(WholeFile& file, std::string_view name, int unit);

// Connects `unit` to a new temporary file beside the target, with the target's permission
// bits. Where that cannot be done, or must not (not a regular file, more than one hard link,
// another user's file, a folder that allows no new file), the unit stays on the target and
// the content is replaced in place as it is written. A target the open created has no old
// content and is written in place too.
void BeginWholeWrite(WholeFile& file, int unit);

// Closes `unit` and puts the new content in place. kOk: the whole content is in the target.
// Otherwise the temporary file is removed, the target keeps its old content (in place: what
// reached it) and a target the open created is removed.
[[nodiscard]] IoStatus FinishWholeWrite(WholeFile& file, int unit);

// Ends without completing: closes `unit`, removes the temporary file and a target the open
// created. Nothing happens to a file that existed before.
void AbandonWholeWrite(WholeFile& file, int unit);

}  // namespace qartwo
