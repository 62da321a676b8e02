// Search_path, the profile files, the shell opener and the help opener.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "common/kvcmn15.h"
#include "support/fake_backend.h"
#include "support/temp_dir.h"

namespace vornel {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::writeFile;

class FilesTest : public ::testing::Test {
  protected:
    // The one box a failure shows.
    void expectErrorBox(const std::string& text) {
        ASSERT_EQ(be.boxes.size(), 1u);
        EXPECT_EQ(be.boxes[0].text, text);
        EXPECT_EQ(be.boxes[0].title, "Error");
        EXPECT_EQ(be.boxes[0].icon, BoxIcon::Stop);
        EXPECT_EQ(be.sounds, std::vector<int>{48});
    }
    test::FakeBackend be;
    KvCmn15 k{be};
    test::TempDir dir;
    std::string ini = dir / "test.ini";
};

TEST_F(FilesTest, SearchPathFindsExactlyNamedFilesFoldersAndLinks) {
    fs::create_directory(dir.path() / "data");
    writeFile(dir / "data/report.txt", "r");
    writeFile(dir / "data/a.b.txt", "ab");
    writeFile(dir / "data/noext", "n");
    fs::create_symlink(dir / "data/nowhere", dir / "data/dangling");
    // A link counts even when it leads nowhere.
    for (const char* name :
         {"data", "data/report.txt", "data/a.b.txt", "data/noext", "data/dangling"})
        EXPECT_EQ(k.Search_path(dir / name), -1) << name;
    // Inexact names, a file taken for a folder, a trailing "/", a name cut by a NUL.
    using namespace std::string_literals;
    for (const std::string& name :
         {"data/report"s, "data/a.txt"s, "data/noext.txt"s, "missing/report.txt"s,
          "data/report.txt/x"s, "data/"s, ""s, "data/report.txt\0x"s, "data\0/report.txt"s})
        EXPECT_EQ(k.Search_path(dir / name), 0) << name;
    EXPECT_EQ(k.Search_path("/"), -1);  // the root exists when it holds something
    EXPECT_EQ(k.Search_path("/usr"), -1);
}

TEST_F(FilesTest, SearchPathRaisesError5ForATextWithoutSlash) {
    for (const std::string& text : {std::string("abc"), std::string("data"), std::string(),
                                    std::string("C:\\data"), std::string(1 << 20, 'x')}) {
        EXPECT_THAT([&] { k.Search_path(text); },
                    ::testing::Throws<VbError>(::testing::Property(&VbError::number, 5)))
            << text.substr(0, 20);
    }
}

TEST_F(FilesTest, WinDirAndSysDirTrimBlanksAndRefuseTooLongFolders) {
    be.windowsDir = "/usr  ";
    EXPECT_EQ(k.WinDir(), "/usr");
    EXPECT_EQ(k.SysDir(), "/usr/lib");
    be.systemDir = "/" + std::string(98, 'x');
    EXPECT_THROW(k.SysDir(), VbError);
}

TEST_F(FilesTest, IniReadGivesErrorForAMissingFileSectionKeyOrValue) {
    EXPECT_EQ(k.IniRead("s", "k", ini), "error");
    writeFile(ini, "[s]\r\nempty=\r\nblank=   \r\n[t]\r\nk=1\r\n");
    for (const auto& [section, key] :
         {std::pair{"s", "k"}, {"s", "empty"}, {"s", "blank"}, {"u", "k"}})
        EXPECT_EQ(k.IniRead(section, key, ini), "error") << section << key;
    EXPECT_EQ(k.IniRead("t", "k", ini), "1");
    EXPECT_EQ(k.IniRead("t", "k", dir.str()), "error");
}

TEST_F(FilesTest, IniWriteReplacesOrAddsKeysAndSectionsKeepingTheRest) {
    EXPECT_EQ(k.IniWrite("sec", "key", "abc", ini), -1);
    EXPECT_EQ(readFile(ini), "[sec]\r\nkey=abc\r\n");
    EXPECT_EQ(k.IniRead("SEC", "KEY", ini), "abc");  // names ignore case
    writeFile(ini, "; comment\r\n[sec]\r\nkey=old\r\nother=1\r\n\r\n[next]\r\nkey=2\r\n");
    EXPECT_EQ(k.IniWrite("sec", "Key", "new value", ini), -1);
    EXPECT_EQ(k.IniWrite("sec", "added", "x", ini), -1);
    EXPECT_EQ(k.IniWrite("last", "y", "2", ini), -1);
    EXPECT_EQ(readFile(ini),
              "; comment\r\n[sec]\r\nKey=new value\r\nother=1\r\nadded=x\r\n\r\n[next]\r\nkey=2\r\n"
              "[last]\r\ny=2\r\n");
}

TEST_F(FilesTest, IniWriteKeepsTheFilesPermissionsAndLeavesNoOtherFile) {
    writeFile(ini, "[a]\r\nx=1\r\n");
    writeFile(ini + ".tmp", "a file of the user's");
    ::chmod(ini.c_str(), 0640);
    EXPECT_EQ(k.IniWrite("a", "x", "2", ini), -1);
    struct stat st {};
    ASSERT_EQ(::stat(ini.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(readFile(ini + ".tmp"), "a file of the user's");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
}

TEST_F(FilesTest, IniWriteRefusesWhatWouldBreakTheFile) {
    writeFile(ini, "[a]\r\nx=1\r\n");
    EXPECT_EQ(k.IniWrite("a", "x", "two\r\n[evil]", ini), 0);
    EXPECT_EQ(k.IniWrite("a", "x=y", "1", ini), 0);
    EXPECT_EQ(k.IniWrite("a]", "x", "1", ini), 0);
    EXPECT_EQ(k.IniWrite("", "x", "1", ini), 0);
    EXPECT_EQ(k.IniWrite("a", "", "1", ini), 0);
    // A folder, or a file in a missing folder, is not written.
    EXPECT_EQ(k.IniWrite("a", "x", "1", dir.str()), 0);
    EXPECT_EQ(k.IniWrite("a", "x", "1", dir / "missing/f.ini"), 0);
    EXPECT_EQ(readFile(ini), "[a]\r\nx=1\r\n");
}

TEST_F(FilesTest, IniValuesAreCutAtTheBufferWithoutSplittingACharacter) {
    ASSERT_EQ(k.IniWrite("a", "x", std::string(253, 'v') + "あい", ini), -1);
    EXPECT_EQ(k.IniRead("a", "x", ini), std::string(253, 'v'));
    ASSERT_EQ(k.IniWrite("a", "x", std::string(1 << 20, 'w'), ini), -1);
    EXPECT_EQ(k.IniRead("a", "x", ini), std::string(254, 'w'));
}

const std::string kNoApp =
    "が見つからないか、拡張子に\r関連付けられたアプリケーションが有りません！";

TEST_F(FilesTest, ShellExcuteOpensOrShowsTheTwoLineMessage) {
    EXPECT_EQ(k.Shell_Excute(0, "/h/history.txt"), -1);
    EXPECT_EQ(be.shellOpened, std::vector<std::string>{"/h/history.txt"});
    EXPECT_TRUE(be.boxes.empty());
    be.shellResult = false;
    be.answerNextBox(kAnsOk);
    EXPECT_EQ(k.Shell_Excute(0, "/h/history.txt"), 0);
    expectErrorBox("/h/history.txt" + kNoApp);
}

TEST_F(FilesTest, ShellExcuteFailingLaterShowsTheMessageUnlessTheOwnerIsGone) {
    auto owner = std::make_unique<KvCmn15>(be);
    EXPECT_EQ(owner->Shell_Excute(0, "/h/a.txt"), -1);
    ASSERT_TRUE(be.lastShellLateFailure);
    be.answerNextBox(kAnsOk);
    be.lastShellLateFailure();
    ASSERT_EQ(be.boxes.size(), 1u);
    EXPECT_EQ(be.boxes[0].text, "/h/a.txt" + kNoApp);
    EXPECT_EQ(owner->Shell_Excute(0, "/h/b.txt"), -1);
    auto late = be.lastShellLateFailure;
    owner.reset();
    late();
    EXPECT_EQ(be.boxes.size(), 1u);
}

TEST_F(FilesTest, HtmlHelpOpenPassesRoundedArgumentsToTheViewer) {
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

TEST_F(FilesTest, HtmlHelpOpenFailureLeavesItsTextInTheBoundMessageText) {
    std::string msgStr = "previous";
    k.bindMessageText(&msgStr);
    be.helpResult = false;
    be.answerNextBox(kAnsOk);
    EXPECT_EQ(k.HtmlHelp_open(0, "/p/Vornel_Net1.chm", 1, 0), 0);
    EXPECT_EQ(msgStr, "Help File = /p/Vornel_Net1.chm を開けませんでした！");
    expectErrorBox(msgStr);
}

}  // namespace
}  // namespace vornel
