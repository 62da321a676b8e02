// Search_path, the profile files, the shell opener and the help opener.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "common/kvcmn15.h"
#include "support/fake_backend.h"
#include "support/temp_dir.h"

namespace vornel {
namespace {

namespace fs = std::filesystem;
using test::FakeBackend;
using test::readFile;
using test::TempDir;
using test::writeFile;

class SearchPathTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directory(dir.path() / "data");
        writeFile(dir / "data/report.txt", "r");
        writeFile(dir / "data/a.b.txt", "ab");
        writeFile(dir / "data/noext", "n");
        fs::create_symlink(dir / "data/nowhere", dir / "data/dangling");
    }
    FakeBackend be;
    KvCmn15 k{be};
    TempDir dir;
};

TEST_F(SearchPathTest, FindsFilesAndFolders) {
    EXPECT_EQ(k.Search_path(dir / "data"), -1);
    EXPECT_EQ(k.Search_path(dir / "data/report.txt"), -1);
    EXPECT_EQ(k.Search_path(dir / "data/a.b.txt"), -1);
    EXPECT_EQ(k.Search_path(dir / "data/noext"), -1);
}

TEST_F(SearchPathTest, NeedsTheExactName) {
    EXPECT_EQ(k.Search_path(dir / "data/report"), 0);
    EXPECT_EQ(k.Search_path(dir / "data/a.txt"), 0);
    EXPECT_EQ(k.Search_path(dir / "data/noext.txt"), 0);
    EXPECT_EQ(k.Search_path(dir / "missing/report.txt"), 0);
    EXPECT_EQ(k.Search_path(dir / "data/report.txt/x"), 0);  // a file is no folder
    EXPECT_EQ(k.Search_path(dir / "data/report.txt" + std::string(1, '\0') + "x"), 0);
    EXPECT_EQ(k.Search_path(dir / std::string("data\0/report.txt", 16)), 0);
}

TEST_F(SearchPathTest, ATrailingSlashNamesNothing) {
    EXPECT_EQ(k.Search_path(dir / "data/"), 0);
    EXPECT_EQ(k.Search_path(dir.str() + "/"), 0);
}

TEST_F(SearchPathTest, TheRootExistsWhenItHoldsSomething) {
    EXPECT_EQ(k.Search_path("/"), -1);
    EXPECT_EQ(k.Search_path("/usr"), -1);
}

TEST_F(SearchPathTest, ALinkCountsEvenWhenItLeadsNowhere) {
    EXPECT_EQ(k.Search_path(dir / "data/dangling"), -1);
}

TEST_F(SearchPathTest, ATextWithoutSlashRaisesError5) {
    for (const std::string& text :
         std::vector<std::string>{"abc", "data", "", "C:\\data", std::string(1 << 20, 'x')}) {
        try {
            k.Search_path(text);
            ADD_FAILURE() << "no error for " << text.substr(0, 20);
        } catch (const VbError& e) {
            EXPECT_EQ(e.number(), 5);
        }
    }
}

TEST(WinSysDir, TrimBlanksAndRefuseTooLongFolders) {
    FakeBackend be;
    KvCmn15 k(be);
    be.windowsDir = "/usr  ";
    EXPECT_EQ(k.WinDir(), "/usr");
    EXPECT_EQ(k.SysDir(), "/usr/lib");
    be.systemDir = "/" + std::string(98, 'x');
    EXPECT_THROW(k.SysDir(), VbError);
}

class IniTest : public ::testing::Test {
  protected:
    FakeBackend be;
    KvCmn15 k{be};
    TempDir dir;
    std::string file = dir / "test.ini";
};

TEST_F(IniTest, MissingFileSectionKeyOrValueReadsError) {
    EXPECT_EQ(k.IniRead("s", "k", file), "error");
    writeFile(file, "[s]\r\nempty=\r\nblank=   \r\n[t]\r\nk=1\r\n");
    EXPECT_EQ(k.IniRead("s", "k", file), "error");
    EXPECT_EQ(k.IniRead("s", "empty", file), "error");
    EXPECT_EQ(k.IniRead("s", "blank", file), "error");
    EXPECT_EQ(k.IniRead("u", "k", file), "error");
    EXPECT_EQ(k.IniRead("t", "k", file), "1");
}

