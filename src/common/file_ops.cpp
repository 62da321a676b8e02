#include "common/file_ops.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace vornel {

int FileOps::openUnnamed(int dirFd, int& fd) {
    fd = ::openat(dirFd, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    return fd >= 0 ? 0 : errno;
}

int FileOps::copyRange(int in, int out, std::size_t len, std::size_t& moved) {
    for (;;) {
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, len, 0);
        if (n >= 0) {
            moved = static_cast<std::size_t>(n);
            return 0;
        }
        if (errno != EINTR) return errno;
    }
}

int FileOps::writeData(int fd, const char* data, std::size_t len, std::size_t& written) {
    for (;;) {
        const ssize_t n = ::write(fd, data, len);
        if (n >= 0) {
            written = static_cast<std::size_t>(n);
            return 0;
        }
        if (errno != EINTR) return errno;
    }
}

int FileOps::setMode(int fd, mode_t mode) { return ::fchmod(fd, mode) == 0 ? 0 : errno; }

int FileOps::setTimes(int fd, const struct timespec times[2]) {
    return ::futimens(fd, times) == 0 ? 0 : errno;
}

int FileOps::makeLink(const std::string& target, int dirFd, const std::string& name) {
    return ::symlinkat(target.c_str(), dirFd, name.c_str()) == 0 ? 0 : errno;
}

int FileOps::setLinkTimes(int dirFd, const std::string& name, const struct timespec times[2]) {
    return ::utimensat(dirFd, name.c_str(), times, AT_SYMLINK_NOFOLLOW) == 0 ? 0 : errno;
}

int FileOps::timeStep(int dirFd) {
    struct statfs fs {};
    if (::fstatfs(dirFd, &fs) != 0) return 1;
    return fs.f_type == MSDOS_SUPER_MAGIC ? 2 : 1;
}

FileOps& FileOps::real() {
    static FileOps ops;
    return ops;
}

void Fd::reset(int fd) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
}

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

int openParentFolder(const std::string& path, std::string& name) {
    name = path.substr(path.find_last_of('/') + 1);
    return ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

int openFolderAt(int dirFd, const std::string& name) {
    return ::openat(dirFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

int openFolderBelow(int rootFd, const std::string& rel, bool* made) {
    Fd cur(::fcntl(rootFd, F_DUPFD_CLOEXEC, 0));
    bool madeNow = false;
    std::size_t pos = 0;
    while (cur.ok() && pos < rel.size()) {
        const std::size_t next = rel.find('/', pos + 1);
        const std::string name = rel.substr(pos + 1, next - pos - 1);
        pos = next == std::string::npos ? rel.size() : next;
        if (name.empty()) continue;
        cur.reset(made ? openOrMakeFolderAt(cur.get(), name, madeNow)
                       : openFolderAt(cur.get(), name));
    }
    if (made) *made = madeNow;
    return cur.release();
}

int openOrMakeFolderAt(int dirFd, const std::string& name, bool& made) {
    made = false;
    int fd = openFolderAt(dirFd, name);
    if (fd >= 0 || (errno != ENOENT && errno != ELOOP && errno != ENOTDIR)) return fd;
    if (errno != ENOENT) {
        struct stat st {};
        if (::fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return -1;
        if (!S_ISLNK(st.st_mode)) {
            errno = ENOTDIR;
            return -1;
        }
        if (::unlinkat(dirFd, name.c_str(), 0) != 0) return -1;
    }
    if (::mkdirat(dirFd, name.c_str(), 0777) != 0) return -1;
    made = true;
    return openFolderAt(dirFd, name);
}

bool readOnlyForUser(const struct stat& st) {
    if (st.st_uid == ::geteuid()) return (st.st_mode & S_IWUSR) == 0;
    bool inGroup = st.st_gid == ::getegid();
    if (!inGroup) {
        const int n = ::getgroups(0, nullptr);
        std::vector<gid_t> groups(n > 0 ? static_cast<std::size_t>(n) : 0);
        if (n > 0 && ::getgroups(n, groups.data()) == n) {
            for (gid_t g : groups) inGroup = inGroup || g == st.st_gid;
        }
    }
    return (st.st_mode & (inGroup ? S_IWGRP : S_IWOTH)) == 0;
}

std::string plainReason(int err) {
    switch (err) {
        case EACCES:
        case EPERM:
            return "アクセス権がありません";
        case ENOENT:
            return "移動または削除されました";
        case ENOTDIR:
            return "フォルダではありません";
        case ELOOP:
            return "リンクに置き換えられています";
        case ENOSPC:
        case EDQUOT:
            return "ディスクの空き容量が不足しています";
        case EROFS:
            return "読み取り専用のファイルシステムです";
        case EIO:
            return "デバイス I/O エラーです";
        case EMFILE:
        case ENFILE:
            return "開いているファイルが多すぎます";
        case ENAMETOOLONG:
            return "名前が長すぎます";
        default:
            return "エラー " + std::to_string(err) + " (" + std::strerror(err) + ")";
    }
}

}  // namespace vornel
