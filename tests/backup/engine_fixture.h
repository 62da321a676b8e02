#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "backup/backup_engine.h"
#include "common/cp932.h"
#include "support/fake_backend.h"
#include "support/temp_dir.h"
#include "support/tree.h"

namespace vornel::test {

// Records what the run shows, in order, as "show", "hide", "srcfld=…", "subfld=…", etc.
class RecordingProgress : public CopyProgressSink {
  public:
    std::vector<std::string> events;
    bool visible = false;
    void showWindow() override {
        visible = true;
        events.push_back("show");
    }
    void hideWindow() override {
        visible = false;
        events.push_back("hide");
    }
    void set_srcfld(const std::string& t) override { events.push_back("srcfld=" + t); }
    void set_dstfld(const std::string& t) override { events.push_back("dstfld=" + t); }
    void set_subfld(const std::string& t) override { events.push_back("subfld=" + t); }
    void set_cpfname(const std::string& t) override {
        if (!t.empty()) events.push_back("cpfname=" + t);
    }
    void set_filesize(const std::string& t) override {
        if (!t.empty()) events.push_back("filesize=" + t);
    }
    // Events starting with `prefix`, without it.
    std::vector<std::string> only(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const auto& e : events)
            if (e.compare(0, prefix.size(), prefix) == 0) out.push_back(e.substr(prefix.size()));
        return out;
    }
};

class RecordingErrLog : public ErrLogSink {
  public:
    std::vector<std::string> entries;
    void append(const std::string& entry) override { entries.push_back(entry); }
};

// A backup engine over real folders in a temporary folder, with the fake desktop and the
// default settings of a first start. Folder pairs are empty until a test fills them.
class EngineTest : public ::testing::Test {
  protected:
    EngineTest() {
        m.Hist_path = tmp / "history.txt";
        m.Copy_op = "1";
        m.Cp_skip = "1";
        m.Rec_op = "1";
        m.St_sdown = "0";
        m.Sdown_flg = {"0", "0", "0"};
        m.Subfld_flg.fill("1");
        m.Skip_flg.fill("0");
    }

    // Makes pair k copy src<k+1> into dst<k+1> under the temporary folder (both created).
    void usePair(int k, const std::vector<TreeEntry>& source = {}) {
        const std::string n = std::to_string(k + 1);
        m.Src_fld[static_cast<std::size_t>(k)] = tmp / ("src" + n);
        m.Dst_fld[static_cast<std::size_t>(k)] = tmp / ("dst" + n);
        makeTree(m.Src_fld[static_cast<std::size_t>(k)], {dir("")});
        makeTree(m.Dst_fld[static_cast<std::size_t>(k)], {dir("")});
        makeTree(m.Src_fld[static_cast<std::size_t>(k)], source);
    }
    std::string src(int k) const { return m.Src_fld[static_cast<std::size_t>(k)]; }
    std::string dst(int k) const { return m.Dst_fld[static_cast<std::size_t>(k)]; }

    // History lines as UTF-8, without their CR LF.
    std::vector<std::string> historyLines() const {
        const std::string text = cp932::decode(readFile(m.Hist_path)).utf8;
        std::vector<std::string> lines;
        std::size_t pos = 0;
        while (pos < text.size()) {
            std::size_t end = text.find("\r\n", pos);
            if (end == std::string::npos) end = text.size();
            lines.push_back(text.substr(pos, end - pos));
            pos = end + 2;
        }
        return lines;
    }

    TempDir tmp;
    FakeBackend be;
    KvCmn15 cmn{be};
    Module1 m{cmn};
    RecordingProgress progress;
    RecordingErrLog errlog;
    int reloads = 0;
    int countdowns = 0;
    BackupEngine engine{m, progress, errlog,
                        BackupHooks{[this] {
                                        ++reloads;
                                        progress.events.push_back("Sysdat_read");
                                    },
                                    [this] { ++countdowns; }}};
};

}  // namespace vornel::test
