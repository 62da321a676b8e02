// The level-by-level copy of one folder pair, the folder table and the error log. Both trees
// are walked through folder descriptors: every folder below the pair's roots is opened without
// following a link, and every entry is named relative to its open folder, so a folder swapped
// for a link while the run is busy elsewhere is never followed, on either side.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "backup/backup_engine.h"

namespace vornel {
namespace {

// Longest full source path, in code page 932 bytes, that a backup accepts.
constexpr std::int32_t kMaxPathBytes = 256;

// The names in an open folder, in name order, without "." and "..", and without the
// temporary files of our own copies. Names beginning with "." are user data on this system
// (.git, .ssh, .config) and are listed like any other. Returns 0 or an errno value.
int listFolder(int dirFd, std::vector<ListedEntry>& names) {
    // A description of its own, so the listing does not move the caller's descriptor.
    DIR* d = ::fdopendir(::openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!d) return errno;
    errno = 0;
    while (struct dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name != "." && name != ".." && !isCopyTemporaryName(name))
            names.push_back({name, e->d_type});
        errno = 0;
    }
    const int err = errno;
    ::closedir(d);
    std::sort(names.begin(), names.end(),
              [](const ListedEntry& a, const ListedEntry& b) { return a.name < b.name; });
    return err;
}

std::string parentRel(const std::string& rel) { return rel.substr(0, rel.find_last_of('/')); }
std::string lastName(const std::string& rel) { return rel.substr(rel.find_last_of('/') + 1); }

}  // namespace

std::string sizeLabel(long long bytes) {
    std::string digits = bytes > 0 ? std::to_string(bytes) : std::string();
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
        grouped += digits[i];
    }
    return grouped + " byte";
}

void BackupEngine::errlist_clear() {
    // Assigning empty vectors gives the memory back: a pair with a huge level must not keep
    // it for the rest of the run.
    Fld_list.level = {};
    Fld_list.below = {};
}

void BackupEngine::errlog_add(const std::string& path, const std::string& message) {
    ++result_.errors;
    const WallClock now = m_.cmn.GetClock();
    char date[48];
    std::snprintf(date, sizeof date, "%04d/%02d/%02d", now.year, now.month, now.day);
    errlog_.append(std::string(date) + " " + path + "\r\n" + "\t" + "  [" + message + "]" + "\r\n");
    pump();
}

