// A file written whole or not at all. The file is opened on its unit early (so that a name
// that cannot be written is refused at once), but its new content is first made whole in
// memory. Then it goes into a temporary file beside the file, which takes the file's place by
// a rename; or, where the file cannot be replaced by another one, over the file itself once
// the content is sure to fit, which is then cut to the content's length. So a full disk, a
// file-size limit or an interrupted run leaves the old content as it was, and a file the run
// created is removed again when the run does not complete it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdio>
#include <string_view>

#include "support/io/file_open.h"
#include "support/io/units.h"

namespace qartwo {

// Room for the content made in memory: a report is a few kilobytes.
inline constexpr std::size_t kWholeFileRoom = std::size_t{1} << 16;

// A file to be written whole, from its open to the end of its writing.
struct WholeFile {
  std::array<char, kPathCapacity> name{};       // the name as given, from the current folder
  std::array<char, kPathCapacity> target{};     // where a rename lands: the name, links followed
  std::array<char, kPathCapacity> temporary{};  // the new content's file until the rename
  std::array<char, kWholeFileRoom> draft{};     // the new content, made whole first
  std::FILE* file = nullptr;      // the file opened under the name, while the content is made
  std::FILE* drafting = nullptr;  // the unit's stream into `draft`
  bool created = false;           // the open made the file: it goes if not completed
};

// What became of the new content.
enum class WholeWriteOutcome {
  kWritten,         // the whole content is in the file
  kWrittenAnew,     // the whole content is under the name in a new file: the file opened
                    // had lost the name (moved, removed, replaced) and is left as it is
  kUnchanged,       // nothing was written: the file is as it was
  kRemoved,         // nothing complete was written, and the file the open created is removed
  kNotRemoved,      // nothing complete was written, and the file the open created stays: the
                    // name no longer refers to it, or it could not be removed
  kIncomplete,      // written in place and cut short: the file holds part of the content
  kNotWrittenAnew,  // the file opened had lost the name, and the name could not be written
};

// What FinishWholeWrite did with the content, and why it did no more.
struct WholeWriteResult {
  WholeWriteOutcome outcome = WholeWriteOutcome::kWritten;
  std::string_view reason;  // why it was not written whole; empty when it was
};

// Takes note of the file just opened on `unit` under `name` (trailing blanks dropped): the
// name, and whether the open created the file (the open registered such a file for removal).
void NoteOpenedFile(WholeFile& file, std::string_view name, int unit);

// From now on, what is written to `unit` goes into memory; the file stays open aside.
void BeginWholeWrite(WholeFile& file, int unit);

// Closes `unit` and puts the content written to it in place: into a new file renamed over
// the name's file, a symbolic link followed to its current target (synced first, and the
// folder after, when it replaces an existing file); or, where that file must not be replaced
// (not a regular file, more than one hard link, another user's file, the file the open
// created, no temporary file can be made), over the file itself, cut to the new length after.
// A regular file that the name, as given and from the current folder, no longer leads to is
// left as it is, and the content goes under the name anew. Whatever is not kWritten or
// kWrittenAnew has been abandoned as by AbandonWholeWrite.
[[nodiscard]] WholeWriteResult FinishWholeWrite(WholeFile& file, int unit);

// Ends without completing: closes `unit` and the file, removes the temporary file and a
// target the open created (each only while its name still refers to it). Nothing happens to
// a file that existed before. True when it removed a file that the open created.
bool AbandonWholeWrite(WholeFile& file, int unit);

}  // namespace qartwo
