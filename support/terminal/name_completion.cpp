#include "support/terminal/name_completion.h"

#include <dirent.h>
#include <limits.h>
#include <sys/stat.h>

#include <algorithm>

namespace qartwo {
namespace {

// The folder to read as a NUL-terminated path; false when it does not fit. A leading '~' is
// part of a name, as it is for the open, which offers no home folder either.
bool FolderPath(std::string_view folder, std::array<char, PATH_MAX>& path) {
  if (folder.empty()) folder = ".";
  if (folder.size() >= path.size()) return false;
  *std::copy(folder.begin(), folder.end(), path.begin()) = '\0';
  return true;
}

// True for a folder, also behind a symbolic link.
bool IsFolder(DIR* listing, const dirent& entry) {
  if (entry.d_type == DT_DIR) return true;
  if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) return false;
  struct stat status {};
  return fstatat(dirfd(listing), entry.d_name, &status, 0) == 0 && S_ISDIR(status.st_mode);
}

// Keeps `name`, with '/' behind a folder's, for the listing while there is room.
void Keep(std::string_view name, bool folder, NameCompletion& found, std::size_t& used) {
  const std::size_t size = name.size() + (folder ? 1 : 0);
  if (found.kept == kListedNames || size > found.pool.size() - used) return;
  char* start = found.pool.data() + used;
  std::copy(name.begin(), name.end(), start);
  if (folder) start[name.size()] = '/';
  found.names[static_cast<std::size_t>(found.kept++)] = std::string_view(start, size);
  used += size;
}

// Cuts the addition down to what `rest` (a match without the typed part) begins with; the
// first match sets it.
void Share(std::string_view rest, NameCompletion& found) {
  if (found.count == 1) {
    found.addition_length = std::min(rest.size(), kTextLength);
    std::copy_n(rest.begin(), found.addition_length, found.addition.begin());
    return;
  }
  const auto shared = std::mismatch(rest.begin(), rest.end(), found.addition.begin(),
                                    found.addition.begin() + found.addition_length);
  found.addition_length = static_cast<std::size_t>(shared.first - rest.begin());
}

}  // namespace

void CompleteName(std::string_view typed, NameCompletion& found) {
  found.count = 0;
  found.addition_length = 0;
  found.kept = 0;
  const std::size_t slash = typed.rfind('/');
  const std::string_view folder = slash == std::string_view::npos ? "" : typed.substr(0, slash + 1);
  const std::string_view start = typed.substr(folder.size());
  std::array<char, PATH_MAX> path;
  if (!FolderPath(folder, path)) return;
  DIR* listing = opendir(path.data());
  if (listing == nullptr) return;
  std::size_t used = 0;
  bool single_folder = false;
  while (const dirent* entry = readdir(listing)) {
    const std::string_view name = entry->d_name;
    if (!name.starts_with(start) || (name.starts_with('.') && !start.starts_with('.'))) continue;
    const bool is_folder = IsFolder(listing, *entry);
    ++found.count;
    single_folder = found.count == 1 && is_folder;
    Share(name.substr(start.size()), found);
    Keep(name, is_folder, found, used);
  }
  closedir(listing);
  if (single_folder && found.addition_length < kTextLength) {
    found.addition[found.addition_length++] = '/';
  }
  std::sort(found.names.begin(), found.names.begin() + found.kept);
}

}  // namespace qartwo
