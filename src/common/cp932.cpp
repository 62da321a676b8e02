#include "common/cp932.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

#include "common/utf8.h"

namespace vornel::cp932 {
namespace {

// One converter per direction and thread: iconv_open is far too slow to run for every path
// of a folder walk.
class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
        }
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much as possible; returns false at the first invalid or unrepresentable
    // input, leaving `in`/`inLeft` there.
    bool run(const char*& in, std::size_t& inLeft, std::string& out) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char buf[1024];
        while (inLeft > 0) {
            char* dst = buf;
            std::size_t dstLeft = sizeof buf;
            std::size_t r = iconv(cd_, const_cast<char**>(&in), &inLeft, &dst, &dstLeft);
            out.append(buf, static_cast<std::size_t>(dst - buf));
            if (r == static_cast<std::size_t>(-1)) {
                if (errno == E2BIG) continue;
                return false;  // EILSEQ or EINVAL (truncated sequence)
            }
        }
        char* dst = buf;
        std::size_t dstLeft = sizeof buf;
        iconv(cd_, nullptr, nullptr, &dst, &dstLeft);
        out.append(buf, static_cast<std::size_t>(dst - buf));
        return true;
    }

  private:
    iconv_t cd_;
};

Converter& toCp932() {
    thread_local Converter c("CP932", "UTF-8");
    return c;
}

Converter& fromCp932() {
    thread_local Converter c("UTF-8", "CP932");
    return c;
}

// Offset of the first character of `utf8` whose code page 932 form reads back as another
// character, or npos. Code page 932 has one form for pairs such as WAVE DASH U+301C and
// FULLWIDTH TILDE U+FF5E and reads it as the second: a stored "資料〜2023" would come back as
// "資料～2023", which looks the same and names another folder.
std::size_t firstChangedCharacter(const std::string& utf8) {
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const std::size_t len = std::max<std::size_t>(utf8::sequenceAt(utf8, pos), 1);
        const std::string one = utf8.substr(pos, len);
        std::string bytes;
        const char* in = one.data();
        std::size_t left = one.size();
        if (toCp932().run(in, left, bytes)) {
            std::string back;
            in = bytes.data();
            left = bytes.size();
            if (!fromCp932().run(in, left, back) || back != one) return pos;
        }
        pos += len;
    }
    return std::string::npos;
}

}  // namespace

EncodeResult encode(const std::string& utf8) {
    EncodeResult r;
    r.bytes.reserve(utf8.size());
    const char* in = utf8.data();
    std::size_t left = utf8.size();
    if (!toCp932().run(in, left, r.bytes)) {
        r.ok = false;
        r.badOffset = static_cast<std::size_t>(in - utf8.data());
    }
    // What was converted must read back unchanged; a character that does not counts as one
    // without a form, and the bytes stop before it.
    const std::string converted = utf8.substr(0, utf8.size() - left);
    std::string back;
    const char* b = r.bytes.data();
    std::size_t bLeft = r.bytes.size();
    if (fromCp932().run(b, bLeft, back) && back == converted) return r;
    const std::size_t bad = firstChangedCharacter(converted);
    if (bad == std::string::npos) return r;
    r.ok = false;
    r.badOffset = bad;
    r.bytes.clear();
    in = utf8.data();
    left = bad;
    toCp932().run(in, left, r.bytes);
    return r;
}

DecodeResult decode(const std::string& bytes) {
    DecodeResult r;
    r.utf8.reserve(bytes.size() * 3 / 2);
    const char* in = bytes.data();
    std::size_t left = bytes.size();
    while (!fromCp932().run(in, left, r.utf8)) {
        r.ok = false;
        r.utf8 += "\xEF\xBF\xBD";
        ++in;
        --left;
    }
    return r;
}

int charWidth(const std::string& utf8, std::size_t pos, std::size_t* consumed) {
    const std::size_t len = utf8::sequenceAt(utf8, pos);
    *consumed = len == 0 ? 1 : len;
    if (len <= 1) return 1;
    std::string out;
    const char* in = utf8.data() + pos;
    std::size_t left = len;
    if (!toCp932().run(in, left, out)) return 1;
    return out.size() >= 2 ? 2 : 1;
}

long byteLength(const std::string& utf8) {
    // The code page 932 form of a text has exactly one byte per single-byte character and two
    // per double-byte one, so the length is that of the encoding; a character without a form
    // there (or a byte that is not UTF-8) counts one and the conversion resumes after it.
    long sum = 0;
    const char* in = utf8.data();
    std::size_t left = utf8.size();
    std::string out;
    while (left > 0) {
        out.clear();
        const bool ok = toCp932().run(in, left, out);
        sum += static_cast<long>(out.size());
        if (ok) break;
        const std::size_t len = utf8::sequenceAt(utf8, static_cast<std::size_t>(in - utf8.data()));
        const std::size_t skip = len == 0 ? 1 : len;
        sum += 1;
        in += skip;
        left -= skip;
    }
    return sum;
}

}  // namespace vornel::cp932
