#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "backup/backup_engine.h"
#include "support/program_state.h"

namespace vornel::test {

constexpr std::time_t kT = 1'700'000'000;
using Lines = std::vector<std::string>;

// Records what the run shows, in order, as "show", "hide", "srcfld=…", "subfld=…", etc.
// Emptied file labels are left out.
class RecordingProgress : public CopyProgressSink {
  public:
    std::vector<std::string> events;
    void showWindow() override { events.push_back("show"); }
    void hideWindow() override { events.push_back("hide"); }
    void set_srcfld(const std::string& t) override { events.push_back("srcfld=" + t); }
    void set_dstfld(const std::string& t) override { events.push_back("dstfld=" + t); }
    void set_subfld(const std::string& t) override { events.push_back("subfld=" + t); }
    void set_cpfname(const std::string& t) override { note("cpfname=", t); }
    void set_filesize(const std::string& t) override { note("filesize=", t); }

    long count(const std::string& event) const {
        return std::count(events.begin(), events.end(), event);
    }
    // Events starting with `prefix`, without it.
    std::vector<std::string> only(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const auto& e : events)
            if (e.compare(0, prefix.size(), prefix) == 0) out.push_back(e.substr(prefix.size()));
        return out;
    }

  private:
    void note(const std::string& label, const std::string& t) {
        if (!t.empty()) events.push_back(label + t);
    }
};

class RecordingErrLog : public ErrLogSink {
  public:
    std::vector<std::string> entries;
    void append(const std::string& entry) override { entries.push_back(entry); }
};

// An error-log entry of the fake clock's day.
inline std::string logEntry(const std::string& path, const std::string& message) {
    return "2026/12/06 " + path + "\r\n\t  [" + message + "]\r\n";
}

// A backup engine over real folders in a temporary folder, with the fake desktop and the
// default settings of a first start. Folder pairs are empty until a test fills them.
class EngineTest : public ::testing::Test, protected ProgramState<> {
  protected:
    EngineTest() {
        m.Copy_op = m.Cp_skip = m.Rec_op = "1";
        m.St_sdown = "0";
        m.Sdown_flg.fill("0");
        m.Subfld_flg.fill("1");
        m.Skip_flg.fill("0");
    }

    // Makes pair k copy src<k+1> into dst<k+1> under the temporary folder (both created).
    void usePair(int k, const std::vector<TreeEntry>& source = {}) {
        m.Src_fld[k] = tmp / ("src" + std::to_string(k + 1));
        m.Dst_fld[k] = tmp / ("dst" + std::to_string(k + 1));
        makeTree(m.Src_fld[k], source);
        makeTree(m.Dst_fld[k], {});
    }
    std::string src(int k) const { return m.Src_fld[k]; }
    std::string dst(int k) const { return m.Dst_fld[k]; }

    RecordingProgress progress;
    RecordingErrLog errlog;
    std::function<void()> onReload;  // runs as the settings are read at the start of a run
    bool reloadFails = false;
    int countdowns = 0;
    BackupEngine engine{m, progress, errlog,
                        BackupHooks{[this] {
                                        progress.events.push_back("Sysdat_read");
                                        if (onReload) onReload();
                                        return !reloadFails;
                                    },
                                    [this] { ++countdowns; }}};
};

}  // namespace vornel::test
