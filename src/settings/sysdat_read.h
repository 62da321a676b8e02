#pragma once

#include "settings/module_state.h"
#include "settings/settings_view.h"

namespace vornel {

// Loads system.dat into the settings variables and shows every value in the settings window,
// then marks the settings unchanged. A program folder without the file gets a complete file
// of default settings first. Failures are reported as "Sysdat_read" and end the load where
// they happen, leaving the change mark as it is.
void Sysdat_read(Module1& m, SettingsView& view);

// The message that tells the user once that system.dat is damaged.
std::string sysdatDamageMessage(bool wrongLength, bool invalidBytes);

}  // namespace vornel
