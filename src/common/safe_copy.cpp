#include "common/safe_copy.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <vector>

namespace vornel {
namespace {

// Small enough that a slow disk still lets the window breathe between chunks.
constexpr std::size_t kChunk = 1u << 20;
// copy_file_range cannot serve these files: the data is read and written instead.
constexpr int kReadAndWrite = -1;

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

CopyResult fail(CopyFailure kind, int err) { return CopyResult{false, kind, err}; }
CopyResult done() { return CopyResult{true, CopyFailure::None, 0}; }

FileOps& opsOf(const CopyOptions& opt) { return opt.ops ? *opt.ops : FileOps::real(); }

// The data of a file of `size` bytes through copy_file_range: 0, an errno value, or
// kReadAndWrite when the file systems cannot (the offsets then stand where it stopped).
int copyInKernel(int in, int out, off_t size, FileOps& ops, Pacer& pacer, off_t& done) {
    for (;;) {
        std::size_t n = 0;
        const int err = ops.copyRange(in, out, kChunk, n);
        if (err == EXDEV || err == EOPNOTSUPP || err == EINVAL || err == ENOSYS || err == EBADF)
            return kReadAndWrite;
        if (err != 0) return err;
        done += static_cast<off_t>(n);
        // The size taken when the file was opened is the copy; asking again only to hear
        // "end of file" would cost a call per small file.
        if (done >= size) return 0;
        // Some file systems report 0 instead of an error.
        if (n == 0) return kReadAndWrite;
        pacer.tick(done);
    }
}

// The rest of the data by plain reads and writes. A source read error is reported through
// `readFailed` so the caller can tell the two sides apart.
int copyByReadWrite(int in, int out, FileOps& ops, Pacer& pacer, off_t done, bool& readFailed) {
    std::vector<char> buf(kChunk);
    for (;;) {
        const ssize_t r = ::read(in, buf.data(), buf.size());
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) {
            readFailed = true;
            return errno;
        }
        if (r == 0) return 0;
        for (std::size_t at = 0; at < static_cast<std::size_t>(r);) {
            std::size_t w = 0;
            if (int e = ops.writeData(out, buf.data() + at, static_cast<std::size_t>(r) - at, w))
                return e;
            at += w;
        }
        done += r;
        pacer.tick(done);
    }
}

// Copies the data inside the kernel (which shares it where the file system can), else by
// reads and writes. Returns 0 or an errno value.
int copyData(int in, int out, off_t size, const CopyOptions& opt, bool& readFailed) {
    readFailed = false;
    if (int e = injected(opt, CopyStage::Write)) return e;
    FileOps& ops = opsOf(opt);
    Pacer pacer(opt);
    off_t done = 0;
    const int err = copyInKernel(in, out, size, ops, pacer, done);
    if (err == EIO) readFailed = true;
    if (err != kReadAndWrite) return err;
    return copyByReadWrite(in, out, ops, pacer, done, readFailed);
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
// write. A folder is never replaced by a file. `missing` tells whether nothing stands there.
CopyResult checkDestination(const EntryAt& dst, const CopyOptions& opt, bool& missing) {
    missing = true;
    if (opt.destinationMissing) return done();
    struct stat st {};
    if (::fstatat(dst.dirFd, dst.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return done();
    missing = false;
    if (S_ISDIR(st.st_mode)) return fail(CopyFailure::Destination, EISDIR);
    if (S_ISREG(st.st_mode) && readOnlyForUser(st))
        return fail(CopyFailure::DestinationReadOnly, EACCES);
    return done();
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
    // Reads must block normally from here on; O_NONBLOCK only guarded the open, and no other
    // status flag was set.
    ::fcntl(in.get(), F_SETFL, 0);
    return done();
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

// The open source's data, mode and times in a new temporary file in the destination folder.
CopyResult writeCopy(int in, const struct stat& opened, int dirFd, bool replaces,
                     const CopyOptions& opt, TempFile& tmp) {
    if (int e = injected(opt, CopyStage::CreateTemp)) return fail(CopyFailure::Destination, e);
    if (int e = replaces ? tmp.create(dirFd) : tmp.createUnnamed(dirFd, opsOf(opt)))
        return fail(CopyFailure::Destination, e);
    bool readFailed = false;
    if (int e = copyData(in, tmp.fd(), opened.st_size, opt, readFailed))
        return fail(readFailed ? CopyFailure::SourceUnreadable : CopyFailure::Destination, e);
    if (int e = setAttributes(tmp.fd(), opened, opt)) return fail(CopyFailure::Destination, e);
    return done();
}

// Renames the complete copy over the destination, unless the source changed meanwhile.
CopyResult putInPlace(TempFile& tmp, int in, const struct stat& opened, const EntryAt& dst,
                      const CopyOptions& opt) {
    if (opt.failIfSourceChanged) {
        struct stat after {};
        if (::fstat(in, &after) != 0 || !sameFileState(opened, after))
            return fail(CopyFailure::SourceChanged, EAGAIN);
    }
    if (int e = opt.syncData ? injected(opt, CopyStage::Sync) : 0)
        return fail(CopyFailure::Destination, e);
    if (int e = injected(opt, CopyStage::Rename)) return fail(CopyFailure::Destination, e);
    if (int e = tmp.commit(dst.name, {opt.syncData, false}))
        return fail(CopyFailure::Destination, e);
    return done();
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

CopyResult copyFileAt(const EntryAt& src, const EntryAt& dst, const CopyOptions& opt) {
    struct stat before {};
    if (int e = sourceStatus(src, opt, before)) return fail(unreadable(e), e);
    if (!S_ISREG(before.st_mode)) return fail(CopyFailure::SourceNotRegular, EINVAL);
    Fd in;
    struct stat opened {};
    if (CopyResult r = openSource(src, before, opt, in, opened); !r.ok) return r;
    bool missing = true;
    if (CopyResult r = checkDestination(dst, opt, missing); !r.ok) return r;
    TempFile tmp;
    if (CopyResult r = writeCopy(in.get(), opened, dst.dirFd, !missing, opt, tmp); !r.ok) return r;
    return putInPlace(tmp, in.get(), opened, dst, opt);
}

CopyResult copyFileSafely(const std::string& src, const std::string& dst, const CopyOptions& opt) {
    EntryAt from, to;
    Fd srcDir(openParentFolder(src, from.name));
    if (!srcDir.ok()) return fail(unreadable(errno), errno);
    Fd dstDir(openParentFolder(dst, to.name));
    if (!dstDir.ok()) return fail(CopyFailure::Destination, errno);
    from.dirFd = srcDir.get();
    to.dirFd = dstDir.get();
    return copyFileAt(from, to, opt);
}

int replaceFileContents(const std::string& path, const std::string& bytes, bool syncData) {
    std::string name;
    Fd dir(openParentFolder(path, name));
    if (!dir.ok()) return errno;
    TempFile tmp;
    if (int e = tmp.create(dir.get())) return e;
    if (int e = tmp.setModeLike(name)) return e;
    if (int e = tmp.write(bytes)) return e;
    return tmp.commit(name, {syncData, false});
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
    TempFile tmp;
    if (int e = tmp.createLink(dst.dirFd, target, ops)) return e;
    if (int e = injected(opt, CopyStage::SetAttributes)) return e;
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if (int e = ops.setLinkTimes(dst.dirFd, tmp.name(), times)) return e;
    if (int e = injected(opt, CopyStage::Rename)) return e;
    return tmp.commit(dst.name);
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
    bool missing = true;
    if (CopyResult r = checkDestination(dst, opt, missing); !r.ok) return r;
    if (int e = injected(opt, CopyStage::CreateTemp)) return fail(CopyFailure::Destination, e);
    int err = ENOENT;
    for (int attempt = 0; attempt < 3 && err == ENOENT; ++attempt)
        err = placeLink(target, st, dst, opt);
    if (err == 0) return done();
    if (err == EPERM || err == EOPNOTSUPP || err == ENOSYS)
        return fail(CopyFailure::LinksUnsupported, err);
    return fail(CopyFailure::Destination, err);
}

}  // namespace vornel
