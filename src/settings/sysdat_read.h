#pragma once

#include "common/module_state.h"
#include "settings/settings_view.h"

namespace vornel {

// What a load does when there is no system.dat: the program's first start writes a complete
// file of default settings; any later load reports the missing file.
enum class SysdatMissing { Report, WriteDefaults };

// Loads system.dat into the settings variables and shows every value in the settings window,
// then marks the settings unchanged. Failures are reported as "Sysdat_read" and end the load
// where they happen, leaving the change mark as it is; a file larger than 110 records is
// reported as damaged and nothing of it is loaded. Returns whether the load completed.
bool Sysdat_read(Module1& m, SettingsView& view, SysdatMissing whenMissing = SysdatMissing::Report);

// The message that tells the user once that system.dat is damaged.
std::string sysdatDamageMessage(bool wrongLength, bool invalidBytes);
std::string sysdatTooLargeMessage();

}  // namespace vornel
