#include "common/temp_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>

namespace vornel {
namespace {

constexpr char kTempPrefix[] = ".vornelnet-part-";
constexpr std::size_t kTempSuffixLen = 6;
// Names tried before giving up: a clash is already one in 57 billion.
constexpr int kAttempts = 100;

std::string randomTemporaryName() {
    thread_local std::mt19937 rng{std::random_device{}()};
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::string name = kTempPrefix;
    for (std::size_t i = 0; i < kTempSuffixLen; ++i) name += kChars[rng() % (sizeof kChars - 1)];
    return name;
}

// The permission bits of a new file: 0666 less the umask. The umask can only be read by
// setting it, so it is put back at once.
mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

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

// The kernel shows each open file under /proc/self/fd; linking that entry names the file.
bool canNameOpenFiles() {
    static const bool yes = ::access("/proc/self/fd", X_OK) == 0;
    return yes;
}

}  // namespace

int TempFile::create(int dirFd) {
    discard();
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        std::string name = randomTemporaryName();
        Fd fd(::openat(dirFd, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                       0600));
        if (!fd.ok()) {
            if (errno == EEXIST) continue;
            return errno;
        }
        // A sweep that opened the new file before us has it locked and removes it: take
        // another name.
        if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) continue;
        dirFd_ = dirFd;
        fd_ = std::move(fd);
        name_ = std::move(name);
        return 0;
    }
    return EEXIST;
}

int TempFile::createUnnamed(int dirFd, FileOps& ops) {
    discard();
    int fd = -1;
    if (!canNameOpenFiles() || ops.openUnnamed(dirFd, fd) != 0) return create(dirFd);
    dirFd_ = dirFd;
    fd_.reset(fd);
    return 0;
}

int TempFile::createLink(int dirFd, const std::string& target, FileOps& ops) {
    discard();
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        std::string name = randomTemporaryName();
        const int err = ops.makeLink(target, dirFd, name);
        if (err == EEXIST) continue;
        if (err != 0) return err;
        dirFd_ = dirFd;
        name_ = std::move(name);
        return 0;
    }
    return EEXIST;
}

int TempFile::write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd_.get(), bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

int TempFile::setModeLike(const std::string& target) {
    mode_t mode = 0;
    struct stat st {};
    if (::fstatat(dirFd_, target.c_str(), &st, 0) == 0) {
        if (!S_ISREG(st.st_mode)) return EISDIR;
        mode = st.st_mode & 07777;
    } else if (errno == ENOENT) {
        mode = newFileMode();
    } else {
        return errno;
    }
    return ::fchmod(fd_.get(), mode) == 0 ? 0 : errno;
}

int TempFile::commit(const std::string& target, Commit how) {
    if (fd_.ok() && how.syncData && ::fsync(fd_.get()) != 0) return errno;
    const int err = fd_.ok() && name_.empty() ? linkUnnamed(target) : renameInPlace(target);
    if (err != 0) return err;
    return how.syncFolder && ::fsync(dirFd_) != 0 ? errno : 0;
}

int TempFile::linkUnnamed(const std::string& target) {
    // Closing a second descriptor reports what closing the file would (a delayed write
    // error) while the file has no name yet.
    Fd second(::fcntl(fd_.get(), F_DUPFD_CLOEXEC, 0));
    if (!second.ok() || ::close(second.release()) != 0) return errno;
    const std::string self = "/proc/self/fd/" + std::to_string(fd_.get());
    if (::linkat(AT_FDCWD, self.c_str(), dirFd_, target.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        fd_.reset();
        return 0;
    }
    if (errno != EEXIST) return errno;
    // Something took the name meanwhile: it is replaced as any file is, from a locked
    // temporary name.
    if (::flock(fd_.get(), LOCK_EX | LOCK_NB) != 0) return errno;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        std::string name = randomTemporaryName();
        if (::linkat(AT_FDCWD, self.c_str(), dirFd_, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            name_ = std::move(name);
            return renameInPlace(target);
        }
        if (errno != EEXIST) return errno;
    }
    return EEXIST;
}

int TempFile::renameInPlace(const std::string& target) {
    if (fd_.ok()) {
        // A second descriptor keeps the lock until the rename is done.
        Fd locked(::fcntl(fd_.get(), F_DUPFD_CLOEXEC, 0));
        if (!locked.ok()) return errno;
        if (::close(fd_.release()) != 0) return errno;
        if (::renameat(dirFd_, name_.c_str(), dirFd_, target.c_str()) != 0) return errno;
    } else if (::renameat(dirFd_, name_.c_str(), dirFd_, target.c_str()) != 0) {
        return errno;
    }
    name_.clear();
    return 0;
}

void TempFile::discard() {
    // Removed while still locked, so no sweep takes it for stale in between.
    if (!name_.empty()) ::unlinkat(dirFd_, name_.c_str(), 0);
    name_.clear();
    fd_.reset();
}

bool isCopyTemporaryName(const std::string& name) {
    const std::size_t prefixLen = sizeof kTempPrefix - 1;
    return name.size() == prefixLen + kTempSuffixLen &&
           name.compare(0, prefixLen, kTempPrefix) == 0;
}

int removeStaleCopyTemporariesAt(int dirFd) {
    // A description of its own: the caller's descriptor keeps its place in any listing.
    Fd own(::openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    DIR* d = own.ok() ? ::fdopendir(own.get()) : nullptr;
    if (!d) return 0;
    own.release();  // the listing closes it
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
