// Times the backup engine against cp -a and rsync -a on generated trees:
//   (a) many small files in a few hundred folders, full copy into an empty folder;
//   (b) the same tree again, newer-only, nothing changed (with the stat-walk floor);
//   (c) a few large files, full copy.
// Contenders run in alternating pairs, each into a fresh folder; outputs are deleted only
// outside the timed runs; ratios are medians of per-pair ratios.
//
//   bench_backup [--dir PATH] [--files N] [--folders N] [--big-mib N] [--big-count N]
//                [--pairs N] [--only abc] [--sync]
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "backup/backup_engine.h"
#include "bench_util.h"
#include "common/null_backend.h"

extern char** environ;

namespace vornel {
namespace {

namespace fs = std::filesystem;
using namespace bench;

// A desktop that shows nothing: the benchmark runs without windows. Boxes still say what
// they would have shown, and the engine's copy timing needs a clock that moves.
class HeadlessBackend : public NullBackend {
  public:
    int showMessageBox(const MessageBoxRequest& r) override {
        std::fprintf(stderr, "box: %s\n", r.text.c_str());
        return kAnsOk;
    }
    double monotonicSeconds() override {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
};

// Progress goes through the same sink as in the program; here it only counts files.
class CountingProgress : public CopyProgressSink {
  public:
    long files = 0;
    void showWindow() override {}
    void hideWindow() override {}
    void set_srcfld(const std::string&) override {}
    void set_dstfld(const std::string&) override {}
    void set_subfld(const std::string&) override {}
    void set_cpfname(const std::string& t) override { files += t.empty() ? 0 : 1; }
    void set_filesize(const std::string&) override {}
};

class PrintingErrLog : public ErrLogSink {
  public:
    void append(const std::string& entry) override { std::fprintf(stderr, "%s", entry.c_str()); }
};

class Bench {
  public:
    explicit Bench(const Options& o) : opt_(o) {
        m_.Hist_path = opt_.dir + "/history.txt";
        m_.Copy_op = "1";
        m_.Cp_skip = "1";
        m_.Rec_op = "1";
        m_.Subfld_flg.fill("1");
        m_.Skip_flg.fill("0");
        m_.Sdown_flg.fill("0");
        engine_.syncData = opt_.sync;
        engine_.copyFault = [this](CopyStage s) {
            if (s == CopyStage::OpenSource) ++copies_;
            return 0;
        };
    }

    // One engine run of pair 1 from src to dst; returns the files it copied.
    long engine(const std::string& src, const std::string& dst) {
        m_.Src_fld[0] = src;
        m_.Dst_fld[0] = dst;
        copies_ = 0;
        engine_.backup(HistOrigin::Manual);
        return copies_;
    }

    std::string fresh(const std::string& what) {
        return opt_.dir + "/out-" + what + "-" + std::to_string(++outputs_);
    }

    void fullCopy(const char* label, const std::string& src, long expectFiles) {
        // One untimed pair first: the first reads of a fresh tree cost whoever goes first.
        const std::string warmA = fresh("engine");
        fs::create_directories(warmA);
        engine(src, warmA);
        run({"cp", "-a", src, fresh("cp")});
        std::vector<double> ratios, te, tc;
        for (int p = 0; p < opt_.pairs; ++p) {
            const std::string a = fresh("engine");
            const std::string b = fresh("cp");
            fs::create_directories(a);  // the engine copies into an existing folder
            long copied = 0;
            te.push_back(timed([&] { copied = engine(src, a); }));
            tc.push_back(timed([&] { run({"cp", "-a", src, b}); }));
            if (copied != expectFiles)
                std::fprintf(stderr, "engine copied %ld of %ld files\n", copied, expectFiles);
            ratios.push_back(te.back() / tc.back());
            std::printf("  pair %d: engine %.3f s, cp -a %.3f s, ratio %.3f\n", p + 1, te.back(),
                        tc.back(), ratios.back());
            std::fflush(stdout);
        }
        std::printf("%s median engine %.3f s, cp -a %.3f s, ratio %.3f\n", label, median(te),
                    median(tc), median(ratios));
    }

    void unchanged(const std::string& src) {
        const std::string a = fresh("engine");
        const std::string b = fresh("rsync");
        fs::create_directories(a);
        engine(src, a);
        run({"cp", "-a", src, b});
        std::vector<double> ratios, te, tr, tf;
        for (int p = 0; p < opt_.pairs; ++p) {
            long copied = -1;
            te.push_back(timed([&] { copied = engine(src, a); }));
            tr.push_back(timed([&] { run({"rsync", "-a", "--update", src + "/", b + "/"}); }));
            tf.push_back(timed([&] { run({"find", src, a, "-printf", "%T@ %s\n"}, true); }));
            if (copied != 0) std::fprintf(stderr, "engine copied %ld files\n", copied);
            ratios.push_back(te.back() / tr.back());
            std::printf(
                "  pair %d: engine %.3f s, rsync -a --update %.3f s, ratio %.3f, "
                "stat walk %.3f s\n",
                p + 1, te.back(), tr.back(), ratios.back(), tf.back());
            std::fflush(stdout);
        }
        std::printf(
            "(b) median engine %.3f s, rsync -a --update %.3f s, ratio %.3f, "
            "find -printf floor %.3f s\n",
            median(te), median(tr), median(ratios), median(tf));
    }

    void removeOutputs() {
        for (const auto& e : fs::directory_iterator(opt_.dir))
            if (e.path().filename().string().rfind("out-", 0) == 0) fs::remove_all(e.path());
    }

  private:
    const Options& opt_;
    HeadlessBackend backend_;
    KvCmn15 cmn_{backend_};
    Module1 m_{cmn_};
    CountingProgress progress_;
    PrintingErrLog errlog_;
    BackupEngine engine_{m_, progress_, errlog_, BackupHooks{}};
    long copies_ = 0;
    int outputs_ = 0;
};

int main(int argc, char** argv) {
    Options defaults;
    defaults.only = "abc";
    const Options o = readOptions(argc, argv, defaults, {"--sync"});
    std::printf("folder %s, %d pairs%s\n", o.dir.c_str(), o.pairs,
                o.sync ? ", each file flushed before its rename" : "");
    Bench bench(o);

    if (wants(o, "ab")) {
        const std::string small = o.dir + "/small";
        makeSmallTree(small, o.files, o.folders);
        if (wants(o, "a")) {
            std::printf("(a) %d small files in %d folders, full copy\n", o.files, o.folders);
            bench.fullCopy("(a)", small, o.files);
            std::printf("(a) peak memory of the engine's process %.1f MiB\n", peakMiB());
            bench.removeOutputs();
        }
        if (wants(o, "b")) {
            std::printf("(b) the same tree, newer-only, nothing changed\n");
            bench.unchanged(small);
            bench.removeOutputs();
        }
        fs::remove_all(small);
    }
    if (wants(o, "c")) {
        const std::string big = o.dir + "/big";
        makeBigTree(big, o.bigCount, o.bigMiB);
        std::printf("(c) %d files of %d MiB, full copy\n", o.bigCount, o.bigMiB);
        bench.fullCopy("(c)", big, o.bigCount);
        bench.removeOutputs();
        fs::remove_all(big);
    }
    if (o.ownDir) fs::remove_all(o.dir);
    return 0;
}

}  // namespace
}  // namespace vornel

int main(int argc, char** argv) {
    try {
        return vornel::main(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_backup: %s\n", e.what());
        return 1;
    }
}
