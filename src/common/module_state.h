#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "common/kvcmn15.h"

namespace vornel {

// One Wake-on-LAN entry as stored in ten consecutive records.
struct WOL_data {
    std::string Enable;
    std::string PCname;
    std::string IPaddr;
    std::array<std::string, 6> MAC;
    std::string WTime;
};

// The program's module-level state: the settings variables and the values derived from them,
// the file paths, the change mark, the run state and the shared message text. Exactly one
// exists; it is passed to whatever needs it.
struct Module1 {
    explicit Module1(KvCmn15& module) : cmn(module) { cmn.bindMessageText(&Msg_str); }
    Module1(const Module1&) = delete;
    Module1& operator=(const Module1&) = delete;

    // The module-level utility instance that the module procedures use.
    KvCmn15& cmn;

    // Settings variables (records 0..109 of system.dat).
    std::string Copy_op;
    std::string Start_flg;
    std::string End_bkup;
    std::string Timer_flg;
    std::string Cp_skip;
    std::string Rec_op;
    std::array<std::string, 3> Sdown_flg;
    std::array<std::string, 3> Tm_hour;
    std::array<std::string, 3> Tm_min;
    std::array<std::string, 8> Src_fld;
    std::array<std::string, 8> Dst_fld;
    std::array<std::string, 8> Subfld_flg;
    std::array<std::string, 8> Skip_flg;
    std::string St_sdown;
    std::string Asd_flg;
    std::string Asd_hour;
    std::string Asd_min;
    std::string Arb_flg;
    std::string Arb_hour;
    std::string Arb_min;
    std::string Arb_int;
    std::string Arb_week;
    std::string Arb_day;
    std::string WOL_Port;
    std::string WOL_ReptNum;
    std::array<WOL_data, 5> WOL_set;

    // Derived values, recomputed by every load.
    std::array<std::string, 3> Tm_str;
    std::string Asd_time;
    std::string Arb_time;
    std::array<std::int16_t, 5> WOL_valid{};
    std::string App_title = "Vornelnet";
    // Captions of the five Wake-on-LAN tray items, as the last load set them.
    std::array<std::string, 5> pc_wol_caption = {"- WOL1無効 -", "- WOL2無効 -", "- WOL3無効 -",
                                                 "- WOL4無効 -", "- WOL5無効 -"};

    // Each record's value bytes as the last load found them. A save writes an unchanged value
    // back with exactly these bytes, so nothing the program cannot show is ever lost.
    std::array<std::string, 110> sysdat_loaded_bytes;
    // The user has been told that system.dat is damaged; cleared when a load finds it sound.
    bool sysdat_damage_told = false;

    // Paths and version text, set while the main window loads.
    std::string App_path;
    std::string Sysdat_path;
    std::string Hist_path;
    std::string App_ver;

    // Change tracking.
    std::int16_t Chg_flg = 0;
    std::int16_t Upd_flg = 0;

    // Run state. A run is in progress exactly while the copy window is shown; the application
    // wires this to that window, tests to whatever they need.
    std::function<bool()> copydlg_visible = [] { return false; };
    std::int16_t Cancel_flg = 0;
    bool Stup_sdown = false;
    std::int16_t Tm_no = 0;
    // Set while a run is in progress: a history write that fails then is handed here instead
    // of a box, so an unattended run never waits for someone to answer.
    std::function<void(const VbError&)> hist_write_failed;

    // The schedule timer's blink: 1 and 0 on alternate ticks.
    std::int16_t Blink_flg = 0;

    // Shared message text and the answer of the last box.
    std::string Msg_str;
    std::int16_t Msg_ans = 0;

    // Name of the PC of the wake in progress.
    std::string WOL_name;

    // Activation tab selector; the pair and side (0 source, 1 destination) last browsed.
    std::int16_t Fld_no = 1;
    std::int16_t Ref_fld_no = 0;
    std::int16_t Ref_kind = 0;
};

}  // namespace vornel
