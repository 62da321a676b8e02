#include "history/history.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>

#include "common/cp932.h"
#include "common/errors.h"
#include "common/utf8.h"

namespace vornel {
namespace {

std::string hexEscape(const char* format, unsigned value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, format, value);
    return buf;
}

// Control characters (a file name may hold a line break) would split the line.
bool breaksLine(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }

std::string escapeControls(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (breaksLine(c))
            out += hexEscape("<U+%04X>", static_cast<unsigned char>(c));
        else
            out += c;
    }
    return out;
}

}  // namespace

std::string outcomeTag(HistOutcome outcome) {
    switch (outcome) {
        case HistOutcome::Fail:
            return "[Fail]";
        case HistOutcome::Success:
            return "[Success]";
        case HistOutcome::Cancel:
            return "[Cancel]";
        case HistOutcome::SkippedCopyFile:
            return "[Skiped Copy File]";
        case HistOutcome::SkippedSetting:
            return "[Skiped Setteing]";
        case HistOutcome::Start:
            return "[Start]";
        default:
            return "[?]";
    }
}

std::string originTag(HistOrigin origin) {
    switch (origin) {
        case HistOrigin::ProgramOpen:
            return "[Prg open]";
        case HistOrigin::ProgramClose:
            return "[Prg close]";
        case HistOrigin::Timer:
            return "[Timer]";
        case HistOrigin::Manual:
            return "[Manual]";
        case HistOrigin::ShutDown:
            return "[Shut Down]";
        case HistOrigin::TimerShutDown:
            return "[Timer Shut Down]";
        case HistOrigin::TimerReboot:
            return "[Timer Reboot]";
        case HistOrigin::WakeOnLan:
            return "[WakeOnLan]";
        default:
            return "[?]";
    }
}

std::string historyLine(const WallClock& now, HistOutcome outcome, HistOrigin origin,
                        const std::string& text) {
    const int total =
        static_cast<int>(std::floor(std::fmod(std::max(now.secondsOfDay, 0.0), 86400.0)));
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%04d/%02d/%02d %d:%02d:%02d", now.year, now.month, now.day,
                  total / 3600, total / 60 % 60, total % 60);
    const std::string body = outcomeTag(outcome) + " " + text;
    return std::string(stamp) + " " + body + " " + originTag(origin);
}

std::string historyRecord(const WallClock& now, HistOutcome outcome, HistOrigin origin,
                          const std::string& text) {
    const std::string line = escapeControls(historyLine(now, outcome, origin, text));
    std::string out;
    std::size_t pos = 0;
    while (pos < line.size()) {
        cp932::EncodeResult r = cp932::encode(line.substr(pos));
        out += r.bytes;
        if (r.ok) break;
        pos += r.badOffset;
        char32_t cp = 0;
        if (std::size_t len = utf8::sequenceAt(line, pos, &cp)) {
            out += hexEscape("<U+%04X>", static_cast<unsigned>(cp));
            pos += len;
        } else {
            out += hexEscape("<0x%02X>", static_cast<unsigned char>(line[pos]));
            ++pos;
        }
    }
    return out + "\r\n";
}

void write_hist(Module1& m, HistOutcome outcome, HistOrigin origin, const std::string& text) {
    try {
        std::string record = historyRecord(m.cmn.GetClock(), outcome, origin, text);
        const int fd = ::open(m.Hist_path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0) raiseErrno(errno);
        struct stat st {};
        if (::fstat(fd, &st) != 0) {
            const int e = errno;
            ::close(fd);
            raiseErrno(e);
        }
        // A file edited by hand may have lost its last line break; the event still gets a
        // line of its own.
        if (st.st_size > 0) {
            char last = '\n';
            if (::pread(fd, &last, 1, st.st_size - 1) == 1 && last != '\n')
                record.insert(0, "\r\n");
        }
        const ssize_t n = ::write(fd, record.data(), record.size());
        int e = n < 0 ? errno : 0;
        if (n >= 0 && static_cast<std::size_t>(n) != record.size()) e = ENOSPC;
        // A line cut by a full disk is taken back: the file keeps only whole lines.
        if (e != 0 && n > 0 && ::ftruncate(fd, st.st_size) != 0) e = errno;
        if (::close(fd) != 0 && e == 0) e = errno;
        if (e != 0) raiseErrno(e);
    } catch (const VbError& err) {
        if (m.hist_write_failed)
            m.hist_write_failed(err);
        else
            m.cmn.Err_Msg("write_hist", err);
    }
}

void hist_clear(Module1& m) {
    m.Msg_str = "履歴を全てクリアしますか？";
    m.Msg_ans = m.cmn.Msg_Box(m.cmn.KindOkc, m.Msg_str);
    if (m.Msg_ans == kAnsCancel) return;
    const int fd = ::open(m.Hist_path.c_str(), O_WRONLY | O_TRUNC | O_CREAT | O_CLOEXEC, 0644);
    bool ok = fd >= 0;
    if (ok) {
        ok = ::write(fd, "\r\n", 2) == 2;
        ok = ::close(fd) == 0 && ok;
    }
    // The user asked for the history to be gone: a file that could not be emptied is said so
    // rather than left looking cleared.
    if (!ok) {
        m.Msg_str = std::string("履歴をクリアできませんでした！") + "\r\r" +
                    "履歴ファイル = " + m.Hist_path;
        m.Msg_ans = m.cmn.Msg_Box(m.cmn.KindErr, m.Msg_str);
    }
}

}  // namespace vornel
