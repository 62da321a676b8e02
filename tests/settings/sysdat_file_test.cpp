#include "settings/sysdat_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <iterator>

#include "common/errors.h"
#include "support/sysdat_image.h"
#include "support/temp_dir.h"

namespace vornel {
namespace {

using test::handMadeSysdat;
using test::readFile;
using test::sameBytes;
using test::TempDir;
using test::writeFile;

const std::string kDocument = "\x83\x68\x83\x4C\x83\x85\x83\x81\x83\x93\x83\x67";  // ドキュメント
const std::string kHyou = "\x95\x5C";  // 表: its second byte is the backslash

// 日 and ﾃｽﾄ (one byte a character) in 55 and 61.
const test::Changes kSampleValues = {{0, "1"},
                                     {15, "/home/u/" + kDocument},
                                     {16, "  lead"},
                                     {17, kHyou + "\\x"},
                                     {55, "\x93\xFA"},
                                     {61, "\xC3\xBD\xC4"},
                                     {109, std::string(256, 'z')}};
const test::Records kSample = test::with(kSampleValues, test::Records{});

long entriesIn(const TempDir& dir) {
    return std::distance(std::filesystem::directory_iterator(dir.path()), {});
}

TEST(SysdatCodec, ReadsAHandMadeFileAndEncodesItBackByteForByte) {
    TempDir dir;
    const std::string image = handMadeSysdat(kSample);
    writeFile(dir / "system.dat", image);

    const SysdatContent c = readSysdatFile(dir / "system.dat");
    EXPECT_FALSE(c.wrongLength || c.invalidBytes);
    const std::pair<std::size_t, std::string> shown[] = {
        {0, "1"},    {15, "/home/u/ドキュメント"}, {16, "  lead"}, {17, "表\\x"}, {55, "日"},
        {61, "ﾃｽﾄ"}, {109, std::string(256, 'z')}, {1, ""}};
    for (const auto& [i, text] : shown) EXPECT_EQ(c.text[i], text) << "record " << i;
    EXPECT_TRUE(sameBytes(buildSysdatImage(c.bytes), image));

    SysdatRecords encoded;
    for (std::size_t i = 0; i < 110; ++i) encoded[i] = encodeSysdatValue(c.text[i]).bytes;
    EXPECT_TRUE(sameBytes(buildSysdatImage(encoded), image));
}

TEST(SysdatCodec, RefusesValuesThatDoNotFitARecord) {
    const ValueEncoding emoji = encodeSysdatValue("ab\xF0\x9F\x98\x80");
    EXPECT_EQ(emoji.status, ValueEncoding::Unrepresentable);
    EXPECT_EQ(emoji.badChar, "\xF0\x9F\x98\x80");

    std::string full;
    for (int i = 0; i < 128; ++i) full += "日";
    EXPECT_EQ(encodeSysdatValue(full).status, ValueEncoding::Ok);
    const ValueEncoding over = encodeSysdatValue(full + "a");
    EXPECT_EQ(over.status, ValueEncoding::TooLong);
    EXPECT_EQ(over.length, 257u);
}

// A file cut inside a record reads what it holds and the missing records as empty; bytes
// that are not code page 932 read as U+FFFD and are kept as they were. Each is its own kind of
// damage, and the file is left alone. (A path that is no readable file is checked through the
// load, which reports the system error.)
TEST(SysdatDamagedFile, ReadsWhatItHoldsAndTellsWhichDamage) {
    TempDir dir;
    std::string cut = handMadeSysdat(kSample);
    cut.resize(15 * 512 + 10);  // record 15 cut after its first ten bytes
    const struct {
        std::string image;
        bool wrongLength, invalidBytes;
        std::vector<std::pair<std::size_t, std::string>> texts;
    } cases[] = {
        {cut, true, false, {{0, "1"}, {15, "/home/u/ド"}, {55, ""}}},
        {handMadeSysdat(test::with({{61, "A\x80Z"}}, kSample)),
         false,
         true,
         {{61, "A\xEF\xBF\xBDZ"}}},
    };
    for (const auto& c : cases) {
        writeFile(dir / "system.dat", c.image);
        const SysdatContent r = readSysdatFile(dir / "system.dat");
        EXPECT_EQ(r.wrongLength, c.wrongLength);
        EXPECT_EQ(r.invalidBytes, c.invalidBytes);
        for (const auto& [i, text] : c.texts) EXPECT_EQ(r.text[i], text) << "record " << i;
        EXPECT_TRUE(sameBytes(readFile(dir / "system.dat"), c.image));
    }
}

TEST(SysdatWrite, ReplacesTheFileWholeAndKeepsItsPermissions) {
    TempDir dir;
    const std::string path = dir / "system.dat";
    writeFile(path, "old");
    ::chmod(path.c_str(), 0640);
    const std::string image = handMadeSysdat(kSample);
    writeSysdatFile(path, image);
    EXPECT_TRUE(sameBytes(readFile(path), image));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(entriesIn(dir), 1) << "no temporary file is left behind";
}

TEST(SysdatWrite, ALinkedFileIsReplacedInItsOwnFolderAndTheLinkStays) {
    TempDir dir;
    std::filesystem::create_directories(dir / "synced/settings");
    const std::string target = dir / "synced/settings/system.dat";
    writeFile(target, "old");
    ::chmod(target.c_str(), 0600);
    // A relative link to a relative link, as a user's dotfile manager makes them.
    std::filesystem::create_symlink("synced/settings/system.dat", dir / "middle.dat");
    std::filesystem::create_symlink("middle.dat", dir / "system.dat");
    const std::string image = handMadeSysdat(kSample);
    writeSysdatFile(dir / "system.dat", image);
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "system.dat"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "middle.dat"));
    EXPECT_TRUE(sameBytes(readFile(target), image));
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(entriesIn(dir), 3);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "synced/settings"), {}), 1);
}

TEST(SysdatWrite, AFailedReplaceLeavesNothingBehind) {
    TempDir dir;
    // A non-empty folder where the file should be: the final rename fails.
    const std::string path = dir / "system.dat";
    std::filesystem::create_directory(path);
    writeFile(path + "/keep", "x");
    EXPECT_THROW(writeSysdatFile(path, "data"), VbError);
    EXPECT_EQ(readFile(path + "/keep"), "x");
    EXPECT_EQ(entriesIn(dir), 1);
    EXPECT_THROW(writeSysdatFile(dir / "no/such/system.dat", "data"), VbError);
}

}  // namespace
}  // namespace vornel
