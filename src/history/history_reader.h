#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <string>
#include <vector>

namespace vornel {

// Follows history.txt for a viewer: reads it a slice at a time, so megabytes of history never
// hold the window up, decodes code page 932 into UTF-8, and on later calls returns only what
// was appended, or starts over when the file was cleared or replaced.
class HistoryReader {
  public:
    enum class State {
        Ok,
        Missing,     // no file at the path
        Unreadable,  // cannot be opened or read, or is not a regular file (a link, a FIFO…)
    };

    struct Slice {
        // The lines returned before no longer describe the file: it was cleared, replaced or
        // removed. The lines of this slice start from its beginning.
        bool restart = false;
        // Complete lines in file order, without their line ends.
        std::vector<std::string> lines;
        // Text after the last line end (a last line without one); it replaces the tail of
        // the previous slice.
        std::string tail;
        // More of the file is waiting: call read() again.
        bool more = false;
    };

    explicit HistoryReader(std::string path, std::size_t sliceBytes = 256 * 1024);

    Slice read();
    State state() const { return state_; }
    // The errno of the failure when Unreadable (ELOOP for a link, 0 for a special file).
    int error() const { return error_; }
    const std::string& path() const { return path_; }

  private:
    bool sameFileAsBefore(int fd, const struct stat& st) const;
    Slice fail(State state, int error);
    void forget(Slice& slice);
    void take(const std::string& bytes, Slice& slice);

    std::string path_;
    std::size_t sliceBytes_;
    State state_ = State::Missing;
    int error_ = 0;
    bool known_ = false;
    dev_t dev_ = 0;
    ino_t ino_ = 0;
    off_t offset_ = 0;     // bytes read so far
    std::string last_;     // the last bytes read, to tell an append from a rewrite
    std::string pending_;  // bytes after the last line end
};

}  // namespace vornel
