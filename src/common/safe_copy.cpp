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

class Fd {
  public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    void reset(int fd = -1) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }
    int release() {
        int fd = fd_;
        fd_ = -1;
        return fd;
    }

  private:
    int fd_;
};

std::string parentOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

bool sameFileState(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
           a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

class Pacer {
  public:
    explicit Pacer(const CopyOptions& opt) : opt_(opt), last_(Clock::now()) {}
    void tick(off_t done) {
        if (!opt_.pump && !opt_.progress) return;
        auto now = Clock::now();
        if (now - last_ >= std::chrono::milliseconds(50)) {
            if (opt_.progress) opt_.progress(done);
            if (opt_.pump) opt_.pump();
            last_ = Clock::now();
        }
    }

  private:
    using Clock = std::chrono::steady_clock;
    const CopyOptions& opt_;
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

    Pacer pacer(opt);
    bool useRange = true;
    off_t done = 0;
    while (useRange) {
        ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, kChunk, 0);
        if (n > 0) {
            done += n;
            // The size taken when the file was opened is the copy; asking again only to
            // hear "end of file" would cost a call per small file.
            if (done >= size) return 0;
            pacer.tick(done);
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
            done += w;
        }
        pacer.tick(done);
    }
}

CopyResult fail(CopyFailure kind, int err) { return CopyResult{false, kind, err}; }

