#include "settings/sysdat_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "common/errors.h"
#include "support/sysdat_image.h"
#include "support/temp_dir.h"

namespace vornel {
namespace {

using test::handMadeSysdat;
using test::readFile;
using test::TempDir;
using test::writeFile;

const std::string kNichi = "\x93\xFA";                                             // 日
const std::string kDocument = "\x83\x68\x83\x4C\x83\x85\x83\x81\x83\x93\x83\x67";  // ドキュメント
const std::string kHyou = "\x95\x5C";  // 表: its second byte is the backslash

std::array<std::string, 110> sampleRecords() {
    std::array<std::string, 110> r;
    r[0] = "1";
    r[15] = "/home/u/" + kDocument;
    r[16] = "  lead";
    r[17] = kHyou + "\\x";
    r[55] = kNichi;
    r[61] = "\xC3\xBD\xC4";  // ﾃｽﾄ, one byte each
    r[109] = std::string(256, 'z');
    return r;
}

TEST(SysdatCodec, ReadsAHandMadeFileAndRebuildsItByteForByte) {
    TempDir dir;
    const std::string image = handMadeSysdat(sampleRecords());
    writeFile(dir / "system.dat", image);

    const SysdatContent c = readSysdatFile(dir / "system.dat");
    EXPECT_FALSE(c.wrongLength);
    EXPECT_FALSE(c.invalidBytes);
    EXPECT_EQ(c.text[0], "1");
    EXPECT_EQ(c.text[15], "/home/u/ドキュメント");
    EXPECT_EQ(c.text[16], "  lead");
    EXPECT_EQ(c.text[17], "表\\x");
    EXPECT_EQ(c.text[55], "日");
    EXPECT_EQ(c.text[61], "ﾃｽﾄ");
    EXPECT_EQ(c.text[109], std::string(256, 'z'));
    EXPECT_EQ(c.text[1], "");
    EXPECT_TRUE(test::sameBytes(buildSysdatImage(c.bytes), image));
}

TEST(SysdatCodec, EncodesValuesInCodePage932) {
    EXPECT_EQ(encodeSysdatValue("日").bytes, kNichi);
    EXPECT_EQ(encodeSysdatValue("ﾃｽﾄ").bytes, "\xC3\xBD\xC4");
    EXPECT_EQ(encodeSysdatValue("表\\x").bytes, kHyou + "\\x");

    std::array<std::string, 110> values;
    values[15] = "/home/u/ドキュメント";
    values[55] = "日";
    std::array<std::string, 110> cp932;
    cp932[15] = "/home/u/" + kDocument;
    cp932[55] = kNichi;
    SysdatRecords encoded;
    for (std::size_t i = 0; i < 110; ++i) encoded[i] = encodeSysdatValue(values[i]).bytes;
    EXPECT_TRUE(test::sameBytes(buildSysdatImage(encoded), handMadeSysdat(cp932)));
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

TEST(SysdatDamagedFile, MissingRecordsReadAsEmpty) {
    TempDir dir;
    std::string image = handMadeSysdat(sampleRecords());
    image.resize(15 * 512 + 10);  // record 15 cut after its first ten bytes
    writeFile(dir / "system.dat", image);
    const SysdatContent c = readSysdatFile(dir / "system.dat");
    EXPECT_TRUE(c.wrongLength);
    EXPECT_EQ(c.text[0], "1");
    EXPECT_EQ(c.text[15], "/home/u/ド");
    EXPECT_EQ(c.text[55], "");
    EXPECT_TRUE(test::sameBytes(readFile(dir / "system.dat"), image));
}

TEST(SysdatDamagedFile, ExtraBytesAndInvalidBytesAreReported) {
    TempDir dir;
    std::array<std::string, 110> r = sampleRecords();
    r[61] =
        "A\x80"
        "B";
    writeFile(dir / "system.dat", handMadeSysdat(r) + "tail");
    const SysdatContent c = readSysdatFile(dir / "system.dat");
    EXPECT_TRUE(c.wrongLength);
    EXPECT_TRUE(c.invalidBytes);
    EXPECT_EQ(c.text[61],
              "A\xEF\xBF\xBD"
              "B");
    EXPECT_EQ(c.bytes[61],
              "A\x80"
              "B");
}

TEST(SysdatDamagedFile, UnreadablePathRaisesTheSystemError) {
    TempDir dir;
    try {
        readSysdatFile(dir / "missing.dat");
        FAIL() << "no error";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), kErrFileNotFound);
    }
    EXPECT_THROW(readSysdatFile(dir.str()), VbError);
}

TEST(SysdatWrite, ReplacesTheFileWholeAndKeepsItsPermissions) {
    TempDir dir;
    const std::string path = dir / "system.dat";
    writeFile(path, "old");
    ::chmod(path.c_str(), 0640);
    const std::string image = handMadeSysdat(sampleRecords());
    writeSysdatFile(path, image);
    EXPECT_TRUE(test::sameBytes(readFile(path), image));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path()))
        ++entries;
    EXPECT_EQ(entries, 1) << "no temporary file is left behind";
}

TEST(SysdatWrite, AFailedReplaceLeavesNothingBehind) {
    TempDir dir;
    // A non-empty folder where the file should be: the final rename fails.
    const std::string path = dir / "system.dat";
    std::filesystem::create_directory(path);
    writeFile(path + "/keep", "x");
    EXPECT_THROW(writeSysdatFile(path, "data"), VbError);
    EXPECT_TRUE(test::sameBytes(readFile(path + "/keep"), "x"));
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path()))
        ++entries;
    EXPECT_EQ(entries, 1);

    EXPECT_THROW(writeSysdatFile(dir / "no/such/system.dat", "data"), VbError);
}

}  // namespace
}  // namespace vornel
