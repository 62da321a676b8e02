#pragma once

#include "common/kvcmn15.h"
#include "common/module_state.h"
#include "settings/settings_view.h"

namespace vornel {

// The update button: checks the settings shown in the window, stores them in system.dat as a
// whole and loads them again. `cmn` is the window's own utility instance. A check that fails
// leaves the file, the variables and the change mark as they were. Returns whether the
// settings were stored and loaded again.
bool ok_bt_Click(Module1& m, KvCmn15& cmn, SettingsView& view);

}  // namespace vornel