// The source's own status (never a link's target): the caller's when it has one at hand.
int sourceStatus(const std::string& src, const CopyOptions& opt, struct stat& st) {
    if (opt.sourceStat) {
        st = *opt.sourceStat;
        return 0;
    }
    return ::lstat(src.c_str(), &st) == 0 ? 0 : errno;
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

CopyResult copyFileSafely(const std::string& src, const std::string& dst, const CopyOptions& opt) {
    struct stat before {};
    if (int e = sourceStatus(src, opt, before)) return fail(CopyFailure::SourceUnreadable, e);
    if (!S_ISREG(before.st_mode)) return fail(CopyFailure::SourceNotRegular, EINVAL);

    if (int e = injected(opt, CopyStage::OpenSource)) return fail(CopyFailure::SourceUnreadable, e);
    Fd in(::open(src.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (in.get() < 0) return fail(CopyFailure::SourceUnreadable, errno);
    struct stat opened {};
    if (::fstat(in.get(), &opened) != 0) return fail(CopyFailure::SourceUnreadable, errno);
    if (!S_ISREG(opened.st_mode) || opened.st_ino != before.st_ino ||
        opened.st_dev != before.st_dev) {
        return fail(CopyFailure::SourceChanged, EAGAIN);
    }
    if (opt.failIfSourceInUse && sourceInUse(in.get()))
        return fail(CopyFailure::SourceInUse, EBUSY);
    // Reads must block normally from here on; O_NONBLOCK only guarded the open.
    ::fcntl(in.get(), F_SETFL, ::fcntl(in.get(), F_GETFL) & ~O_NONBLOCK);

    if (int e = injected(opt, CopyStage::CreateTemp)) return fail(CopyFailure::Destination, e);
    std::string tmp = parentOf(dst) + "/" + kTempPrefix + "XXXXXX";
    Fd out(::mkstemp(tmp.data()));
    if (out.get() < 0) return fail(CopyFailure::Destination, errno);

    auto abandon = [&](CopyFailure kind, int err) {
        out.reset();
        ::unlink(tmp.c_str());
        return fail(kind, err);
    };

    bool readFailed = false;
    if (int e = copyData(in.get(), out.get(), opened.st_size, opt, readFailed))
        return abandon(readFailed ? CopyFailure::SourceUnreadable : CopyFailure::Destination, e);

    if (int e = injected(opt, CopyStage::SetAttributes))
        return abandon(CopyFailure::Destination, e);
    if (::fchmod(out.get(), opened.st_mode & 07777) != 0)
        return abandon(CopyFailure::Destination, errno);
    const struct timespec times[2] = {opened.st_atim, opened.st_mtim};
    if (::futimens(out.get(), times) != 0) return abandon(CopyFailure::Destination, errno);

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
    if (::close(out.release()) != 0) {
        int e = errno;
        ::unlink(tmp.c_str());
        return fail(CopyFailure::Destination, e);
    }
    if (int e = injected(opt, CopyStage::Rename)) {
        ::unlink(tmp.c_str());
        return fail(CopyFailure::Destination, e);
    }
    if (::rename(tmp.c_str(), dst.c_str()) != 0) {
        int e = errno;
        ::unlink(tmp.c_str());
        return fail(CopyFailure::Destination, e);
    }
    return CopyResult{true, CopyFailure::None, 0};
}

int replaceFileContents(const std::string& path, const std::string& bytes, bool syncData) {
    mode_t mode = 0;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) return EISDIR;
        mode = st.st_mode & 07777;
    } else if (errno == ENOENT) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    } else {
        return errno;
    }
    std::string tmp = parentOf(path) + "/" + kTempPrefix + "XXXXXX";
    Fd out(::mkstemp(tmp.data()));
    if (out.get() < 0) return errno;
    auto abandon = [&](int err) {
        out.reset();
        ::unlink(tmp.c_str());
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
    if (::close(out.release()) != 0) {
        int e = errno;
        ::unlink(tmp.c_str());
        return e;
    }
    if (::rename(tmp.c_str(), path.c_str()) != 0) {
        int e = errno;
        ::unlink(tmp.c_str());
        return e;
    }
    return 0;
}

CopyResult copySymlinkSafely(const std::string& src, const std::string& dst,
                             const CopyOptions& opt) {
    struct stat st {};
    if (int e = sourceStatus(src, opt, st)) return fail(CopyFailure::SourceUnreadable, e);
    if (!S_ISLNK(st.st_mode)) return fail(CopyFailure::SourceNotRegular, EINVAL);
    if (int e = injected(opt, CopyStage::OpenSource)) return fail(CopyFailure::SourceUnreadable, e);
    std::string target(static_cast<std::size_t>(st.st_size) + 1, '\0');
    for (;;) {
        const ssize_t n = ::readlink(src.c_str(), target.data(), target.size());
        if (n < 0) return fail(CopyFailure::SourceUnreadable, errno);
        if (static_cast<std::size_t>(n) < target.size()) {
            target.resize(static_cast<std::size_t>(n));
            break;
        }
        target.resize(target.size() * 2);  // the link grew since lstat
    }

    if (int e = injected(opt, CopyStage::CreateTemp)) return fail(CopyFailure::Destination, e);
    // mkstemp makes only regular files; a link gets a name of the same form, tried until free.
    thread_local std::mt19937 rng{std::random_device{}()};
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::string tmp;
    int err = EEXIST;
    for (int attempt = 0; attempt < 100 && err == EEXIST; ++attempt) {
        tmp = parentOf(dst) + "/" + kTempPrefix;
        for (std::size_t i = 0; i < kTempSuffixLen; ++i) tmp += kChars[rng() % (sizeof kChars - 1)];
        err = ::symlink(target.c_str(), tmp.c_str()) == 0 ? 0 : errno;
    }
    if (err != 0) return fail(CopyFailure::Destination, err);

    auto abandon = [&](int e) {
        ::unlink(tmp.c_str());
        return fail(CopyFailure::Destination, e);
    };
    if (int e = injected(opt, CopyStage::SetAttributes)) return abandon(e);
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if (::utimensat(AT_FDCWD, tmp.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0) return abandon(errno);
    if (int e = injected(opt, CopyStage::Rename)) return abandon(e);
    if (::rename(tmp.c_str(), dst.c_str()) != 0) return abandon(errno);
    return CopyResult{true, CopyFailure::None, 0};
}

int removeStaleCopyTemporaries(const std::string& dir) {
    DIR* d = ::opendir(dir.c_str());
    if (!d) return 0;
    int removed = 0;
    while (struct dirent* e = ::readdir(d)) {
        if (e->d_name[0] != '.' || !isCopyTemporaryName(e->d_name)) continue;
        struct stat st {};
        if (::fstatat(::dirfd(d), e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            (S_ISREG(st.st_mode) || S_ISLNK(st.st_mode)) &&
            ::unlinkat(::dirfd(d), e->d_name, 0) == 0) {
            ++removed;
        }
    }
    ::closedir(d);
    return removed;
}

}  // namespace vornel
