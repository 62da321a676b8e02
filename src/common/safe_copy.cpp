#include "common/safe_copy.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <random>
#include <vector>

namespace vornel {
namespace {

constexpr char kTempPrefix[] = ".vornelnet-part-";
constexpr std::size_t kTempSuffixLen = 6;  // mkstemp's XXXXXX
// Small enough that a slow disk still lets the window breathe between chunks.
constexpr std::size_t kChunk = 1u << 20;

bool sameFileState(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
           a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

class Pacer {
  public:
    explicit Pacer(const std::function<void()>& pump) : pump_(pump), last_(Clock::now()) {}
    void tick() {
        if (!pump_) return;
        auto now = Clock::now();
        if (now - last_ >= std::chrono::milliseconds(50)) {
            pump_();
            last_ = Clock::now();
        }
    }

  private:
    using Clock = std::chrono::steady_clock;
    const std::function<void()>& pump_;
    Clock::time_point last_;
};

// The errno a test wants `stage` to fail with, 0 for none.
int injected(const CopyOptions& opt, CopyStage stage) { return opt.fault ? opt.fault(stage) : 0; }

// Copies the data; returns 0 or an errno value. A source read error is reported through
// `readFailed` so the caller can tell the two sides apart.
int copyData(int in, int out, off_t size, const CopyOptions& opt, bool& readFailed) {
    readFailed = false;
    if (int e = injected(opt, CopyStage::Write)) return e;
    if (size > 0 && ::ioctl(out, FICLONE, in) == 0) return 0;

    Pacer pacer(opt.pump);
    bool useRange = true;
    off_t done = 0;
    while (useRange) {
        ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, kChunk, 0);
        if (n > 0) {
            done += n;
            // The size taken when the file was opened is the copy; asking again only to
            // hear "end of file" would cost a call per small file.
            if (done >= size) return 0;
            pacer.tick();
            continue;
        }
        if (n == 0) {
            if (done >= size) return 0;
            // Some filesystems report 0 instead of an error; fall back to plain reads.
            useRange = false;
            break;
        }
        if (errno == EINTR) continue;
        if (errno == EXDEV || errno == EOPNOTSUPP || errno == EINVAL || errno == ENOSYS ||
            errno == EBADF) {
            useRange = false;
            break;
        }
        if (errno == EIO) readFailed = true;
        return errno;
    }
    std::vector<char> buf(1u << 20);
    for (;;) {
        ssize_t r = ::read(in, buf.data(), buf.size());
        if (r < 0) {
            if (errno == EINTR) continue;
            readFailed = true;
            return errno;
        }
        if (r == 0) return 0;
        const char* p = buf.data();
        while (r > 0) {
            ssize_t w = ::write(out, p, static_cast<std::size_t>(r));
            if (w < 0) {
                if (errno == EINTR) continue;
                return errno;
            }
            p += w;
            r -= w;
        }
        pacer.tick();
    }
}

CopyResult fail(CopyFailure kind, int err) { return CopyResult{false, kind, err}; }

FileOps& opsOf(const CopyOptions& opt) { return opt.ops ? *opt.ops : FileOps::real(); }

std::string randomTemporaryName() {
    thread_local std::mt19937 rng{std::random_device{}()};
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::string name = kTempPrefix;
    for (std::size_t i = 0; i < kTempSuffixLen; ++i) name += kChars[rng() % (sizeof kChars - 1)];
    return name;
}

// Creates a temporary file in the folder and locks it, so a sweep of another running copy
// leaves it alone. Returns 0 or an errno value.
int createTemporary(int dirFd, Fd& out, std::string& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = randomTemporaryName();
        out.reset(::openat(dirFd, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                           0600));
        if (!out.ok()) {
            if (errno == EEXIST) continue;
            return errno;
        }
        // A sweep that opened the new file before us has it locked and removes it: take
        // another name.
        if (::flock(out.get(), LOCK_EX | LOCK_NB) == 0) return 0;
        out.reset();
    }
    return EEXIST;
}

// The source's own status (never a link's target): the caller's when it has one at hand.
int sourceStatus(const EntryAt& src, const CopyOptions& opt, struct stat& st) {
    if (opt.sourceStat) {
        st = *opt.sourceStat;
        return 0;
    }
    return ::fstatat(src.dirFd, src.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 ? 0 : errno;
}

CopyFailure unreadable(int err) {
    return err == ENOENT ? CopyFailure::SourceVanished : CopyFailure::SourceUnreadable;
}

// What stands at the destination may be replaced: nothing, a link, or a file the user may
// write. A folder is never replaced by a file.
CopyResult checkDestination(const EntryAt& dst, const CopyOptions& opt) {
    if (opt.destinationMissing) return CopyResult{true, CopyFailure::None, 0};
    struct stat st {};
    if (::fstatat(dst.dirFd, dst.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return CopyResult{true, CopyFailure::None, 0};
    if (S_ISDIR(st.st_mode)) return fail(CopyFailure::Destination, EISDIR);
    if (S_ISREG(st.st_mode) && readOnlyForUser(st))
        return fail(CopyFailure::DestinationReadOnly, EACCES);
    return CopyResult{true, CopyFailure::None, 0};
}

// Opens the source and checks it is still the file that was looked at.
CopyResult openSource(const EntryAt& src, const struct stat& before, const CopyOptions& opt, Fd& in,
                      struct stat& opened) {
    if (int e = injected(opt, CopyStage::OpenSource)) return fail(unreadable(e), e);
    in.reset(::openat(src.dirFd, src.name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!in.ok()) {
        // A link now stands where the file was listed.
        if (errno == ELOOP) return fail(CopyFailure::SourceReplaced, errno);
        return fail(unreadable(errno), errno);
    }
    if (::fstat(in.get(), &opened) != 0) return fail(CopyFailure::SourceUnreadable, errno);
    if (!S_ISREG(opened.st_mode) || opened.st_ino != before.st_ino ||
        opened.st_dev != before.st_dev) {
        return fail(CopyFailure::SourceReplaced, EAGAIN);
    }
    if (opt.failIfSourceInUse && sourceInUse(in.get()))
        return fail(CopyFailure::SourceInUse, EBUSY);
    // Reads must block normally from here on; O_NONBLOCK only guarded the open.
    ::fcntl(in.get(), F_SETFL, ::fcntl(in.get(), F_GETFL) & ~O_NONBLOCK);
    return CopyResult{true, CopyFailure::None, 0};
}

// Mode and times of the copy. A mode the file system cannot hold (FAT32, exFAT) is no
// failure; times are, since the newer-only rule depends on them.
int setAttributes(int fd, const struct stat& from, const CopyOptions& opt) {
    if (int e = injected(opt, CopyStage::SetAttributes)) return e;
    FileOps& ops = opsOf(opt);
    const int modeErr = ops.setMode(fd, from.st_mode & 07777);
    if (modeErr != 0 && modeErr != EPERM && modeErr != EOPNOTSUPP) return modeErr;
    const struct timespec times[2] = {from.st_atim, from.st_mtim};
    return ops.setTimes(fd, times);
}

// Opens the folder of `path` as given (the user chose it, link or not); `name` gets the last
// part.
int openParent(const std::string& path, std::string& name) {
    const auto slash = path.find_last_of('/');
    name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::string dir = slash == std::string::npos ? "."
                            : slash == 0               ? "/"
                                                       : path.substr(0, slash);
    return ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

}  // namespace

bool sourceInUse(int fd) {
    // A read lease is refused with EAGAIN while anyone has the file open for writing. It is
    // given back at once: a lease held longer would make a writer wait for its break.
    if (::fcntl(fd, F_SETLEASE, F_RDLCK) == 0) {
        ::fcntl(fd, F_SETLEASE, F_UNLCK);
    } else if (errno == EAGAIN) {
        return true;
    }
    struct flock lock {};
    lock.l_type = F_RDLCK;
    lock.l_whence = SEEK_SET;
    if (::fcntl(fd, F_OFD_GETLK, &lock) == 0 && lock.l_type != F_UNLCK) return true;
    if (::flock(fd, LOCK_SH | LOCK_NB) == 0) {
        ::flock(fd, LOCK_UN);
    } else if (errno == EWOULDBLOCK) {
        return true;
    }
    return false;
}

bool isCopyTemporaryName(const std::string& name) {
    const std::size_t prefixLen = sizeof kTempPrefix - 1;
    return name.size() == prefixLen + kTempSuffixLen &&
           name.compare(0, prefixLen, kTempPrefix) == 0;
}

CopyResult copyFileAt(const EntryAt& src, const EntryAt& dst, const CopyOptions& opt) {
    struct stat before {};
    if (int e = sourceStatus(src, opt, before)) return fail(unreadable(e), e);
    if (!S_ISREG(before.st_mode)) return fail(CopyFailure::SourceNotRegular, EINVAL);
    Fd in;
    struct stat opened {};
    if (CopyResult r = openSource(src, before, opt, in, opened); !r.ok) return r;
    if (CopyResult r = checkDestination(dst, opt); !r.ok) return r;

    if (int e = injected(opt, CopyStage::CreateTemp)) return fail(CopyFailure::Destination, e);
    Fd out;
    std::string tmp;
    if (int e = createTemporary(dst.dirFd, out, tmp)) return fail(CopyFailure::Destination, e);
    auto abandon = [&](CopyFailure kind, int err) {
        out.reset();
        ::unlinkat(dst.dirFd, tmp.c_str(), 0);
        return fail(kind, err);
    };

    bool readFailed = false;
    if (int e = copyData(in.get(), out.get(), opened.st_size, opt, readFailed))
        return abandon(readFailed ? CopyFailure::SourceUnreadable : CopyFailure::Destination, e);
    if (int e = setAttributes(out.get(), opened, opt)) return abandon(CopyFailure::Destination, e);
    if (opt.syncData) {
        if (int e = injected(opt, CopyStage::Sync)) return abandon(CopyFailure::Destination, e);
        if (::fdatasync(out.get()) != 0) return abandon(CopyFailure::Destination, errno);
    }
    if (opt.failIfSourceChanged) {
        struct stat after {};
        if (::fstat(in.get(), &after) != 0 || !sameFileState(opened, after))
            return abandon(CopyFailure::SourceChanged, EAGAIN);
    }
    // A failed close can report a delayed write error (NFS, quota): the copy is not complete.
    // A second descriptor keeps the lock until the rename is done.
    Fd locked(::fcntl(out.get(), F_DUPFD_CLOEXEC, 0));
    if (!locked.ok()) return abandon(CopyFailure::Destination, errno);
    if (::close(out.release()) != 0) return abandon(CopyFailure::Destination, errno);
    if (int e = injected(opt, CopyStage::Rename)) return abandon(CopyFailure::Destination, e);
    if (::renameat(dst.dirFd, tmp.c_str(), dst.dirFd, dst.name.c_str()) != 0)
        return abandon(CopyFailure::Destination, errno);
    return CopyResult{true, CopyFailure::None, 0};
}

CopyResult copyFileSafely(const std::string& src, const std::string& dst, const CopyOptions& opt) {
    EntryAt from, to;
    Fd srcDir(openParent(src, from.name));
    if (!srcDir.ok()) return fail(unreadable(errno), errno);
    Fd dstDir(openParent(dst, to.name));
    if (!dstDir.ok()) return fail(CopyFailure::Destination, errno);
    from.dirFd = srcDir.get();
    to.dirFd = dstDir.get();
    return copyFileAt(from, to, opt);
}

int replaceFileContents(const std::string& path, const std::string& bytes, bool syncData) {
    std::string name;
    Fd dir(openParent(path, name));
    if (!dir.ok()) return errno;
    mode_t mode = 0;
    struct stat st {};
    if (::fstatat(dir.get(), name.c_str(), &st, 0) == 0) {
        if (!S_ISREG(st.st_mode)) return EISDIR;
        mode = st.st_mode & 07777;
    } else if (errno == ENOENT) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    } else {
        return errno;
    }
    Fd out;
    std::string tmp;
    if (int e = createTemporary(dir.get(), out, tmp)) return e;
    auto abandon = [&](int err) {
        out.reset();
        ::unlinkat(dir.get(), tmp.c_str(), 0);
        return err;
    };
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        ssize_t w = ::write(out.get(), p, left);
        if (w < 0) {
            if (errno == EINTR) continue;
            return abandon(errno);
        }
        p += w;
        left -= static_cast<std::size_t>(w);
    }
    if (::fchmod(out.get(), mode) != 0) return abandon(errno);
    if (syncData && ::fdatasync(out.get()) != 0) return abandon(errno);
    Fd locked(::fcntl(out.get(), F_DUPFD_CLOEXEC, 0));
    if (!locked.ok() || ::close(out.release()) != 0) return abandon(errno);
    if (::renameat(dir.get(), tmp.c_str(), dir.get(), name.c_str()) != 0) return abandon(errno);
    return 0;
}

namespace {

int readLinkAt(const EntryAt& src, const struct stat& st, std::string& target) {
    target.assign(static_cast<std::size_t>(st.st_size) + 1, '\0');
    for (;;) {
        const ssize_t n = ::readlinkat(src.dirFd, src.name.c_str(), target.data(), target.size());
        if (n < 0) return errno;
        if (static_cast<std::size_t>(n) < target.size()) {
            target.resize(static_cast<std::size_t>(n));
            return 0;
        }
        target.resize(target.size() * 2);  // the link grew since it was looked at
    }
}

// Makes the temporary link, gives it the source's times and renames it into place. A link
// cannot be locked like a temporary file, so a sweep of another running copy may take it
// between two steps (it exists for microseconds): that shows as ENOENT and the caller tries
// again.
int placeLink(const std::string& target, const struct stat& st, const EntryAt& dst,
              const CopyOptions& opt) {
    FileOps& ops = opsOf(opt);
    std::string tmp;
    int err = EEXIST;
    for (int attempt = 0; attempt < 100 && err == EEXIST; ++attempt) {
        tmp = randomTemporaryName();
        err = ops.makeLink(target, dst.dirFd, tmp);
    }
    if (err != 0) return err;
    auto abandon = [&](int e) {
        ::unlinkat(dst.dirFd, tmp.c_str(), 0);
        return e;
    };
    if (int e = injected(opt, CopyStage::SetAttributes)) return abandon(e);
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if (int e = ops.setLinkTimes(dst.dirFd, tmp, times)) return abandon(e);
    if (int e = injected(opt, CopyStage::Rename)) return abandon(e);
    if (::renameat(dst.dirFd, tmp.c_str(), dst.dirFd, dst.name.c_str()) != 0) return abandon(errno);
    return 0;
}

}  // namespace

CopyResult copySymlinkAt(const EntryAt& src, const EntryAt& dst, const CopyOptions& opt) {
    struct stat st {};
    if (int e = sourceStatus(src, opt, st)) return fail(unreadable(e), e);
    if (!S_ISLNK(st.st_mode)) return fail(CopyFailure::SourceNotRegular, EINVAL);
    if (int e = injected(opt, CopyStage::OpenSource)) return fail(unreadable(e), e);
    std::string target;
    if (int e = readLinkAt(src, st, target)) {
        // Something else than a link took the name since it was looked at.
        return fail(e == EINVAL ? CopyFailure::SourceReplaced : unreadable(e), e);
    }
    if (CopyResult r = checkDestination(dst, opt); !r.ok) return r;
    if (int e = injected(opt, CopyStage::CreateTemp)) return fail(CopyFailure::Destination, e);
    int err = ENOENT;
    for (int attempt = 0; attempt < 3 && err == ENOENT; ++attempt)
        err = placeLink(target, st, dst, opt);
    if (err == 0) return CopyResult{true, CopyFailure::None, 0};
    if (err == EPERM || err == EOPNOTSUPP || err == ENOSYS)
        return fail(CopyFailure::LinksUnsupported, err);
    return fail(CopyFailure::Destination, err);
}

namespace {

// Removes one temporary entry if nobody is writing it.
bool removeIfStale(int dirFd, const char* name) {
    struct stat st {};
    if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
    if (S_ISLNK(st.st_mode)) return ::unlinkat(dirFd, name, 0) == 0;
    if (!S_ISREG(st.st_mode)) return false;
    Fd fd(::openat(dirFd, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!fd.ok() || ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) return false;
    // Still the same file under that name: not renamed into place and replaced meanwhile.
    struct stat locked {
    }, now{};
    if (::fstat(fd.get(), &locked) != 0 || ::fstatat(dirFd, name, &now, AT_SYMLINK_NOFOLLOW) != 0 ||
        locked.st_ino != now.st_ino || locked.st_dev != now.st_dev) {
        return false;
    }
    return ::unlinkat(dirFd, name, 0) == 0;
}

}  // namespace

int removeStaleCopyTemporariesAt(int dirFd) {
    // A description of its own: the caller's descriptor keeps its place in any listing.
    DIR* d = ::fdopendir(::openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!d) return 0;
    int removed = 0;
    while (struct dirent* e = ::readdir(d)) {
        if (e->d_name[0] != '.' || !isCopyTemporaryName(e->d_name)) continue;
        removed += removeIfStale(::dirfd(d), e->d_name) ? 1 : 0;
    }
    ::closedir(d);
    return removed;
}

int removeStaleCopyTemporaries(const std::string& dir) {
    Fd fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return fd.ok() ? removeStaleCopyTemporariesAt(fd.get()) : 0;
}

}  // namespace vornel