TEST_F(IniTest, WrittenValueReadsBack) {
    EXPECT_EQ(k.IniWrite("sec", "key", "abc", file), -1);
    EXPECT_EQ(k.IniRead("sec", "key", file), "abc");
    EXPECT_EQ(k.IniRead("SEC", "KEY", file), "abc");  // names ignore case
    EXPECT_EQ(readFile(file), "[sec]\r\nkey=abc\r\n");
}

TEST_F(IniTest, ReplacesAnExistingKeyAndKeepsTheRest) {
    writeFile(file, "; comment\r\n[sec]\r\nkey=old\r\nother=1\r\n\r\n[next]\r\nkey=2\r\n");
    EXPECT_EQ(k.IniWrite("sec", "Key", "new value", file), -1);
    EXPECT_EQ(readFile(file),
              "; comment\r\n[sec]\r\nKey=new value\r\nother=1\r\n\r\n[next]\r\nkey=2\r\n");
    EXPECT_EQ(k.IniWrite("sec", "added", "x", file), -1);
    EXPECT_EQ(k.IniRead("sec", "added", file), "x");
    EXPECT_EQ(k.IniRead("next", "key", file), "2");
    EXPECT_EQ(
        readFile(file),
        "; comment\r\n[sec]\r\nKey=new value\r\nother=1\r\nadded=x\r\n\r\n[next]\r\nkey=2\r\n");
}

TEST_F(IniTest, AddsANewSectionAtTheEnd) {
    writeFile(file, "[a]\r\nx=1\r\n");
    EXPECT_EQ(k.IniWrite("b", "y", "2", file), -1);
    EXPECT_EQ(readFile(file), "[a]\r\nx=1\r\n[b]\r\ny=2\r\n");
}

TEST_F(IniTest, KeepsTheFilesPermissionsAndLeavesNoOtherFile) {
    writeFile(file, "[a]\r\nx=1\r\n");
    writeFile(file + ".tmp", "a file of the user's");
    ::chmod(file.c_str(), 0640);
    EXPECT_EQ(k.IniWrite("a", "x", "2", file), -1);
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(readFile(file + ".tmp"), "a file of the user's");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
}

TEST_F(IniTest, RefusesWhatWouldBreakTheFile) {
    writeFile(file, "[a]\r\nx=1\r\n");
    EXPECT_EQ(k.IniWrite("a", "x", "two\r\n[evil]", file), 0);
    EXPECT_EQ(k.IniWrite("a", "x=y", "1", file), 0);
    EXPECT_EQ(k.IniWrite("a]", "x", "1", file), 0);
    EXPECT_EQ(k.IniWrite("", "x", "1", file), 0);
    EXPECT_EQ(k.IniWrite("a", "", "1", file), 0);
    EXPECT_EQ(readFile(file), "[a]\r\nx=1\r\n");
    // A folder, or a file in a missing folder, is not written.
    EXPECT_EQ(k.IniWrite("a", "x", "1", dir.str()), 0);
    EXPECT_EQ(k.IniWrite("a", "x", "1", dir / "missing/f.ini"), 0);
    EXPECT_EQ(k.IniRead("a", "x", dir.str()), "error");
}

TEST_F(IniTest, LongValuesAreCutAtTheBufferWithoutSplittingACharacter) {
    std::string value = std::string(253, 'v') + "あい";
    ASSERT_EQ(k.IniWrite("a", "x", value, file), -1);
    EXPECT_EQ(k.IniRead("a", "x", file), std::string(253, 'v'));
    ASSERT_EQ(k.IniWrite("a", "x", std::string(1 << 20, 'w'), file), -1);
    EXPECT_EQ(k.IniRead("a", "x", file), std::string(254, 'w'));
}

