// The backup run over the eight folder pairs, and what keeps runs from overlapping.
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <exception>
#include <memory>
#include <new>

#include "backup/backup_engine.h"
#include "history/history.h"

namespace vornel {
namespace {

// A folder text names a usable folder only when it is an absolute path to a folder (a link
// to one counts: the user chose it); a relative text would depend on where the program was
// started.
bool folderExists(Module1& m, const std::string& path) {
    if (path.empty() || path[0] != '/') return false;
    struct stat st {};
    return m.cmn.Search_path(path) != 0 && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string realPath(const std::string& path) {
    std::unique_ptr<char, decltype(&::free)> p(::realpath(path.c_str(), nullptr), &::free);
    return p ? std::string(p.get()) : std::string();
}

// A destination that is its source, or lies inside it, would copy into itself without end.
bool destinationInsideSource(const std::string& src, const std::string& dst) {
    const std::string s = realPath(src);
    const std::string d = realPath(dst);
    if (s.empty() || d.empty()) return false;
    return d == s || s == "/" || d.compare(0, s.size() + 1, s + "/") == 0;
}

// An error description as it stands in brackets: without its closing "。".
std::string inBrackets(std::string reason) {
    if (reason.size() >= 3 && reason.compare(reason.size() - 3, 3, "。") == 0)
        reason.resize(reason.size() - 3);
    return reason;
}

}  // namespace

BackupEngine::BackupEngine(Module1& m, CopyProgressSink& copydlg, ErrLogSink& errlog,
                           BackupHooks hooks)
    : m_(m), copydlg_(copydlg), errlog_(errlog), hooks_(std::move(hooks)) {}

void BackupEngine::pump() {
    if (pumpInterval > 0) {
        const double now = m_.cmn.GetTickSeconds();
        if (now < nextPump_) return;
        nextPump_ = now + pumpInterval;
    }
    m_.cmn.DoEvents();
}

// Runs never overlap. A run asked for while another is in progress (a schedule time falling
// due, the tray or a button, all reached through the events a run lets through) is not
// started inside it: it waits and starts right after the current run returns, whether that
// run completed or was cancelled, so a scheduled backup and its shutdown are never lost.
// Waiting runs start in the order they were asked for; a request just like one already
// waiting (the same schedule time again, the user pressing the button twice) joins it.
void BackupEngine::backup(HistOrigin origin) {
    const PendingRun request = requestFor(origin);
    if (running_) {
        deferRequest(request);
        return;
    }
    run(request);
}

// Only the schedule timer asks for a run that belongs to a schedule time, and only the
// program's start for one that ends in the countdown. Whatever Tm_no and Stup_sdown hold when
// anything else asks belongs to some other run.
BackupEngine::PendingRun BackupEngine::requestFor(HistOrigin origin) const {
    return {origin, origin == HistOrigin::Timer ? m_.Tm_no : std::int16_t{0},
            origin == HistOrigin::ProgramOpen && m_.Stup_sdown};
}

void BackupEngine::run(const PendingRun& request) {
    runTmNo_ = m_.Tm_no = request.tmNo;
    runStupSdown_ = m_.Stup_sdown = request.stupSdown;
    result_ = {};
    {
        // However the run ends, it is no longer marked as in progress (every later run would
        // wait for it forever), and whoever waits for it is answered: a run left by an
        // exception counts as one that did not start.
        struct EndOfRun {
            BackupEngine& engine;
            std::vector<std::function<void(const RunResult&)>> waiters;
            RunResult outcome{};
            ~EndOfRun() {
                engine.running_ = false;
                for (auto& waiter : waiters) waiter(outcome);
            }
        } end{*this, {}};
        end.waiters.swap(nextRunWaiters_);
        running_ = true;
        runOnce(request.origin);
        end.outcome = result_;
    }
    drainPending();
}

void BackupEngine::whenNextRunEnds(std::function<void(const RunResult&)> action) {
    nextRunWaiters_.push_back(std::move(action));
}

void BackupEngine::deferRequest(const PendingRun& request) {
    // The caller set Tm_no and Stup_sdown for the run it asked for; they went with the
    // request, and the run in progress keeps its own.
    m_.Tm_no = runTmNo_;
    m_.Stup_sdown = runStupSdown_;
    if (std::find(pending_.begin(), pending_.end(), request) == pending_.end()) {
        pending_.push_back(request);
    }
}

void BackupEngine::afterRun(std::function<void()> action) {
    if (!running_) {
        action();
        return;
    }
    afterRun_.push_back(std::move(action));
}

void BackupEngine::drainPending() {
    if (!pending_.empty()) {
        const PendingRun next = pending_.front();
        pending_.erase(pending_.begin());
        run(next);  // drains whatever came in meanwhile when it returns
        return;
    }
    std::vector<std::function<void()>> actions;
    actions.swap(afterRun_);
    for (auto& action : actions) action();
}

void BackupEngine::runOnce(HistOrigin origin) {
    // A history file that cannot be written (a full disk under the program folder) is said
    // once per run in the error log; every later event still tries it, and the run goes on.
    bool historyFailureTold = false;
    m_.hist_write_failed = [this, &historyFailureTold](const VbError& e) {
        if (historyFailureTold) return;
        historyFailureTold = true;
        errlog_add(m_.Hist_path,
                   "履歴ファイルに書き込めません（" + inBrackets(e.description()) + "）");
    };
    struct Restore {
        Module1& m;
        ~Restore() { m.hist_write_failed = nullptr; }
    } restore{m_};
    if (!startRun(origin)) {
        result_.failed = true;
    } else if (const int pair = copyPairs(); pair >= 0) {
        outOfMemory(pair, origin);
    } else if (m_.Cancel_flg == 1) {
        cancelRun(origin);
    } else {
        completeRun(origin);
    }
    if (hooks_.runEnded) hooks_.runEnded(result_);
}

bool BackupEngine::startRun(HistOrigin origin) {
    try {
        write_hist(m_, HistOutcome::Start, origin, "");
        nextPump_ = 0;
        copydlg_.showWindow();
        // A cancel request belongs to the run it was made in; one that came too late for the
        // previous run must not stop this one.
        m_.Cancel_flg = 0;
        errlist_clear();
        if (!hooks_.Sysdat_read || hooks_.Sysdat_read()) return true;
        // Settings that could not be read are never run over: the pairs would be empty or
        // stale and the run would still end in "[Success]". The history shows that the run
        // begun by "[Start]" did not happen.
        write_hist(m_, HistOutcome::Fail, origin, "");
    } catch (const VbError& e) {
        m_.cmn.Err_Msg("backup", e);
    } catch (const std::exception&) {
        m_.cmn.Err_Msg("backup", VbError(kErrInvalidCall));
    }
    dropRun();
    return false;
}

void BackupEngine::dropRun() {
    // Hidden again, so the settings can still be saved (a visible copy window means a run
    // is in progress). The run's power duties end with it, as after a cancel.
    copydlg_.hideWindow();
    m_.Stup_sdown = false;
    m_.Tm_no = 0;
}

int BackupEngine::copyPairs() {
    for (int i = 0; i < 8 && m_.Cancel_flg != 1; ++i) {
        try {
            copyPair(i);
        } catch (const std::bad_alloc&) {
            return i;
        } catch (const VbError& e) {
            pairFailed(i, e.description());
        } catch (const std::exception& e) {
            pairFailed(i, e.what());
        } catch (...) {
            pairFailed(i, "不明なエラー");
        }
    }
    return -1;
}

// Whatever goes wrong with one pair is passed over and the run goes on with the next, but
// the error log says which pair was left unfinished and why.
void BackupEngine::pairFailed(int i, const std::string& reason) {
    errlog_add(m_.Src_fld[static_cast<std::size_t>(i)],
               "エラーのため、このフォルダのコピーを中断しました（" + inBrackets(reason) + "）");
}

// Nothing the run would do next can be trusted to finish: it ends as failed, and says so in
// the error log and the history.
void BackupEngine::outOfMemory(int pair, HistOrigin origin) {
    result_.failed = true;
    errlog_add(m_.Src_fld[static_cast<std::size_t>(pair)],
               "メモリが不足しているため、バックアップを中止しました");
    write_hist(m_, HistOutcome::Fail, origin, "");
    dropRun();
}

void BackupEngine::copyPair(int i) {
    const std::string& src = m_.Src_fld[i];
    const std::string& dst = m_.Dst_fld[i];
    if (m_.Skip_flg[i] == "1") {
        if (m_.Rec_op == "1")
            write_hist(m_, HistOutcome::SkippedSetting, HistOrigin::Unstated, src);
        return;
    }
    if (src.empty() || dst.empty()) return;
    if (!folderExists(m_, src)) {
        errlog_add(src, "コピー元フォルダが見つかりません");
    } else if (!folderExists(m_, dst)) {
        errlog_add(dst, "コピー先フォルダが見つかりません");
    } else if (destinationInsideSource(src, dst)) {
        errlog_add(dst, "コピー先フォルダがコピー元フォルダと同じか、その中にあります");
    } else {
        copydlg_.set_srcfld(src);
        copydlg_.set_dstfld(dst);
        pump();
        fld_copy(i);
    }
}

void BackupEngine::completeRun(HistOrigin origin) {
    result_.outcome = RunResult::Outcome::Completed;
    if (m_.Rec_op == "1") write_hist(m_, HistOutcome::Success, origin, "");
    m_.cmn.MsgBeep(0);
    copydlg_.hideWindow();
    // The countdown follows the start-up run only when the user ticked
    // "起動時完了後Shut Down".
    if (m_.Stup_sdown && m_.St_sdown == "1" && hooks_.showShutDownDialog)
        hooks_.showShutDownDialog();
    m_.Stup_sdown = false;
    if (m_.Tm_no >= 1 && m_.Tm_no <= 3 &&
        m_.Sdown_flg[static_cast<std::size_t>(m_.Tm_no - 1)] == "1") {
        m_.cmn.ExitWindows(m_.cmn.ExwShutdown);
        write_hist(m_, HistOutcome::Success, HistOrigin::ShutDown, "");
    }
    m_.Tm_no = 0;
}

void BackupEngine::cancelRun(HistOrigin origin) {
    m_.Cancel_flg = 0;
    result_.outcome = RunResult::Outcome::Cancelled;
    m_.Msg_str = "バックアップが中止されました！";
    m_.Msg_ans = m_.cmn.Msg_Box(m_.cmn.KindErr, m_.Msg_str);
    copydlg_.hideWindow();
    if (m_.Rec_op == "1") write_hist(m_, HistOutcome::Cancel, origin, "");
    // A cancelled run gives up its power duties: a later manual run must not end in the
    // shutdown or countdown that belonged to this one.
    m_.Stup_sdown = false;
    m_.Tm_no = 0;
}

}  // namespace vornel
