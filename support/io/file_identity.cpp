#include "support/io/file_identity.h"

#include <sys/stat.h>

namespace qartwo {
namespace {

FileIdentity IdentityOf(const struct stat& info) {
  const bool comparable = S_ISREG(info.st_mode) || S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode);
  if (!comparable) return {};
  return {.comparable = true, .device = info.st_dev, .inode = info.st_ino};
}

}  // namespace

FileIdentity DescriptorIdentity(int fd) {
  struct stat info {};
  if (fd < 0 || fstat(fd, &info) != 0) return {};
  return IdentityOf(info);
}

FileIdentity NameIdentity(const char* path) {
  struct stat info {};
  if (lstat(path, &info) != 0) return {};
  return IdentityOf(info);
}

FileIdentity PathIdentity(const char* path) {
  struct stat info {};
  if (stat(path, &info) != 0) return {};
  return IdentityOf(info);
}

bool SameFile(const FileIdentity& a, const FileIdentity& b) {
  return a.comparable && b.comparable && a.device == b.device && a.inode == b.inode;
}

}  // namespace qartwo
