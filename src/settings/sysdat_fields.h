#pragma once

#include <optional>
#include <string>

#include "common/module_state.h"
#include "settings/settings_view.h"

namespace vornel {

// The settings variable that record `index` (0..109) is read into and written from; null for
// the reserved record 59.
std::string* settingVariable(Module1& m, int index);

// A record whose value the user types: the box that shows it, its page and the name the
// messages give it.
struct TextField {
    ControlRef control;
    Tab tab;
    std::string name;
};

// The typed field of record `index`, or nothing for flags, options and records without a box.
std::optional<TextField> textFieldOf(int index);

}  // namespace vornel
