#pragma once

#include <cstdint>

#include "common/module_state.h"

namespace vornel {

// Asks whether edits that are not saved yet should be saved, when there are any. The mark is
// cleared before the question, so a "No" is not asked again. Returns Upd_flg: 1 when the user
// chose to save.
std::int16_t chg_confirm(Module1& m);

}  // namespace vornel
