#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "app/shell/menu_shell.h"
#include "support/program_state.h"
#include "support/settings_file.h"

namespace vornel::test {

// The program's windows and tray over a fresh program folder on the fake desktop, as the
// commands of the tray and the main window meet them.
class ShellTest : public ::testing::Test, protected ProgramState<> {
  protected:
    ShellTest() { be.secondsPerPump = 0.01; }  // waits end by the time they would take

    // Writes system.dat with pair 1 copying tmp/src into tmp/dst and `changes` on top, and
    // loads it as the program does at start.
    void load(std::map<int, std::string> changes = {}) {
        changes.emplace(15, tmp / "src");
        changes.emplace(23, tmp / "dst");
        writeSettingsFile(tmp / "system.dat", changes);
        shell->Form_Load();
    }

    std::unique_ptr<MenuShell> shell = std::make_unique<MenuShell>(m, be, tmp.str());
};

}  // namespace vornel::test
