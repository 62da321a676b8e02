#include "backup/manual_start.h"

namespace vornel {

void bkup_bt(Module1& m, BackupEngine& engine, const ManualStartHooks& hooks) {
    if (hooks.chg_confirm) hooks.chg_confirm();
    if (m.Upd_flg == 1 && hooks.ok_bt_Click) hooks.ok_bt_Click();
    engine.backup(HistOrigin::Manual);
}

void start_bkup(Module1& m, BackupEngine& engine, const ManualStartHooks& hooks) {
    bkup_bt(m, engine, hooks);
}

void bkup_exitwin(Module1& m, BackupEngine& engine, const ManualStartHooks& hooks) {
    // Asked for while a run is in progress, it waits for that run to return: shutting down
    // now would cut it short.
    if (engine.running()) {
        engine.afterRun([&m, &engine, hooks] { bkup_exitwin(m, engine, hooks); });
        return;
    }
    bkup_bt(m, engine, hooks);
    m.cmn.Wait(2);
    m.cmn.ExitWindows(m.cmn.ExwShutdown);
    if (hooks.endProgram) hooks.endProgram();
}

void bkup_exit_bt(Module1& m, BackupEngine& engine, const ManualStartHooks& hooks) {
    bkup_exitwin(m, engine, hooks);
}

}  // namespace vornel