const char kNoApp1[] = "が見つからないか、拡張子に";
const char kNoApp2[] = "関連付けられたアプリケーションが有りません！";

TEST(ShellExcute, OpensAndReportsSuccess) {
    FakeBackend be;
    KvCmn15 k(be);
    EXPECT_EQ(k.Shell_Excute(0, "/h/history.txt"), -1);
    EXPECT_EQ(be.shellOpened, std::vector<std::string>{"/h/history.txt"});
    EXPECT_TRUE(be.boxes.empty());
}

TEST(ShellExcute, FailureShowsTheTwoLineMessage) {
    FakeBackend be;
    KvCmn15 k(be);
    be.shellResult = false;
    be.answerNextBox(kAnsOk);
    EXPECT_EQ(k.Shell_Excute(0, "/h/history.txt"), 0);
    ASSERT_EQ(be.boxes.size(), 1u);
    EXPECT_EQ(be.boxes[0].text, std::string("/h/history.txt") + kNoApp1 + "\r" + kNoApp2);
    EXPECT_EQ(be.boxes[0].title, "Error");
    EXPECT_EQ(be.boxes[0].icon, BoxIcon::Stop);
    EXPECT_EQ(be.sounds, std::vector<int>{48});
}

TEST(ShellExcute, AnOpenerFailingLaterShowsTheMessageThen) {
    FakeBackend be;
    auto k = std::make_unique<KvCmn15>(be);
    EXPECT_EQ(k->Shell_Excute(0, "/h/a.txt"), -1);
    ASSERT_TRUE(be.lastShellLateFailure);
    be.answerNextBox(kAnsOk);
    be.lastShellLateFailure();
    ASSERT_EQ(be.boxes.size(), 1u);
    EXPECT_EQ(be.boxes[0].text, std::string("/h/a.txt") + kNoApp1 + "\r" + kNoApp2);

    // When the instance's owner is gone by then, nothing is shown.
    EXPECT_EQ(k->Shell_Excute(0, "/h/b.txt"), -1);
    auto late = be.lastShellLateFailure;
    k.reset();
    late();
    EXPECT_EQ(be.boxes.size(), 1u);
}

TEST(HtmlHelpOpen, PassesRoundedArgumentsToTheViewer) {
    FakeBackend be;
    KvCmn15 k(be);
    EXPECT_EQ(k.HtmlHelp_open(7, "/p/Vornel_Net1.chm", k.HH_DISPLAY_TREE, 0), -1);
    EXPECT_EQ(k.HtmlHelp_open(7, "/p/Vornel_Net1.chm", 14.6f, 2.5f), -1);
    ASSERT_EQ(be.helpCalls.size(), 2u);
    EXPECT_EQ(be.helpCalls[0].owner, 7u);
    EXPECT_EQ(be.helpCalls[0].file, "/p/Vornel_Net1.chm");
    EXPECT_EQ(be.helpCalls[0].command, 1);
    EXPECT_EQ(be.helpCalls[0].context, 0);
    EXPECT_EQ(be.helpCalls[1].command, 15);
    EXPECT_EQ(be.helpCalls[1].context, 2);
    EXPECT_TRUE(be.boxes.empty());
}

TEST(HtmlHelpOpen, FailureLeavesItsTextInTheBoundMessageText) {
    FakeBackend be;
    KvCmn15 k(be);
    std::string msgStr = "previous";
    k.bindMessageText(&msgStr);
    be.helpResult = false;
    be.answerNextBox(kAnsOk);
    EXPECT_EQ(k.HtmlHelp_open(0, "/p/Vornel_Net1.chm", 1, 0), 0);
    const std::string expected = "Help File = /p/Vornel_Net1.chm を開けませんでした！";
    EXPECT_EQ(msgStr, expected);
    ASSERT_EQ(be.boxes.size(), 1u);
    EXPECT_EQ(be.boxes[0].text, expected);
    EXPECT_EQ(be.boxes[0].title, "Error");
}

}  // namespace
}  // namespace vornel
