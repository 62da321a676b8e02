// Following history.txt for the viewer: decoding, appends, rewrites and files that must not
// be read.
#include "history/history_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>

#include "common/cp932.h"
#include "support/temp_dir.h"

namespace vornel {
namespace {

using Lines = std::vector<std::string>;
using test::writeFile;

std::string sjis(const std::string& utf8) { return cp932::encode(utf8).bytes; }

void append(const std::string& path, const std::string& bytes) {
    writeFile(path, test::readFile(path) + bytes);
}

// Everything the reader returns until it has caught up; the tail is the last one seen.
struct Read {
    bool restart = false;
    Lines lines;
    std::string tail;
    int slices = 0;
};

Read readAll(HistoryReader& reader) {
    Read r;
    HistoryReader::Slice s;
    do {
        s = reader.read();
        ++r.slices;
        if (s.restart) r.lines.clear();
        r.restart = r.restart || s.restart;
        r.lines.insert(r.lines.end(), s.lines.begin(), s.lines.end());
        r.tail = s.tail;
    } while (s.more);
    return r;
}

struct Reader : ::testing::Test {
    test::TempDir dir;
    std::string path = dir / "history.txt";
};

const std::string kJapanese = "2026/12/07 4:00:00 [Skiped Copy File] /ホーム/写真/ｶﾒﾗ.jpg [?]";
const std::string kEscapes = "2026/12/07 4:00:01 [Success] /h/<U+1F600>/<0xFF> [Manual]";

TEST_F(Reader, DecodesCodePage932LinesAndShowsBadBytesSafely) {
    writeFile(path, "\r\n" + sjis(kJapanese) + "\r\n" + kEscapes + "\r\nbad \x80\xA0 end\r\nlast");
    HistoryReader reader(path);
    const Read r = readAll(reader);
    EXPECT_EQ(reader.state(), HistoryReader::State::Ok);
    EXPECT_TRUE(r.restart);
    EXPECT_EQ(r.lines, (Lines{"", kJapanese, kEscapes, "bad \uFFFD\uFFFD end"}));
    EXPECT_EQ(r.tail, "last");
}

TEST_F(Reader, SlicesCutAnywhereGiveTheSameLines) {
    std::string bytes;
    Lines expected;
    for (int i = 0; i < 40; ++i) {
        expected.push_back(kJapanese + std::to_string(i));
        bytes += sjis(expected.back()) + "\r\n";
    }
    writeFile(path, bytes);
    for (std::size_t slice : {1u, 7u, 64u, 100000u}) {
        SCOPED_TRACE(slice);
        HistoryReader reader(path, slice);
        const Read r = readAll(reader);
        EXPECT_EQ(r.lines, expected);
        EXPECT_EQ(r.tail, "");
        EXPECT_EQ(r.slices,
                  static_cast<int>(std::max<std::size_t>(1, (bytes.size() + slice - 1) / slice)));
    }
}

TEST_F(Reader, LaterReadsGiveOnlyWhatWasAppended) {
    writeFile(path, "one\r\ntw");
    HistoryReader reader(path, 4);
    Read r = readAll(reader);
    EXPECT_EQ(r.lines, Lines{"one"});
    EXPECT_EQ(r.tail, "tw");
    EXPECT_EQ(readAll(reader).lines, Lines{}) << "nothing new";
    append(path, "o\r\nthree\r\n");
    r = readAll(reader);
    EXPECT_FALSE(r.restart);
    EXPECT_EQ(r.lines, (Lines{"two", "three"}));
    EXPECT_EQ(r.tail, "");
}

// Each way the file stops being the one read before; the next read starts over.
TEST_F(Reader, ClearedReplacedRewrittenOrRemovedStartsOver) {
    const std::string before = "2026/12/07 4:00:00 [Start]  [Timer]\r\n";
    const std::string other = "2026/12/07 4:00:00 [Fail]   [Timer]\r\n";
    const struct {
        const char* name;
        std::function<void(const std::string&)> change;
        HistoryReader::State state;
        Lines lines;
    } cases[] = {
        {"cleared", [](const std::string& p) { writeFile(p, "\r\n"); }, HistoryReader::State::Ok,
         Lines{""}},
        {"rewritten longer", [&](const std::string& p) { writeFile(p, other + other); },
         HistoryReader::State::Ok,
         Lines{other.substr(0, other.size() - 2), other.substr(0, other.size() - 2)}},
        {"replaced",
         [&](const std::string& p) {
             writeFile(p + ".new", before + before);
             std::filesystem::rename(p + ".new", p);
         },
         HistoryReader::State::Ok,
         Lines{before.substr(0, before.size() - 2), before.substr(0, before.size() - 2)}},
        {"removed", [](const std::string& p) { std::filesystem::remove(p); },
         HistoryReader::State::Missing, Lines{}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(path, before);
        HistoryReader reader(path);
        ASSERT_EQ(readAll(reader).lines.size(), 1u);
        c.change(path);
        const Read r = readAll(reader);
        EXPECT_TRUE(r.restart);
        EXPECT_EQ(reader.state(), c.state);
        EXPECT_EQ(r.lines, c.lines);
    }
}

TEST_F(Reader, MissingLinksAndSpecialFilesAreNeverReadOrWaitedOn) {
    writeFile(dir / "real.txt", "secret\r\n");
    const struct {
        const char* name;
        std::function<void()> make;
        HistoryReader::State state;
        int error;
    } cases[] = {
        {"missing", [] {}, HistoryReader::State::Missing, ENOENT},
        {"link", [&] { std::filesystem::create_symlink(dir / "real.txt", path); },
         HistoryReader::State::Unreadable, ELOOP},
        // Opened for reading, a FIFO without a writer would wait forever.
        {"fifo", [&] { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); },
         HistoryReader::State::Unreadable, 0},
        {"folder", [&] { std::filesystem::create_directory(path); },
         HistoryReader::State::Unreadable, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(path);
        c.make();
        HistoryReader reader(path);
        const HistoryReader::Slice s = reader.read();
        EXPECT_EQ(reader.state(), c.state);
        EXPECT_EQ(reader.error(), c.error);
        EXPECT_TRUE(s.lines.empty());
        EXPECT_FALSE(s.more);
    }
}

}  // namespace
}  // namespace vornel
