#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace vornel {

// system.dat: 110 records of 512 bytes. Bytes 0..255 of a record hold the value in code page
// 932, blank-padded; bytes 256..511 carry nothing and are written as zeros.
inline constexpr int kSysdatRecords = 110;
inline constexpr std::size_t kSysdatRecordLength = 512;
inline constexpr std::size_t kSysdatValueBytes = 256;
inline constexpr std::size_t kSysdatFileBytes = kSysdatRecords * kSysdatRecordLength;

using SysdatRecords = std::array<std::string, kSysdatRecords>;

// What a read found. `bytes` holds each record's value bytes as stored, trailing blanks
// removed; `text` the same decoded to UTF-8 (bytes that are not code page 932 show as U+FFFD).
struct SysdatContent {
    SysdatRecords bytes;
    SysdatRecords text;
    bool wrongLength = false;  // not exactly 110 whole records; missing ones read as empty
    bool invalidBytes = false;
    bool tooLarge = false;  // more than 110 records: nothing was read
};

// Reads the whole file at once, so a load never mixes two versions of it. Raises the error of
// the failing system call (VbError) when the file cannot be opened or read, and error 75 when
// the path names anything but a regular file (a link to one is followed). Never blocks.
SysdatContent readSysdatFile(const std::string& path);

// Encodes one value into its 256 value bytes, without padding. Fails when a character has no
// code page 932 form (`badChar` is that character) or the value needs more than 256 bytes.
struct ValueEncoding {
    enum Status { Ok, Unrepresentable, TooLong } status = Ok;
    std::string bytes;
    std::string badChar;
    std::size_t length = 0;  // bytes the value needs (TooLong)
};
ValueEncoding encodeSysdatValue(const std::string& utf8);

// The full file image of 110 records from their value bytes (each at most 256 bytes).
std::string buildSysdatImage(const SysdatRecords& valueBytes);

// Replaces the file at `path` with `image` all at once: the bytes go to a temporary file in the
// same folder, which is then renamed over the old file. When `path` is a symbolic link, the
// link stays and the file it points to is replaced the same way in its own folder. On failure the
// old file is untouched and the error of the failing call is raised (VbError).
void writeSysdatFile(const std::string& path, const std::string& image);

// The values of a new installation, one text per record.
SysdatRecords defaultSysdatValues();

// Removes trailing blanks (0x20 only), as a stored value loses its padding.
std::string trimTrailingBlanks(std::string s);

}  // namespace vornel
