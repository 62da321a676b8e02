// The level-by-level copy of one folder pair, the folder table and the error log.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "backup/backup_engine.h"

namespace vornel {
namespace {

// Longest full source path, in code page 932 bytes, that a backup accepts.
constexpr std::int32_t kMaxPathBytes = 256;

struct Listing {
    struct Entry {
        std::string name;
        unsigned char type;  // d_type, DT_UNKNOWN when the file system does not say
    };
    DIR* dir = nullptr;
    std::vector<Entry> entries;

    Listing() = default;
    Listing(const Listing&) = delete;
    Listing& operator=(const Listing&) = delete;
    ~Listing() {
        if (dir) ::closedir(dir);
    }
};

// Lists a folder in name order, leaving out hidden entries (names beginning with "."; this
// also leaves out "." and "..", and our own temporary files). The folder stays open so the
// entries can be looked at relative to it.
bool listFolder(const std::string& path, Listing& out) {
    out.dir = ::opendir(path.c_str());
    if (!out.dir) return false;
    while (struct dirent* e = ::readdir(out.dir)) {
        if (e->d_name[0] == '.') continue;
        out.entries.push_back({e->d_name, e->d_type});
    }
    std::sort(out.entries.begin(), out.entries.end(),
              [](const Listing::Entry& a, const Listing::Entry& b) { return a.name < b.name; });
    return true;
}

// Makes sure the destination of a source folder is a real folder. A link in its place (left
// from a time the source held a link of that name) is replaced: writing through it would put
// files wherever it points. Anything else is left alone; copies into it then fail and are
// reported file by file. Returns true when it made the folder.
bool ensureFolder(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode) || ::unlink(path.c_str()) != 0) return false;
    }
    return ::mkdir(path.c_str(), 0777) == 0;
}

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
    const WallClock now = m_.cmn.backend().wallClock();
    char date[48];
    std::snprintf(date, sizeof date, "%04d/%02d/%02d", now.year, now.month, now.day);
    errlog_.append(std::string(date) + " " + path + "\r\n" + "\t" + "  [" + message + "]" + "\r\n");
    pump();
}

void BackupEngine::fld_copy(int k) {
    errlist_clear();
    // Copies: events let through during the walk must not change the pair under it.
    const std::string srcRoot = m_.Src_fld[static_cast<std::size_t>(k)];
    const std::string dstRoot = m_.Dst_fld[static_cast<std::size_t>(k)];
    const bool withSubfolders = m_.Subfld_flg[static_cast<std::size_t>(k)] == "1";

    Fld_list.level = {Folder{}};  // the root, whose relative path is empty
    for (int level = 0; !Fld_list.level.empty(); ++level) {
        if (!withSubfolders && level >= 1) return;
        Fld_list.below = {};
        for (const Folder& folder : Fld_list.level) {
            const std::string& rel = folder.rel;
            const std::string srcDir = srcRoot + rel;
            const std::string dstDir = dstRoot + rel;
            Listing listing;
            const bool listed = listFolder(srcDir, listing);
            // Temporary files of a copy that was killed are only ever found here.
            if (!folder.madeNow) removeStaleCopyTemporaries(dstDir);
            copydlg_.set_subfld(rel);
            pump();
            if (!listed) continue;
            for (const Listing::Entry& entry : listing.entries) {
                const std::string full = srcDir + "/" + entry.name;
                const std::int32_t bytes = m_.cmn.LenByte(full);
                if (bytes > kMaxPathBytes) {
                    errlog_add(full, "フルパスの文字が半角256文字を超えてます！ TTL=" +
                                         std::to_string(bytes) + "byte");
                    continue;
                }
                struct stat st {};
                if (entry.type == DT_DIR) {
                    st.st_mode = S_IFDIR;
                } else if (::fstatat(::dirfd(listing.dir), entry.name.c_str(), &st,
                                     AT_SYMLINK_NOFOLLOW) != 0) {
                    continue;  // vanished since the listing
                }
                if (S_ISDIR(st.st_mode)) {
                    if (!withSubfolders) continue;
                    Folder found{rel + "/" + entry.name};
                    found.madeNow = ensureFolder(dstRoot + found.rel);
                    Fld_list.below.push_back(std::move(found));
                    continue;
                }
                // FIFOs, sockets and devices are never opened.
                if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) continue;
                copydlg_.set_cpfname(entry.name);
                copydlg_.set_filesize(sizeLabel(static_cast<long long>(st.st_size)));
                pump();
                // In a folder this walk has just made there is nothing to compare with.
                copyEntry(full, dstDir + "/" + entry.name, &st, folder.madeNow);
                copydlg_.set_cpfname("");
                copydlg_.set_filesize("");
                pump();
                if (m_.Cancel_flg == 1) return;
            }
            if (m_.Cancel_flg == 1) return;
        }
        if (m_.Cancel_flg == 1) return;
        Fld_list.level = std::move(Fld_list.below);
    }
}

}  // namespace vornel
