#include "support/file_identity.h"

#include <sys/stat.h>

namespace qartwo {

FileIdentity DescriptorIdentity(int fd) {
  struct stat info {};
  if (fd < 0 || fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return {};
  return {.regular = true, .device = info.st_dev, .inode = info.st_ino};
}

bool SameRegularFile(const FileIdentity& a, const FileIdentity& b) {
  return a.regular && b.regular && a.device == b.device && a.inode == b.inode;
}

}  // namespace qartwo
