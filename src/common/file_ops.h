#pragma once

#include <sys/stat.h>
#include <time.h>

#include <cstddef>
#include <string>

namespace vornel {

// The few calls whose outcome depends on the file system a backup is written to. USB disks
// formatted FAT32 or exFAT refuse modes and links and keep coarse times; many file systems
// cannot copy data inside the kernel or make a file without a name; tests stand in for such
// disks by overriding these. Every call returns 0 or an errno value.
class FileOps {
  public:
    virtual ~FileOps() = default;
    // Opens a new file without a name in the open folder `dirFd` (mode 0600) into `fd`.
    // EOPNOTSUPP and EISDIR mean the file system cannot make one.
    virtual int openUnnamed(int dirFd, int& fd);
    // Copies up to `len` bytes from the offset of `in` to that of `out` inside the kernel,
    // sharing the data instead where the file system can (a reflink on Btrfs or XFS);
    // `moved` gets how many (0 at the end of `in`). EXDEV, EOPNOTSUPP, EINVAL, ENOSYS and
    // EBADF mean the file systems cannot, and the data is read and written instead.
    virtual int copyRange(int in, int out, std::size_t len, std::size_t& moved);
    // Writes up to `len` bytes of `data`; `written` gets how many.
    virtual int writeData(int fd, const char* data, std::size_t len, std::size_t& written);
    virtual int setMode(int fd, mode_t mode);
    virtual int setTimes(int fd, const struct timespec times[2]);
    virtual int makeLink(const std::string& target, int dirFd, const std::string& name);
    virtual int setLinkTimes(int dirFd, const std::string& name, const struct timespec times[2]);
    // Seconds in which the file system under `dirFd` keeps modification times: 2 for FAT,
    // else 1 (finer times are compared to the second anyway).
    virtual int timeStep(int dirFd);

    // The calls as the kernel answers them.
    static FileOps& real();
};

// An open descriptor, closed when it goes.
class Fd {
  public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { reset(); }
    Fd(Fd&& other) noexcept : fd_(other.release()) {}
    Fd& operator=(Fd&& other) noexcept {
        reset(other.release());
        return *this;
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    bool ok() const { return fd_ >= 0; }
    void reset(int fd = -1);
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

  private:
    int fd_;
};

// The folder part of `path`: "." when it has none, "/" for a name at the root.
std::string folderOf(const std::string& path);

// Opens the folder of `path` as given (a link there is followed: the path was chosen, not
// found by a walk); `name` gets the last part of `path`. Returns the descriptor or -1 with
// errno set.
int openParentFolder(const std::string& path, std::string& name);

// Opens the folder `name` inside `dirFd` without following a link in its place: a link
// fails with ELOOP or ENOTDIR. Returns the descriptor or -1 with errno set.
int openFolderAt(int dirFd, const std::string& name);

// Opens the folder at `rel` ("" or "/a/b") below the open folder `rootFd`, one name at a time,
// never following a link on the way. With `made`, each folder on the way is opened as
// openOrMakeFolderAt does, and `made` tells whether the last one was made now. Returns the
// descriptor or -1 with errno set.
int openFolderBelow(int rootFd, const std::string& rel, bool* made = nullptr);

// Opens the folder `name` inside `dirFd` for writing into, making it when it is missing. A
// link in its place is removed and replaced by a real folder: writing through it would put
// files wherever it points. `made` tells whether the folder was made now (so it is empty).
// Returns the descriptor or -1 with errno set.
int openOrMakeFolderAt(int dirFd, const std::string& name, bool& made);

// True when the user running the program may not write the file (its mode grants no write to
// the owner, group or others class the user falls into). Root is judged by the bits as well:
// the mode is how a user marks a file read-only.
bool readOnlyForUser(const struct stat& st);

// A short plain reason for an errno value, in the program's own words.
std::string plainReason(int err);

}  // namespace vornel
