#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <functional>
#include <string>

namespace vornel {

// Points in a copy where a test can inject a failure (see CopyOptions::fault).
enum class CopyStage { OpenSource, CreateTemp, Write, SetAttributes, Sync, Rename };

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
    // Fault injection for tests: return an errno value to make that stage fail.
    std::function<int(CopyStage)> fault;
};

enum class CopyFailure {
    None,
    SourceNotRegular,
    SourceUnreadable,
    SourceChanged,
    SourceInUse,
    Destination
};

struct CopyResult {
    bool ok = false;
    CopyFailure failure = CopyFailure::None;
    int err = 0;  // errno of the failing step
};

// Copies a regular file so that `dst` is at every moment either its old version or the
// complete new one: the data goes to a hidden temporary file in the destination folder, gets
// the source's permission bits and access/modification times, and is renamed over `dst` only
// when complete. On failure the temporary file is removed and `dst` is untouched.
CopyResult copyFileSafely(const std::string& src, const std::string& dst,
                          const CopyOptions& options = {});

// Replaces the contents of `path` with `bytes` the same fail-safe way: a hidden temporary file
// beside it, renamed over it when complete. An existing file keeps its permission bits; a new
// one gets 0666 less the umask. Returns 0 or the errno value of the failing step, and leaves
// the old file untouched on failure.
int replaceFileContents(const std::string& path, const std::string& bytes, bool syncData = false);

// Reproduces the symbolic link `src` at `dst`: a link with the same target text and the same
// modification time, put in place by a rename like a file. The link is never followed.
CopyResult copySymlinkSafely(const std::string& src, const std::string& dst,
                             const CopyOptions& options = {});

// Quick look at an open regular file: true when another process has it open for writing (a
// read lease taken and released at once is refused), holds a write lock on it (fcntl record
// locks, either kind) or an exclusive flock. Unknown answers count as "not in use".
bool sourceInUse(int fd);

// True for the names copyFileSafely and copySymlinkSafely give their temporary entries.
bool isCopyTemporaryName(const std::string& name);

// Removes temporary files and links left in `dir` by a copy that was killed. Returns how many.
int removeStaleCopyTemporaries(const std::string& dir);

}  // namespace vornel
