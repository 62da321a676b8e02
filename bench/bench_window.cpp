// Times backups the way a user waits for them, against cp -a and rsync -a:
//   in this process, the manual run of the program ("ﾊﾞｯｸｱｯﾌﾟ開始" clicked) with its real
//   settings window, copy window and error log on the offscreen platform:
//     (a) many small files in a few hundred folders, full copy into an empty folder;
//     (b) the same tree again, newer-only, nothing changed (with the stat-walk floor);
//     (c) a few large files, full copy;
//     (d) peak memory of a run over 100,000 files in one folder (first, before other trees);
//   and the built program itself, started with a start-up run:
//     (p) the small tree, full copy and nothing changed, timed from the run's "[Start]"
//         history line to its "[Success]" line, so the fixed start-up wait is left out.
// Contenders run in alternating pairs, each into a fresh folder; outputs are deleted only
// outside the timed runs; ratios are medians of per-pair ratios.
//
//   bench_window [--dir PATH] [--files N] [--folders N] [--big-mib N] [--big-count N]
//                [--flat N] [--pairs N] [--only abcdp] [--program PATH]
#include <signal.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QPushButton>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>

#include "app/backup_commands.h"
#include "app/menu.h"
#include "app/platform/qt_backend.h"
#include "app/shell/menu_shell.h"
#include "bench_util.h"
#include "settings/sysdat_file.h"

extern char** environ;

namespace vornel::bench {
namespace {

namespace fs = std::filesystem;

// A system.dat for one pair, newer-only, skipping files it cannot copy, history on.
void writeSettings(const std::string& path, const std::string& src, const std::string& dst,
                   bool startupRun) {
    SysdatRecords values = defaultSysdatValues();
    const std::map<int, std::string> changes = {
        {0, "1"}, {1, startupRun ? "1" : "0"}, {4, "1"}, {5, "1"}, {15, src}, {23, dst}};
    for (const auto& [i, v] : changes) values[static_cast<std::size_t>(i)] = v;
    SysdatRecords bytes;
    for (std::size_t i = 0; i < values.size(); ++i) bytes[i] = encodeSysdatValue(values[i]).bytes;
    writeSysdatFile(path, buildSysdatImage(bytes));
}

// The program's own objects, as main() puts them together, without power actions.
class ProgramInProcess {
  public:
    explicit ProgramInProcess(const std::string& folder)
        : folder_(folder), shell_(m_, backend_, folder), commands_(m_, shell_, [] {}) {}

    // Loads the main window as at program start (the splash's two seconds, untimed).
    void load(const std::string& src, const std::string& dst) {
        writeSettings(folder_ + "/system.dat", src, dst, false);
        shell_.Form_Load();
    }

    // One manual run of pair 1; the run reads the settings file itself. Returns the files
    // it copied.
    long manualRun(const std::string& src, const std::string& dst) {
        writeSettings(folder_ + "/system.dat", src, dst, false);
        shell_.menu().bkup_bt->click();
        const RunResult& r = commands_.engine().lastResult();
        if (r.skippedFiles || r.errors || r.failed)
            std::fprintf(stderr, "run met problems: %d skipped, %d logged\n", r.skippedFiles,
                         r.errors);
        return static_cast<long>(r.counts.filesCopied);
    }

  private:
    std::string folder_;
    QtBackend backend_;
    KvCmn15 cmn_{backend_};
    Module1 m_{cmn_};
    MenuShell shell_;
    BackupCommands commands_;
};

class Bench {
  public:
    Bench(const Options& o, ProgramInProcess& program) : opt_(o), program_(program) {}

    std::string fresh(const std::string& what) {
        return opt_.dir + "/out-" + what + "-" + std::to_string(++outputs_);
    }

    void fullCopy(const std::string& label, const std::string& src, long expected) {
        program_.manualRun(src, mkfresh("warm"));  // the first reads of a tree cost the first
        run({"cp", "-a", src, fresh("cp")});
        alternate(
            label, "program", "cp -a", opt_.pairs,
            [&] {
                const std::string out = mkfresh("program");
                long copied = 0;
                const double t = timed([&] { copied = program_.manualRun(src, out); });
                if (copied != expected)
                    std::fprintf(stderr, "copied %ld of %ld files\n", copied, expected);
                return t;
            },
            [&] { return timed([&] {
                      run({"cp", "-a", src, fresh("cp")});
                  }); });
    }

    void unchanged(const std::string& src) {
        const std::string a = mkfresh("program");
        const std::string b = fresh("rsync");
        program_.manualRun(src, a);
        run({"cp", "-a", src, b});
        std::vector<double> floor;
        alternate(
            "(b)", "program", "rsync -a --update", opt_.pairs,
            [&] {
                long copied = -1;
                const double t = timed([&] { copied = program_.manualRun(src, a); });
                if (copied != 0) std::fprintf(stderr, "copied %ld files\n", copied);
                floor.push_back(timed([&] { run({"find", src, a, "-printf", "%T@ %s\n"}, true); }));
                return t;
            },
            [&] { return timed([&] {
                      run({"rsync", "-a", "--update", src + "/", b + "/"});
                  }); });
        std::printf("(b) find -printf floor %.3f s\n", median(floor));
    }

  private:
    std::string mkfresh(const std::string& what) {
        const std::string d = fresh(what);
        fs::create_directories(d);  // the program copies into an existing folder
        return d;
    }

