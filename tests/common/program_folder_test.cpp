// Where a portable and an installed copy keep their files, and where the help file is found.
#include "common/program_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/temp_dir.h"

namespace vornel {
namespace {

TEST(ProgramFolder, PortableCopyStaysBesideItselfInstalledOneMovesToTheUsersDataFolder) {
    // Whether the program's own folder is writable, XDG_DATA_HOME, HOME, the folder chosen.
    const std::tuple<bool, const char*, const char*, std::string> cases[] = {
        {true, "/x/data", "/home/u", "/opt/vn"},
        {true, nullptr, nullptr, "/opt/vn"},
        {false, "/x/data", "/home/u", "/x/data/vornelnet"},
        {false, nullptr, "/home/u", "/home/u/.local/share/vornelnet"},
        {false, "", "/home/u", "/home/u/.local/share/vornelnet"},
        // A relative value would depend on where the program was started.
        {false, "data", "/home/u", "/home/u/.local/share/vornelnet"},
        {false, nullptr, "home", ""},
        {false, nullptr, nullptr, ""},
    };
    for (const auto& [executableFolderWritable, xdgDataHome, home, expected] : cases) {
        std::string probed;
        const auto writable = [&](const std::string& folder) {
            probed = folder;
            return executableFolderWritable;
        };
        EXPECT_EQ(chooseProgramFolder("/opt/vn", writable, xdgDataHome, home), expected)
            << executableFolderWritable << " " << (xdgDataHome ? xdgDataHome : "(unset)");
        EXPECT_EQ(probed, "/opt/vn");
    }
}

TEST(ProgramFolder, IsCreatedWithItsParentsForTheUserAlone) {
    test::TempDir dir;
    const std::string folder = dir / "home/.local/share/vornelnet";
    EXPECT_EQ(makeProgramFolder(folder), "");
    struct stat st {};
    ASSERT_EQ(::stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(makeProgramFolder(folder), "") << "an existing folder is used as it is";

    test::writeFile(dir / "file", "x");
    EXPECT_NE(makeProgramFolder(dir / "file"), "");
    EXPECT_NE(makeProgramFolder(dir / "file/vornelnet"), "");
}

TEST(HelpFile, IsFoundBesideTheProgramThenInItsInstallationThenInTheSystemsDataFolder) {
    test::TempDir dir;
    const std::string bin = dir / "usr/bin";
    const std::string share = dir / "usr/share/vornelnet";
    const std::string system = dir / "system";
    for (const std::string& folder : {bin, share, system})
        std::filesystem::create_directories(folder);
    const auto find = [&] { return findHelpFile(bin, system, "h.chm"); };

    EXPECT_EQ(find(), bin + "/h.chm") << "nowhere: the message names the program's folder";
    test::writeFile(system + "/h.chm", "");
    EXPECT_EQ(find(), system + "/h.chm");
    test::writeFile(share + "/h.chm", "");
    EXPECT_EQ(find(), share + "/h.chm");
    test::writeFile(bin + "/h.chm", "");
    EXPECT_EQ(find(), bin + "/h.chm");
    EXPECT_EQ(findHelpFile(dir / "none", "", "h.chm"), dir / "none/h.chm");
}

}  // namespace
}  // namespace vornel
