// Which file a stream or a name stands for, so that the program can tell two names of one
// file apart from two files: a regular file is known by its device and inode.
#pragma once

#include <sys/types.h>

namespace qartwo {

struct FileIdentity {
  bool regular = false;  // only regular files are compared; devices and FIFOs never match
  dev_t device = 0;
  ino_t inode = 0;
};

// The identity of the file open on descriptor `fd`; not regular when it cannot be told.
FileIdentity DescriptorIdentity(int fd);

// True when both are the same regular file.
bool SameRegularFile(const FileIdentity& a, const FileIdentity& b);

}  // namespace qartwo
