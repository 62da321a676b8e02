#include "settings/field_checks.h"

#include <cstdint>
#include <cstdio>

#include "common/text_number.h"

namespace vornel {

TimeFieldCheck checkTimeText(const std::string& text, int largest) {
    TimeFieldCheck r;
    r.text = text;
    if (text.empty()) return r;
    std::int16_t n = 0;
    if (parseInt16(text, n) != 0 || n > largest) {
        r.ok = false;
        return r;
    }
    char buf[16];
    // The sign takes a place of its own: -1 is shown as -01.
    std::snprintf(buf, sizeof buf, n < 0 ? "%03d" : "%02d", static_cast<int>(n));
    r.text = buf;
    return r;
}

}  // namespace vornel
