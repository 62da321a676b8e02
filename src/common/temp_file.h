#pragma once

#include <string>
#include <string_view>

#include "common/file_ops.h"

namespace vornel {

// A new version of a file, written under a hidden random name in the folder of the file it
// replaces and renamed over it only when complete, so the file is at every moment either its
// old version or the whole new one. Whatever is not committed is removed when the object goes,
// on every way out of the caller.
//
// A temporary file is created with O_EXCL and O_NOFOLLOW and holds an exclusive flock until
// it has been renamed, so a sweep of stale temporaries leaves one that is still being written
// alone. A temporary link cannot be locked; it exists only between its creation and its rename.
//
// Where the file system can, a file that does not exist yet is written without any name and
// linked under its own name when complete: no rename, and a killed writer leaves nothing.
class TempFile {
  public:
    TempFile() = default;
    ~TempFile() { discard(); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    // Creates the temporary file (mode 0600) in the open folder `dirFd`, which must stay open
    // while this object holds the file. Returns 0 or an errno value.
    int create(int dirFd);
    // Creates the file without a name for a `target` expected not to exist yet, or, where the
    // file system cannot (FAT, exFAT, NFS), as create() does.
    int createUnnamed(int dirFd, FileOps& ops);
    // Creates a temporary symbolic link to `target` instead, through `ops`.
    int createLink(int dirFd, const std::string& target, FileOps& ops);

    int fd() const { return fd_.get(); }
    const std::string& name() const { return name_; }

    // Writes all of `bytes` at the current offset. Returns 0 or an errno value.
    int write(std::string_view bytes);
    // Gives the file the permission bits of `target` in the same folder (a link there is
    // followed), or those of a new file, 0666 less the user's umask, when there is none.
    // EISDIR when `target` is no regular file. Returns 0 or an errno value.
    int setModeLike(const std::string& target);

    struct Commit {
        // Flush the file's data and attributes to the disk before the rename.
        bool syncData = false;
        // Flush the folder after the rename, so the new name survives a power cut.
        bool syncFolder = false;
    };
    // Puts the temporary in place of `target` in the same folder. A close that fails (a
    // delayed write error on NFS, a quota) fails the commit. A file without a name replaces
    // a `target` that appeared meanwhile too. Returns 0 or an errno value.
    int commit(const std::string& target, Commit how);
    int commit(const std::string& target) { return commit(target, Commit{}); }

    // Removes the temporary now (nothing once it has been committed).
    void discard();

  private:
    int linkUnnamed(const std::string& target);
    int renameInPlace(const std::string& target);

    int dirFd_ = -1;
    Fd fd_;
    std::string name_;
};

// True for the names TempFile gives its temporaries, and so for what a killed writer left.
bool isCopyTemporaryName(const std::string& name);

// Removes temporary files and links left in the folder by a writer that was killed. A
// temporary file is removed only when it can be locked: one another running copy is still
// writing stays. Returns how many went.
int removeStaleCopyTemporariesAt(int dirFd);
int removeStaleCopyTemporaries(const std::string& dir);

}  // namespace vornel
