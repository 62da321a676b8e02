#pragma once

#include <optional>
#include <string>

#include "common/module_state.h"
#include "settings/settings_view.h"

namespace vornel {

// A record whose value the user types: the box that shows it, its page and the name the
// messages give it.
struct TextField {
    ControlRef control;
    Tab tab;
    std::string name;
};

// One of the 110 records of system.dat.
struct SysdatRecord {
    // The settings variable the record is read into and written from is variable(m, element);
    // variable is null for the reserved record 59, which is always stored empty.
    std::string& (*variable)(Module1& m, int element) = nullptr;
    int element = 0;
    // The value a new installation stores.
    const char* defaultValue = "";
    // The box the user types the value into; nothing for flags, options and the reserved
    // record.
    std::optional<TextField> field;
};

// Record `index` (0..109).
const SysdatRecord& sysdatRecord(int index);

// The settings variable of record `index`; null for the reserved record 59.
std::string* settingVariable(Module1& m, int index);

// The typed field of record `index`, or nothing for flags, options and records without a box.
std::optional<TextField> textFieldOf(int index);

}  // namespace vornel
