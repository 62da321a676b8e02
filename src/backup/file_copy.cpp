// File_copy: one file under the copy condition and the open-file rule.
#include <sys/stat.h>

#include <cerrno>

#include "backup/backup_engine.h"
#include "common/text_number.h"
#include "history/history.h"

namespace vornel {

void BackupEngine::File_copy(const std::string& source, const std::string& destination) {
    copyEntry(source, destination, nullptr);
}

void BackupEngine::copyEntry(const std::string& source, const std::string& destination,
                             const struct stat* sourceStat, bool destinationMissing) {
    try {
        struct stat src {};
        int srcErr = 0;
        if (sourceStat)
            src = *sourceStat;
        else if (::lstat(source.c_str(), &src) != 0)
            srcErr = errno;  // the copy reports it

        // Newer-only: compared to the second; an equal time is not newer.
        struct stat dst {};
        if (m_.Copy_op == "1" && !destinationMissing && ::lstat(destination.c_str(), &dst) == 0) {
            if (srcErr != 0) raiseErrno(srcErr);
            if (src.st_mtim.tv_sec <= dst.st_mtim.tv_sec) return;
        }

        const bool skipMode = textToInt16(m_.Cp_skip) == 1;
        CopyOptions options;
        options.pump = [this] { pump(); };
        options.fault = copyFault;
        options.syncData = syncData;
        options.sourceStat = srcErr == 0 ? &src : nullptr;
        // Skip mode leaves out what another program is working on, as the copy refused on
        // the system this was made for; ignore-and-copy takes the file as it is.
        options.failIfSourceInUse = skipMode;
        options.failIfSourceChanged = skipMode;
        const CopyResult result = srcErr == 0 && S_ISLNK(src.st_mode)
                                      ? copySymlinkSafely(source, destination, options)
                                      : copyFileSafely(source, destination, options);
        if (skipMode) {
            if (!result.ok) {
                ++result_.skippedFiles;
                write_hist(m_, 4, 99, destination);
            }
            return;
        }
        m_.Msg_ans = result.ok ? 1 : 0;
        if (result.ok) return;
        m_.Msg_str = std::string("ファイルをコピーできません！") + "\r\r" + "コピー元 = " + source +
                     "\r" + "コピー先 = " + destination + "\r\r" +
                     "ファイルの属性やフォルダの権限等を確認して下さい。";
        m_.Msg_ans = m_.cmn.Msg_Box(m_.cmn.KindErr, m_.Msg_str);
        m_.Cancel_flg = 1;
    } catch (const VbError& e) {
        m_.cmn.Err_Msg("File_copy", e);
        m_.Cancel_flg = 1;
    }
}

}  // namespace vornel
