#pragma once

#include <map>
#include <string>

#include "settings/sysdat_file.h"

namespace vornel::test {

// Writes a system.dat of default values with some records changed, for tests that need a
// program with particular settings (not for tests of the file format itself).
inline void writeSettingsFile(const std::string& path, const std::map<int, std::string>& changes) {
    SysdatRecords values = defaultSysdatValues();
    for (const auto& [index, value] : changes) values[static_cast<std::size_t>(index)] = value;
    SysdatRecords bytes;
    for (std::size_t i = 0; i < values.size(); ++i) bytes[i] = encodeSysdatValue(values[i]).bytes;
    writeSysdatFile(path, buildSysdatImage(bytes));
}

}  // namespace vornel::test
