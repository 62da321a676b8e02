#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "backup/copy_progress.h"
#include "backup/run_result.h"
#include "common/module_state.h"
#include "common/safe_copy.h"
#include "history/errlog_sink.h"
#include "history/history.h"

namespace vornel {

// One name from a folder listing.
struct ListedEntry {
    std::string name;
    unsigned char type;  // d_type, DT_UNKNOWN when the file system does not say
};

// What a run needs from outside the engine.
struct BackupHooks {
    // Sysdat_read: reloads the settings from system.dat at the start of every run; false when
    // the load failed (it has told the user why).
    std::function<bool()> Sysdat_read;
    // Opens the 30-second shutdown countdown (ShutDownDialog) after the start-up run.
    std::function<void()> showShutDownDialog;
    // Told what a run met when it has ended, however it ended.
    std::function<void(const RunResult&)> runEnded{};
};

// The backup run and the procedures it is made of. One exists for the program; the program's
// shared state stays in Module1, the engine holds only the folder table and what keeps runs
// from overlapping.
class BackupEngine {
  public:
    BackupEngine(Module1& m, CopyProgressSink& copydlg, ErrLogSink& errlog, BackupHooks hooks);

    // One run over the eight folder pairs; `origin` says in the history what started it.
    void backup(HistOrigin origin);

    // Copies folder pair k (0..7); both folders exist.
    void fld_copy(int k);
    // Copies one file (or link) under the copy condition and the open-file rule.
    void File_copy(const std::string& source, const std::string& destination);
    // Empties the folder table.
    void errlist_clear();
    // Adds an entry to the error-log window and lets pending events run.
    void errlog_add(const std::string& path, const std::string& message);

    // What the current run has met so far, or the last run when none is running.
    const RunResult& lastResult() const { return result_; }

    // True from the start of a run until it returns.
    bool running() const { return running_; }
    // Runs `action` as soon as the current run has returned (at once when none is running).
    // Used by the command that backs up and then shuts down, which must not cut a run short.
    void afterRun(std::function<void()> action);
    // Sets what opens the countdown after the start-up run (the countdown window is made by
    // the scheduler, which comes after the engine).
    void setShowShutDownDialog(std::function<void()> show) {
        hooks_.showShutDownDialog = std::move(show);
    }
    // Calls `action` with the outcome of the next run to start (a run already in progress
    // does not count): a request made during a run is served by the run that follows it.
    void whenNextRunEnds(std::function<void(const RunResult&)> action);

    // Test seams: file-system faults injected into every copy, and the calls a destination
    // file system may refuse (the real ones when null).
    std::function<int(CopyStage)> copyFault;
    FileOps* fileOps = nullptr;
    // Flush each copied file to the disk before it replaces the old one.
    bool syncData = false;
    // Least time in seconds between two event pumps of a run; 0 lets events through at every
    // point the run offers. Letting events through costs more than comparing a small file,
    // so the program pumps at most every few milliseconds; the cancel button still answers
    // well within 100 ms.
    double pumpInterval = 0;

  private:
    // A folder of the walk, as its path relative to the pair's root ("/a", "/a/b").
    struct Folder {
        std::string rel;
        bool madeNow = false;  // its destination was created by this walk, so it is empty
    };
    // A run asked for while another was in progress, with the power duties of its own
    // request.
    struct PendingRun {
        HistOrigin origin = HistOrigin::ProgramOpen;
        std::int16_t tmNo = 0;
        bool stupSdown = false;
        bool operator==(const PendingRun&) const = default;
    };

    void run(const PendingRun& request);
    void runOnce(HistOrigin origin);
    bool startRun(HistOrigin origin);
    void dropRun();
    // The eight pairs in order until a cancel; the pair at which memory ran out, else -1.
    int copyPairs();
    void copyPair(int i);
    void pairFailed(int i, const std::string& reason);
    void outOfMemory(int pair, HistOrigin origin);
    void completeRun(HistOrigin origin);
    void cancelRun(HistOrigin origin);
    PendingRun requestFor(HistOrigin origin) const;
    void deferRequest(const PendingRun& request);
    void drainPending();
    // An entry inside an open folder, and its path for messages.
    struct Place {
        EntryAt at;
        std::string path;
    };
    // The two open roots of the pair being copied and their paths.
    struct PairRoots {
        int src = -1;
        int dst = -1;
        std::string srcPath;
        std::string dstPath;
        bool withSubfolders = true;
    };
    // One folder of the walk: lists the source, copies its entries and notes its folders.
    void copyFolder(const PairRoots& roots, const Folder& folder);
    void copyListedEntries(const PairRoots& roots, const Folder& folder, int srcFd, int dstFd,
                           const std::vector<ListedEntry>& names);
    // A folder found by the listing that is no folder any more when it is opened (swapped for
    // a link or a file): the entry is copied as what it now is.
    void copySwappedFolder(const PairRoots& roots, const std::string& rel);
    // File_copy with the source's lstat already at hand (or null to look it up).
    // `destinationMissing`: the caller knows there is nothing at the destination yet.
    // `timeStep`: seconds in which the destination keeps modification times.
    void copyEntry(const Place& src, const Place& dst, const struct stat* sourceStat,
                   bool destinationMissing, int timeStep);
    CopyResult copyWithRetries(const Place& src, const Place& dst, const struct stat* sourceStat,
                               bool destinationMissing, int timeStep, bool skipMode);
    void reportCopy(const CopyResult& result, const Place& src, const Place& dst, bool skipMode);
    FileOps& ops() { return fileOps ? *fileOps : FileOps::real(); }
    void pump();

    Module1& m_;
    CopyProgressSink& copydlg_;
    ErrLogSink& errlog_;
    BackupHooks hooks_;

    // Fld_list: the folders of the level being listed and those found for the level below.
    // Only two levels are ever held.
    struct FolderTable {
        std::vector<Folder> level;
        std::vector<Folder> below;
    } Fld_list;

    bool running_ = false;
    double nextPump_ = 0;
    std::int16_t runTmNo_ = 0;
    bool runStupSdown_ = false;
    std::vector<PendingRun> pending_;  // in the order they were asked for
    std::vector<std::function<void()>> afterRun_;
    RunResult result_;
    std::vector<std::function<void(const RunResult&)>> nextRunWaiters_;
};

// The size label of the copy window: "#,###,###,###" followed by " byte"; 0 gives " byte".
std::string sizeLabel(long long bytes);

}  // namespace vornel
