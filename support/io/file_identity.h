// Which file a stream or a name stands for, so that the program can tell two names of one
// file apart from two files: a regular file, a FIFO, a pipe or a socket is known by its
// device and inode (the same inode number on another file system is another file).
#pragma once

#include <sys/types.h>

namespace qartwo {

struct FileIdentity {
  // A regular file, FIFO, pipe or socket; other files (terminals and other devices) and names
  // that cannot be looked at never match.
  bool comparable = false;
  dev_t device = 0;
  ino_t inode = 0;
};

// The identity of the file open on descriptor `fd`.
FileIdentity DescriptorIdentity(int fd);

// The identity of the directory entry `path` itself (a symbolic link is not followed).
// Async-signal-safe.
FileIdentity NameIdentity(const char* path);

// The identity of the file `path` leads to, symbolic links followed, relative to the current
// folder: the file a name as typed stands for now.
FileIdentity PathIdentity(const char* path);

// True when both are the same comparable file. Async-signal-safe.
bool SameFile(const FileIdentity& a, const FileIdentity& b);

}  // namespace qartwo
