#pragma once

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

namespace vornel::test {

using Records = std::array<std::string, 110>;

// Builds a system.dat image by hand from code page 932 value bytes: each record is the value,
// blanks up to byte 256, then 256 zero bytes. Deliberately independent of the program's codec.
inline std::string handMadeSysdat(const Records& cp932Values) {
    std::string image;
    for (const std::string& v : cp932Values) {
        std::string record(512, '\0');
        for (std::size_t i = 0; i < 256; ++i) record[i] = i < v.size() ? v[i] : ' ';
        image += record;
    }
    return image;
}

// The records of a complete, valid file (Arb_int and every Enable are numbers).
inline Records validRecords() {
    Records r;
    r[54] = "0";
    for (std::size_t g = 0; g < 5; ++g) r[60 + 10 * g] = "0";
    return r;
}

// Record numbers and values, for `with`.
using Changes = std::vector<std::pair<std::size_t, std::string>>;

// `base` with some records replaced.
inline Records with(const Changes& changes, Records base = validRecords()) {
    for (const auto& [i, value] : changes) base[i] = value;
    return base;
}

// The records a new installation gets, written out by hand in code page 932.
inline Records defaultRecords() {
    Records r = validRecords();
    for (std::size_t i : {0u, 4u, 5u}) r[i] = "1";
    for (std::size_t i : {1u, 2u, 3u, 6u, 7u, 8u, 47u, 48u, 51u}) r[i] = "0";
    for (std::size_t i = 31; i <= 46; ++i) r[i] = i <= 38 ? "1" : "0";
    r[55] = "\x93\xFA";  // 日
    r[56] = "1";
    r[57] = "9";
    r[58] = "3";
    return r;
}

// Compares two file images and names the first record and byte where they differ, instead of
// printing 56 kB of bytes.
inline ::testing::AssertionResult sameBytes(const std::string& actual,
                                            const std::string& expected) {
    if (actual == expected) return ::testing::AssertionSuccess();
    std::size_t i = 0;
    while (i < actual.size() && i < expected.size() && actual[i] == expected[i]) ++i;
    return ::testing::AssertionFailure() << "sizes " << actual.size() << " and " << expected.size()
                                         << ", first difference at byte " << i << " (record "
                                         << i / 512 << ", offset " << i % 512 << ")";
}

}  // namespace vornel::test
