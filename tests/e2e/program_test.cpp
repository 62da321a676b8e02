// The real executable: the start-up and close-time runs, signals, the hand-over to a running
// copy, and the command line with its exit codes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QProcess>
#include <QThread>
#include <filesystem>
#include <functional>

#include "common/cp932.h"
#include "support/settings_file.h"
#include "support/temp_dir.h"
#include "support/tree.h"

namespace vornel::test {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// Records of system.dat the tests set.
enum Record { kStartFlg = 1, kEndBkup = 2, kSrcFld1 = 15, kDstFld1 = 23 };

// A portable copy of the program in a folder of its own, with a source and a destination.
class Program : public ::testing::Test {
  protected:
    Program() {
        fs::create_directories(folder);
        fs::copy_file(VORNEL_EXECUTABLE, exe);
        fs::create_directories(root / "run");
        ::chmod((root / "run").c_str(), 0700);
        makeTree(src, {file("a.txt", "a"), file("sub/b.txt", "b")});
        makeTree(dst, {});
        env.insert(QStringLiteral("HOME"), q(root / "home"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), q(root / "data"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), q(root / "run"));
    }
    ~Program() override {
        for (QProcess* p : running) {
            p->kill();
            p->waitForFinished(5000);
            delete p;
        }
    }

    static QString q(const std::string& s) { return QString::fromStdString(s); }

    void settings(std::map<int, std::string> changes) {
        changes.try_emplace(kSrcFld1, src);
        changes.try_emplace(kDstFld1, dst);
        writeSettingsFile(folder + "/system.dat", changes);
    }

    QProcess* start(const QStringList& args = {}) {
        auto* p = new QProcess;
        p->setProcessEnvironment(env);
        p->start(q(exe), args);
        EXPECT_TRUE(p->waitForStarted(5000));
        running.push_back(p);
        return p;
    }
    // Runs to the end; returns the exit code, -1 when it crashed or hung.
    int run(const QStringList& args) {
        QProcess* p = start(args);
        const bool ended = p->waitForFinished(20000);
        return ended && p->exitStatus() == QProcess::NormalExit ? p->exitCode() : -1;
    }

    Lines history() const {
        Lines lines = crlfLines(cp932::decode(readFile(folder + "/history.txt")).utf8);
        for (std::string& line : lines) line = line.substr(line.find(' ', 11) + 1);  // no date
        return lines;
    }
    // Polls for up to 15 seconds until `done` holds: the program runs in its own process.
    static bool waitUntil(const std::function<bool()>& done) {
        const QDeadlineTimer deadline(15000);
        while (!done() && !deadline.hasExpired()) QThread::msleep(20);
        return done();
    }

    TempDir root;
    const std::string folder = root / "prog";
    const std::string exe = folder + "/vornelnet";
    const std::string src = root / "src";
    const std::string dst = root / "dst";
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    std::vector<QProcess*> running;
};

TEST_F(Program, RunsAtStartServesLaterStartsAndRunsAgainWhenTerminated) {
    settings({{kStartFlg, "1"}, {kEndBkup, "1"}});
    QProcess* first = start();
    ASSERT_TRUE(waitUntil([&] { return history().size() >= 2; }))
        << first->readAllStandardError().toStdString();
    expectTree(dst, {file("a.txt", "a"), dir("sub"), file("sub/b.txt", "b")});

    EXPECT_EQ(run({}), 0) << "a second start hands over to the first";
    EXPECT_EQ(first->state(), QProcess::Running);

    ::kill(static_cast<pid_t>(first->processId()), SIGTERM);
    ASSERT_TRUE(first->waitForFinished(15000));
    EXPECT_EQ(first->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first->exitCode(), 0);
    EXPECT_EQ(history(), (Lines{"[Start]  [Prg open]", "[Success]  [Prg open]",
                                "[Start]  [Prg close]", "[Success]  [Prg close]"}));
}

TEST_F(Program, BackupOptionReportsTheRunsOutcomeAloneAndThroughARunningCopy) {
    settings({});
    EXPECT_EQ(run({QStringLiteral("--backup")}), 0) << "alone, without a window";
    EXPECT_EQ(history(), (Lines{"[Start]  [Manual]", "[Success]  [Manual]"}));
    makeTree(src, {file("busy.txt", "b")});
    const int busy = ::open((src + "/busy.txt").c_str(), O_WRONLY);  // left out in skip mode
    EXPECT_EQ(run({QStringLiteral("--backup")}), 3);
    EXPECT_FALSE(fs::exists(dst + "/busy.txt"));
    ::close(busy);

    QProcess* copy = start();
    // Until it holds the single-instance lock.
    ASSERT_TRUE(waitUntil([&] { return fs::exists(folder + "/vornelnet.lock"); }));
    EXPECT_EQ(run({QStringLiteral("--backup")}), 0);
    EXPECT_TRUE(fs::exists(dst + "/busy.txt"));
    fs::rename(src, root / "moved");
    EXPECT_EQ(run({QStringLiteral("--backup")}), 1) << "the source folder is gone";
    EXPECT_EQ(copy->state(), QProcess::Running);
}

TEST_F(Program, AnswersHelpAndVersionAndRefusesBadOptionsWithoutStarting) {
    const struct {
        QStringList args;
        int exitCode;
        const char* says;
    } cases[] = {
        {{QStringLiteral("--help")}, 0, "--backup"},
        {{QStringLiteral("--version")}, 0, "Ver1."},
        {{QStringLiteral("--nope")}, 2, "不明なオプションです: nope"},
        {{QStringLiteral("-b")}, 2, "不明なオプションです: b"},
        {{QStringLiteral("--backup"), QStringLiteral("now")}, 2, "余分な引数です: now"},
    };
    for (const auto& c : cases) {
        QProcess* p = start(c.args);
        ASSERT_TRUE(p->waitForFinished(10000));
        EXPECT_EQ(p->exitCode(), c.exitCode) << c.args.join(' ').toStdString();
        const QString out =
            QString::fromUtf8(p->readAllStandardOutput() + p->readAllStandardError());
        EXPECT_TRUE(out.contains(QString::fromUtf8(c.says))) << out.toStdString();
        EXPECT_TRUE(c.exitCode != 2 || out.count('\n') == 1) << "one line: " << out.toStdString();
    }
    EXPECT_FALSE(fs::exists(folder + "/system.dat"));
    EXPECT_FALSE(fs::exists(folder + "/history.txt"));
}

}  // namespace
}  // namespace vornel::test