    const Options& opt_;
    ProgramInProcess& program_;
    int outputs_ = 0;
};

// The history lines written so far by the program in `folder`.
std::string historyOf(const std::string& folder) {
    std::ifstream in(folder + "/history.txt", std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Starts the built program in `folder` with a start-up run and returns the seconds from its
// "[Start]" line to its "[Success]" line; then asks it to close as the session's end would.
double startupRun(const std::string& exe, const std::string& folder) {
    fs::remove(folder + "/history.txt");
    const int watch = ::inotify_init1(IN_CLOEXEC);
    ::inotify_add_watch(watch, folder.c_str(), IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_TO);
    // Never the machine's buses: the program must not reach logind or a desktop from here.
    std::vector<std::string> env = {"QT_QPA_PLATFORM=offscreen",
                                    "DBUS_SYSTEM_BUS_ADDRESS=unix:path=/nonexistent",
                                    "DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent"};
    for (char** e = environ; *e; ++e)
        if (std::string(*e).rfind("DBUS_", 0) != 0 && std::string(*e).rfind("QT_QPA", 0) != 0)
            env.push_back(*e);
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string path = exe;
    char* argv[] = {path.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, exe.c_str(), nullptr, nullptr, argv, envp.data()) != 0)
        throw std::runtime_error("cannot start " + exe);
    double started = -1, done = -1;
    char buf[4096];
    while (done < 0) {
        if (::read(watch, buf, sizeof buf) <= 0) break;
        const double t = now();
        const std::string h = historyOf(folder);
        if (started < 0 && h.find("[Start]") != std::string::npos) started = t;
        if (h.find("[Success]") != std::string::npos) done = t;
    }
    ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ::close(watch);
    if (started < 0 || done < 0) throw std::runtime_error("the start-up run did not complete");
    return done - started;
}

void programRuns(const Options& o, const std::string& src) {
    const std::string folder = o.dir + "/prog";
    fs::create_directories(folder);
    const std::string exe = folder + "/vornelnet";
    fs::copy_file(o.program, exe, fs::copy_options::overwrite_existing);
    int n = 0;
    auto fresh = [&](const std::string& what) {
        return o.dir + "/out-" + what + "-p" + std::to_string(++n);
    };
    std::printf("(p) the built program, start-up run, full copy\n");
    alternate(
        "(p) full", "program", "cp -a", o.pairs,
        [&] {
            const std::string out = fresh("program");
            fs::create_directories(out);
            writeSettings(folder + "/system.dat", src, out, true);
            ::sync();
            return startupRun(exe, folder);
        },
        [&] { return timed([&] {
                  run({"cp", "-a", src, fresh("cp")});
              }); });
    std::printf("(p) the built program, start-up run, nothing changed\n");
    const std::string a = fresh("program");
    const std::string b = fresh("rsync");
    fs::create_directories(a);
    writeSettings(folder + "/system.dat", src, a, true);
    startupRun(exe, folder);
    run({"cp", "-a", src, b});
    alternate(
        "(p) nothing changed", "program", "rsync -a --update", o.pairs,
        [&] {
            ::sync();
            return startupRun(exe, folder);
        },
        [&] { return timed([&] {
                  run({"rsync", "-a", "--update", src + "/", b + "/"});
              }); });
}

// (d) comes first, so the peak is this run's and not the other trees'.
void flatMemory(const Options& o, ProgramInProcess& program) {
    const std::string src = o.dir + "/flat";
    makeFlatTree(src, o.flat);
    const double before = peakMiB();
    const std::string out = o.dir + "/out-flat";
    fs::create_directories(out);
    const long copied = program.manualRun(src, out);
    std::printf(
        "(d) %d files in one folder: copied %ld, peak memory %.1f MiB (%.1f MiB before "
        "the run)\n",
        o.flat, copied, peakMiB(), before);
    removeOutputs(o.dir);
    fs::remove_all(src);
}

int main(int argc, char** argv) {
    Options defaults;
    defaults.only = "abcp";
    const Options o = readOptions(argc, argv, defaults, {"--flat", "--program"});
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    std::printf("folder %s, %d pairs, load %.1f\n", o.dir.c_str(), o.pairs, loadAverage());
    const std::string home = o.dir + "/home";
    fs::create_directories(home);
    ProgramInProcess program(home);
    program.load(home, home);
    Bench bench(o, program);

    if (wants(o, "d")) flatMemory(o, program);
    if (wants(o, "abp")) {
        const std::string small = o.dir + "/small";
        makeSmallTree(small, o.files, o.folders);
        if (wants(o, "a")) {
            std::printf("(a) %d small files in %d folders, full copy\n", o.files, o.folders);
            bench.fullCopy("(a)", small, o.files);
            removeOutputs(o.dir);
        }
        if (wants(o, "b")) {
            std::printf("(b) the same tree, newer-only, nothing changed\n");
            bench.unchanged(small);
            removeOutputs(o.dir);
        }
        if (wants(o, "p") && !o.program.empty()) {
            programRuns(o, small);
            removeOutputs(o.dir);
        }
        fs::remove_all(small);
    }
    if (wants(o, "c")) {
        const std::string big = o.dir + "/big";
        makeBigTree(big, o.bigCount, o.bigMiB);
        std::printf("(c) %d files of %d MiB, full copy\n", o.bigCount, o.bigMiB);
        bench.fullCopy("(c)", big, o.bigCount);
        removeOutputs(o.dir);
        fs::remove_all(big);
    }
    if (o.ownDir) fs::remove_all(o.dir);
    return 0;
}

}  // namespace
}  // namespace vornel::bench

int main(int argc, char** argv) {
    try {
        return vornel::bench::main(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_window: %s\n", e.what());
        return 1;
    }
}
