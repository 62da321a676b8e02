#pragma once

#include <functional>

#include "backup/backup_engine.h"
#include "common/module_state.h"

namespace vornel {

// The settings window's part in a manual start, and how the program ends itself.
struct ManualStartHooks {
    // Asks whether to save changed settings; leaves the answer in Upd_flg.
    std::function<void()> chg_confirm;
    // Validates and saves the settings.
    std::function<void()> ok_bt_Click;
    // Ends the program at once, without the close-time processing.
    std::function<void()> endProgram;
};

// "ﾊﾞｯｸｱｯﾌﾟ開始": offers to save changed settings, then runs a manual backup.
void bkup_bt(Module1& m, BackupEngine& engine, const ManualStartHooks& hooks);
// Tray item "ﾊﾞｯｸｱｯﾌﾟ実行": the same.
void start_bkup(Module1& m, BackupEngine& engine, const ManualStartHooks& hooks);
// Tray item "ﾊﾞｯｸｱｯﾌﾟ後Windows終了": a manual backup, two seconds, a shutdown request (even
// after a cancel) and the end of the program.
void bkup_exitwin(Module1& m, BackupEngine& engine, const ManualStartHooks& hooks);
// The button of the same caption: the same.
void bkup_exit_bt(Module1& m, BackupEngine& engine, const ManualStartHooks& hooks);

}  // namespace vornel
