// File_copy: one file under the copy condition and the open-file rule.
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "backup/backup_engine.h"
#include "common/text_number.h"
#include "history/history.h"

namespace vornel {
namespace {

// An editor saving by rename may swap the file again while it is opened; a few looks are
// enough for any save, and a file swapped without end is reported like any other failure.
constexpr int kTries = 3;

time_t floorTo(time_t t, int step) { return t - ((t % step) + step) % step; }

// Newer-only: compared in the destination's time steps (to the second, or the 2 seconds of
// FAT), an equal time is not newer. Within one step only the size can still tell a changed
// file apart.
bool sourceIsNewer(const struct stat& src, const EntryAt& dst, int step) {
    struct stat d {};
    if (::fstatat(dst.dirFd, dst.name.c_str(), &d, AT_SYMLINK_NOFOLLOW) != 0) return true;
    const time_t s = floorTo(src.st_mtim.tv_sec, step);
    const time_t t = floorTo(d.st_mtim.tv_sec, step);
    if (s != t) return s > t;
    return S_ISREG(src.st_mode) && S_ISREG(d.st_mode) && src.st_size != d.st_size;
}

CopyResult notCopied() { return CopyResult{true, CopyFailure::None, 0}; }

}  // namespace

void BackupEngine::File_copy(const std::string& source, const std::string& destination) {
    Fd srcDir, dstDir;
    Place src{{}, source}, dst{{}, destination};
    srcDir.reset(openParentFolder(source, src.at.name));
    dstDir.reset(openParentFolder(destination, dst.at.name));
    src.at.dirFd = srcDir.get();
    dst.at.dirFd = dstDir.get();
    copyEntry(src, dst, nullptr, false, dstDir.ok() ? ops().timeStep(dstDir.get()) : 1);
}

void BackupEngine::copyEntry(const Place& src, const Place& dst, const struct stat* sourceStat,
                             bool destinationMissing, int timeStep) {
    ++result_.counts.filesChecked;
    try {
        const bool skipMode = textToInt16(m_.Cp_skip) == 1;
        const CopyResult result =
            copyWithRetries(src, dst, sourceStat, destinationMissing, timeStep, skipMode);
        reportCopy(result, src, dst, skipMode);
    } catch (const VbError& e) {
        m_.cmn.Err_Msg("File_copy", e);
        m_.Cancel_flg = 1;
        result_.failed = true;
    }
}

CopyResult BackupEngine::copyWithRetries(const Place& src, const Place& dst,
                                         const struct stat* sourceStat, bool destinationMissing,
                                         int timeStep, bool skipMode) {
    CopyOptions options;
    options.pump = [this] { pump(); };
    options.fault = copyFault;
    options.syncData = syncData;
    options.ops = fileOps;
    options.destinationMissing = destinationMissing;
    // Skip mode leaves out what another program is working on, as the copy refused on the
    // system this was made for; ignore-and-copy takes the file as it is.
    options.failIfSourceInUse = skipMode;
    options.failIfSourceChanged = skipMode;
    CopyResult result;
    struct stat st {};
    options.progress = [this, &st](std::int64_t done) {
        copydlg_.set_fileProgress(done, st.st_size);
    };
    for (int attempt = 0; attempt < kTries; ++attempt) {
        if (attempt == 0 && sourceStat) {
            st = *sourceStat;
        } else if (::fstatat(src.at.dirFd, src.at.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno == ENOENT) return notCopied();  // gone from the source: nothing to keep
            return CopyResult{false, CopyFailure::SourceUnreadable, errno};
        }
        // What now stands there is no file or link: a special file is never copied.
        if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) return notCopied();
        if (m_.Copy_op == "1" && !destinationMissing && !sourceIsNewer(st, dst.at, timeStep))
            return notCopied();
        options.sourceStat = &st;
        result = S_ISLNK(st.st_mode) ? copySymlinkAt(src.at, dst.at, options)
                                     : copyFileAt(src.at, dst.at, options);
        if (result.failure == CopyFailure::SourceVanished) return notCopied();
        if (result.failure != CopyFailure::SourceReplaced) break;
    }
    if (result.ok) {
        ++result_.counts.filesCopied;
        result_.counts.bytesCopied += st.st_size;
    }
    return result;
}

void BackupEngine::reportCopy(const CopyResult& result, const Place& src, const Place& dst,
                              bool skipMode) {
    if (result.failure == CopyFailure::LinksUnsupported) {
        // FAT32 and exFAT cannot hold a link: the rest of the pair is still worth copying.
        errlog_add(src.path,
                   "コピー先がシンボリックリンクを保存できないため、コピーしませんでした");
        return;
    }
    if (skipMode) {
        if (!result.ok) {
            ++result_.skippedFiles;
            write_hist(m_, HistOutcome::SkippedCopyFile, HistOrigin::Unstated, dst.path);
        }
        return;
    }
    m_.Msg_ans = result.ok ? 1 : 0;
    if (result.ok) return;
    m_.Msg_str = std::string("ファイルをコピーできません！") + "\r\r" + "コピー元 = " + src.path +
                 "\r" + "コピー先 = " + dst.path + "\r\r" +
                 "ファイルの属性やフォルダの権限等を確認して下さい。";
    m_.Msg_ans = m_.cmn.Msg_Box(m_.cmn.KindErr, m_.Msg_str);
    m_.Cancel_flg = 1;
    result_.failed = true;
}

}  // namespace vornel
