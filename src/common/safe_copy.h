#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <functional>
#include <string>

#include "common/file_ops.h"
#include "common/temp_file.h"

namespace vornel {

// Points in a copy where a test can inject a failure (see CopyOptions::fault).
enum class CopyStage { OpenSource, CreateTemp, Write, SetAttributes, Sync, Rename };

// An entry named inside an open folder.
struct EntryAt {
    int dirFd = -1;
    std::string name;
};

struct CopyOptions {
    // Called between chunks at least every 100 ms, so the window stays alive during a long
    // copy. May be empty.
    std::function<void()> pump;
    // Called with the bytes copied so far, just before each pump. May be empty.
    std::function<void(std::int64_t)> progress;
    // Flush the data to the disk before the rename.
    bool syncData = false;
    // Fail when the source changed while it was copied (inode, size, mtime or ctime differ
    // before and after).
    bool failIfSourceChanged = false;
    // Refuse a source that another process is writing or holds locked (see sourceInUse).
    bool failIfSourceInUse = false;
    // The caller's lstat of the source, when it has one: saves looking the file up again.
    const struct stat* sourceStat = nullptr;
    // The caller knows nothing is at the destination yet (a folder made by this walk).
    bool destinationMissing = false;
    // The calls a destination file system may refuse; the real ones when null.
    FileOps* ops = nullptr;
    // Fault injection for tests: return an errno value to make that stage fail.
    std::function<int(CopyStage)> fault;
};

enum class CopyFailure {
    None,
    SourceNotRegular,
    SourceUnreadable,
    // Gone between the listing and the open: nothing to copy.
    SourceVanished,
    // Another file took its name between the listing and the open (an editor's save by
    // rename): worth looking at again.
    SourceReplaced,
    SourceChanged,
    SourceInUse,
    Destination,
    // The destination file may not be written by the user: it is not silently replaced.
    DestinationReadOnly,
    // The destination file system cannot hold symbolic links (FAT32, exFAT).
    LinksUnsupported
};

struct CopyResult {
    bool ok = false;
    CopyFailure failure = CopyFailure::None;
    int err = 0;  // errno of the failing step
};

// Copies a regular file so that `dst` is at every moment either its old version or the
// complete new one: the data goes to a hidden temporary file in the destination folder, gets
// the source's permission bits and access/modification times, and is renamed over `dst` only
// when complete. On failure the temporary file is removed and `dst` is untouched. Both
// entries are named inside open folders, and neither is followed if it is a link. A mode the
// destination file system refuses does not fail the copy: the data and the time are what a
// backup keeps.
CopyResult copyFileAt(const EntryAt& src, const EntryAt& dst, const CopyOptions& options = {});
// The same for two paths; the folders named by the paths are opened as given.
CopyResult copyFileSafely(const std::string& src, const std::string& dst,
                          const CopyOptions& options = {});

// Replaces the contents of `path` with `bytes` the same fail-safe way (a TempFile beside it).
// An existing file keeps its permission bits; a new one gets 0666 less the umask. Returns 0 or
// the errno value of the failing step, and leaves the old file untouched on failure.
int replaceFileContents(const std::string& path, const std::string& bytes, bool syncData = false);

// Reproduces the symbolic link `src` at `dst`: a link with the same target text and the same
// modification time, put in place by a rename like a file. The link is never followed.
CopyResult copySymlinkAt(const EntryAt& src, const EntryAt& dst, const CopyOptions& options = {});

// Quick look at an open regular file: true when another process has it open for writing (a
// read lease taken and released at once is refused), holds a write lock on it (fcntl record
// locks, either kind) or an exclusive flock. Unknown answers count as "not in use".
bool sourceInUse(int fd);

}  // namespace vornel
