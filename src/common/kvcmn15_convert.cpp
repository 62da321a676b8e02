// Number conversion members of KvCmn15.
#include <cstdio>

#include "common/kvcmn15.h"

namespace vornel {
namespace {

std::string hexDigits(std::uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%X", v);
    return buf;
}

std::string padTo4(std::string digits) {
    if (digits.size() < 4) digits.insert(0, 4 - digits.size(), '0');
    return digits;
}

// Upper-cases ASCII letters and their full-width forms, in place.
void upperCase(std::string& s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        auto& c = s[i];
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        } else if (static_cast<unsigned char>(c) == 0xEF && i + 2 < s.size() &&
                   static_cast<unsigned char>(s[i + 1]) == 0xBD) {
            // U+FF41..U+FF5A (ａ..ｚ) are EF BD 81..9A; U+FF21..U+FF3A are EF BC A1..BA.
            auto b2 = static_cast<unsigned char>(s[i + 2]);
            if (b2 >= 0x81 && b2 <= 0x9A) {
                s[i + 1] = static_cast<char>(0xBC);
                s[i + 2] = static_cast<char>(b2 - 0x81 + 0xA1);
            }
            i += 2;
        }
    }
}

// Reads an unsigned hexadecimal text of at most `limit`; false for anything else.
bool readHex(const std::string& s, std::uint64_t limit, std::uint64_t& out) {
    if (s.empty()) return false;
    std::uint64_t v = 0;
    for (char c : s) {
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return false;
        v = v * 16 + static_cast<std::uint64_t>(d);
        if (v > limit) return false;
    }
    out = v;
    return true;
}

}  // namespace

void KvCmn15::conversionError(const std::string& problem, const std::string& member,
                              const std::string& value) {
    Msg_Box(KindErr, problem + "\r\n" + member + "\r\n" + "Value = " + value);
}

std::string KvCmn15::LongTo16bit(std::int32_t cvLong) {
    char slot[16];
    for (char& c : slot) c = '0';
    auto joined = [&] {
        std::string s;
        for (int i = 15; i >= 0; --i) s += slot[i];
        return s;
    };
    if (cvLong == 0) return joined();
    std::int64_t rest = cvLong;
    for (int bit = 15; bit >= 1; --bit) {
        const std::int64_t weight = std::int64_t{1} << bit;
        if (rest >= weight) {
            slot[bit] = '1';
            if (rest == weight) return joined();
            rest -= weight;
        }
    }
    if (rest == 1) {
        slot[0] = '1';
        return joined();
    }
    conversionError("変換するデータが異常です！", "LongTo16bit", std::to_string(cvLong));
    return {};
}

std::int16_t KvCmn15::LongToInt(std::int32_t cvLong) {
    // A negative argument has eight hexadecimal digits (FFFF....) and so is reported as bad
    // input, like any other value above FFFF.
    std::uint64_t v = 0;
    if (!readHex(hexDigits(static_cast<std::uint32_t>(cvLong)), 0xFFFF, v)) {
        conversionError("数値が異常です！", "LongToInt", std::to_string(cvLong));
        return 0;
    }
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(v));
}

std::string KvCmn15::LongToHex(std::int32_t cvLong) {
    return padTo4(hexDigits(static_cast<std::uint32_t>(cvLong)));
}

std::int16_t KvCmn15::HexToInt(std::string& cvHex) {
    upperCase(cvHex);
    std::uint64_t v = 0;
    if (!readHex(cvHex, 0xFFFF, v)) {
        conversionError("数値が異常です！", "HexToInt", cvHex);
        return 0;
    }
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(v));
}

std::int32_t KvCmn15::HexToLong(std::string& cvHex) {
    upperCase(cvHex);
    std::uint64_t v = 0;
    if (!readHex(cvHex, 0xFFFFFFFFull, v)) {
        conversionError("数値が異常です！", "HexToLong", cvHex);
        return 0;
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
}

std::int32_t KvCmn15::IntToLong(std::int16_t cvInt) {
    return cvInt < 0 ? std::int32_t{cvInt} + 65536 : std::int32_t{cvInt};
}

std::string KvCmn15::IntToHex(std::int16_t cvInt) {
    return padTo4(hexDigits(static_cast<std::uint16_t>(cvInt)));
}

}  // namespace vornel