void BackupEngine::fld_copy(int k) {
    errlist_clear();
    // Copies: events let through during the walk must not change the pair under it.
    PairRoots roots;
    roots.srcPath = m_.Src_fld[static_cast<std::size_t>(k)];
    roots.dstPath = m_.Dst_fld[static_cast<std::size_t>(k)];
    roots.withSubfolders = m_.Subfld_flg[static_cast<std::size_t>(k)] == "1";
    // The roots are the folders the user chose, links or not; nothing below them is followed.
    Fd src(::open(roots.srcPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!src.ok()) {
        errlog_add(roots.srcPath, "コピー元フォルダを開けません（" + plainReason(errno) + "）");
        return;
    }
    Fd dst(::open(roots.dstPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dst.ok()) {
        errlog_add(roots.dstPath, "コピー先フォルダを開けません（" + plainReason(errno) + "）");
        return;
    }
    roots.src = src.get();
    roots.dst = dst.get();

    Fld_list.level = {Folder{}};  // the root, whose relative path is empty
    for (int level = 0; !Fld_list.level.empty(); ++level) {
        if (!roots.withSubfolders && level >= 1) return;
        Fld_list.below = {};
        for (const Folder& folder : Fld_list.level) {
            copyFolder(roots, folder);
            if (m_.Cancel_flg == 1) return;
        }
        Fld_list.level = std::move(Fld_list.below);
    }
}

void BackupEngine::copyFolder(const PairRoots& roots, const Folder& folder) {
    const std::string& rel = folder.rel;
    Fd src(openFolderBelow(roots.src, rel));
    if (!src.ok() && (errno == ELOOP || errno == ENOTDIR) && !rel.empty()) {
        copySwappedFolder(roots, rel);
        return;
    }
    const int srcErr = src.ok() ? 0 : errno;
    // A destination folder swapped for a link since it was made is made again, not followed.
    bool made = false;
    Fd dst(openFolderBelow(roots.dst, rel, &made));
    const int dstErr = dst.ok() ? 0 : errno;
    // Temporary files of a copy that was killed are only ever found here.
    if (dst.ok() && !folder.madeNow && !made) removeStaleCopyTemporariesAt(dst.get());
    copydlg_.set_subfld(rel);
    pump();
    std::vector<ListedEntry> names;
    const int listErr = srcErr != 0 ? srcErr : listFolder(src.get(), names);
    // Nothing the user asked for is left out without a word.
    if (listErr != 0) {
        errlog_add(roots.srcPath + rel,
                   "コピー元フォルダを読み込めません（" + plainReason(listErr) + "）");
        return;
    }
    if (dstErr != 0) {
        errlog_add(roots.dstPath + rel,
                   "コピー先フォルダを作成できません（" + plainReason(dstErr) + "）");
        return;
    }
    Folder here = folder;
    here.madeNow = folder.madeNow || made;
    copyListedEntries(roots, here, src.get(), dst.get(), names);
}

void BackupEngine::copyListedEntries(const PairRoots& roots, const Folder& folder, int srcFd,
                                     int dstFd, const std::vector<ListedEntry>& names) {
    const std::string srcDir = roots.srcPath + folder.rel;
    const std::string dstDir = roots.dstPath + folder.rel;
    const int step = ops().timeStep(dstFd);
    for (const auto& [name, type] : names) {
        const std::string full = srcDir + "/" + name;
        const std::int32_t bytes = m_.cmn.LenByte(full);
        if (bytes > kMaxPathBytes) {
            errlog_add(full, "フルパスの文字が半角256文字を超えてます！ TTL=" +
                                 std::to_string(bytes) + "byte");
            continue;
        }
        struct stat st {};
        if (::fstatat(srcFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            // A file that has gone is no longer there to keep; a folder that went may have
            // been renamed, its contents then missing from this backup.
            if (type == DT_DIR && roots.withSubfolders)
                errlog_add(full, "コピー元フォルダを読み込めません（" + plainReason(errno) + "）");
            continue;
        }
        if (S_ISDIR(st.st_mode)) {
            if (!roots.withSubfolders) continue;
            Folder found{folder.rel + "/" + name};
            // Folders are made as they are found; one that cannot be made is reported when
            // its turn comes.
            Fd made(openOrMakeFolderAt(dstFd, name, found.madeNow));
            Fld_list.below.push_back(std::move(found));
            continue;
        }
        // FIFOs, sockets and devices are never opened.
        if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) continue;
        copydlg_.set_cpfname(name);
        copydlg_.set_filesize(sizeLabel(static_cast<long long>(st.st_size)));
        pump();
        // In a folder this walk has just made there is nothing to compare with.
        copyEntry(Place{EntryAt{srcFd, name}, full},
                  Place{EntryAt{dstFd, name}, dstDir + "/" + name}, &st, folder.madeNow, step);
        copydlg_.set_counts(result_.counts);
        copydlg_.set_cpfname("");
        copydlg_.set_filesize("");
        pump();
        if (m_.Cancel_flg == 1) return;
    }
}

void BackupEngine::copySwappedFolder(const PairRoots& roots, const std::string& rel) {
    Fd src(openFolderBelow(roots.src, parentRel(rel)));
    Fd dst(openFolderBelow(roots.dst, parentRel(rel)));
    if (!src.ok() || !dst.ok()) {
        const int err = errno;
        errlog_add(roots.srcPath + rel,
                   "コピー元フォルダを読み込めません（" + plainReason(err) + "）");
        return;
    }
    const std::string name = lastName(rel);
    struct stat st {};
    if (::fstatat(src.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return;  // gone
    // The folder this walk made for it when it was listed is empty and gives way; an older
    // backup of it stays, and the copy then fails and is reported.
    ::unlinkat(dst.get(), name.c_str(), AT_REMOVEDIR);
    copyEntry(Place{EntryAt{src.get(), name}, roots.srcPath + rel},
              Place{EntryAt{dst.get(), name}, roots.dstPath + rel}, &st, false,
              ops().timeStep(dst.get()));
}

}  // namespace vornel
