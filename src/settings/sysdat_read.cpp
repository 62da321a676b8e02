#include "settings/sysdat_read.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "common/errors.h"
#include "common/text_number.h"
#include "settings/sysdat_fields.h"
#include "settings/sysdat_file.h"

namespace vornel {
namespace {

constexpr int kErrNoSuchElement = 340;

// A first start finds no file: it gets one with working defaults instead of a window full of
// empty settings and an error report. Later loads never do this: a file that vanished while
// the program ran is reported, and the settings the program holds stay as they are.
void writeDefaultsIfMissing(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 || errno != ENOENT) return;
    SysdatRecords bytes;
    const SysdatRecords values = defaultSysdatValues();
    for (int i = 0; i < kSysdatRecords; ++i) bytes[i] = encodeSysdatValue(values[i]).bytes;
    writeSysdatFile(path, buildSysdatImage(bytes));
}

void tellDamage(Module1& m, const SysdatContent& c) {
    if (c.tooLarge) {
        // Nothing of such a file is taken: it is not one this program wrote.
        m.Msg_str = sysdatTooLargeMessage();
        m.Msg_ans = m.cmn.Msg_Box(m.cmn.KindErr, m.Msg_str);
        return;
    }
    if (!c.wrongLength && !c.invalidBytes) {
        m.sysdat_damage_told = false;
        return;
    }
    if (m.sysdat_damage_told) return;
    m.sysdat_damage_told = true;
    m.Msg_str = sysdatDamageMessage(c.wrongLength, c.invalidBytes);
    m.Msg_ans = m.cmn.Msg_Box(m.cmn.KindErr, m.Msg_str);
}

// Load rule of the yes/no boxes that change only for exactly "0" or "1".
void setCheckStrict(SettingsView& view, ControlRef c, const std::string& v) {
    if (v == "0") view.setValue(c, 0);
    if (v == "1") view.setValue(c, 1);
}

// Every record into its variable. A Wake-on-LAN entry is usable only with a PC name, an IP
// address and all six MAC bytes.
void readVariables(Module1& m, const SysdatContent& c) {
    for (int i = 0; i < kSysdatRecords; ++i) {
        if (std::string* v = settingVariable(m, i)) *v = c.text[static_cast<std::size_t>(i)];
    }
    for (std::size_t g = 0; g < 5; ++g) {
        const WOL_data& e = m.WOL_set[g];
        const bool complete = !e.PCname.empty() && !e.IPaddr.empty() &&
                              std::ranges::none_of(e.MAC, &std::string::empty);
        m.WOL_valid[g] = complete ? 1 : 0;
    }
}

void showCopyOptions(Module1& m, SettingsView& view) {
    if (m.Copy_op == "0") view.setValue({Control::copy_op, 0}, 1);
    if (m.Copy_op == "1") view.setValue({Control::copy_op, 1}, 1);
    if (m.Cp_skip == "1") view.setValue({Control::cp_skip, 0}, 1);
    if (m.Cp_skip == "0") view.setValue({Control::cp_skip, 1}, 1);
    setCheckStrict(view, {Control::start_chk}, m.Start_flg);
    setCheckStrict(view, {Control::st_sdown}, m.St_sdown);
}

// The times of day as "hour:minute", the form the schedule compares.
void joinTimes(Module1& m) {
    for (std::size_t k = 0; k < 3; ++k) m.Tm_str[k] = m.Tm_hour[k] + ":" + m.Tm_min[k];
    m.Asd_time = m.Asd_hour + ":" + m.Asd_min;
    m.Arb_time = m.Arb_hour + ":" + m.Arb_min;
}

void showSchedule(Module1& m, SettingsView& view) {
    for (int k = 0; k < 3; ++k) {
        const auto u = static_cast<std::size_t>(k);
        view.setText({Control::hour_txt, k}, m.Tm_hour[u]);
        view.setText({Control::min_txt, k}, m.Tm_min[u]);
    }
    if (m.Timer_flg == "0" || m.Timer_flg == "1") {
        view.setValue({Control::timer_chk}, m.Timer_flg == "1" ? 1 : 0);
        m.App_title = "Vornelnet";
        view.setCaption(m.App_title);
    }
    if (m.Rec_op == "0") view.setValue({Control::rec_op, 0}, 1);
    if (m.Rec_op == "1") view.setValue({Control::rec_op, 1}, 1);
}

void showFolderPairs(Module1& m, SettingsView& view) {
    for (int k = 0; k < 8; ++k) {
        const auto u = static_cast<std::size_t>(k);
        view.setText({Control::srcfld_txt, k}, m.Src_fld[u]);
        view.setText({Control::dstfld_txt, k}, m.Dst_fld[u]);
        view.setValue({Control::subfld_chk, k}, m.Subfld_flg[u] == "0" ? 0 : 1);
        view.setValue({Control::skip_chk, k}, m.Skip_flg[u] == "0" ? 0 : 1);
    }
    for (int k = 0; k < 3; ++k)
        view.setValue({Control::sdown, k}, m.Sdown_flg[static_cast<std::size_t>(k)] == "0" ? 0 : 1);
}

void showPcFunctions(Module1& m, SettingsView& view) {
    view.setValue({Control::asd_chk}, m.Asd_flg == "1" ? 1 : 0);
    view.setText({Control::asd_hour_txt}, m.Asd_hour);
    view.setText({Control::asd_min_txt}, m.Asd_min);
    view.setValue({Control::arb_chk}, m.Arb_flg == "1" ? 1 : 0);
    view.setText({Control::arb_hour_txt}, m.Arb_hour);
    view.setText({Control::arb_min_txt}, m.Arb_min);
    const std::int16_t cycle = textToInt16(m.Arb_int);
    if (cycle < 0 || cycle > 2) {
        throw VbError(kErrNoSuchElement,
                      "コントロール配列の要素 '" + std::to_string(cycle) + "' は存在しません。");
    }
    view.setValue({Control::arb_int, cycle}, 1);
    view.setText({Control::arbint_week_cb}, m.Arb_week);
    view.setText({Control::arbint_day_cb}, m.Arb_day);
}

void showWakeOnLan(Module1& m, SettingsView& view) {
    view.setText({Control::WOL_Port_txt}, m.WOL_Port);
    view.setText({Control::WOL_ReptNum_cb}, m.WOL_ReptNum);
    for (int g = 0; g < 5; ++g) {
        const auto u = static_cast<std::size_t>(g);
        const WOL_data& e = m.WOL_set[u];
        view.setValue({Control::WOL_chk, g}, textToInt16(e.Enable));
        view.setText({Control::WOL_PCtxt, g}, e.PCname);
        view.setText({Control::WOL_IPtxt, g}, e.IPaddr);
        for (int j = 0; j < 6; ++j)
            view.setText({Control::WOL_MAC_txt, g, j}, e.MAC[static_cast<std::size_t>(j)]);
        view.setText({Control::WOL_Time_txt, g}, e.WTime);
        m.pc_wol_caption[u] =
            m.WOL_valid[u] == 1 ? e.PCname + "起動" : "- WOL" + std::to_string(g + 1) + "無効 -";
        view.setTrayCaption(g, m.pc_wol_caption[u]);
    }
}

}  // namespace

std::string sysdatDamageMessage(bool wrongLength, bool invalidBytes) {
    std::string s = "システムデータ(system.dat)が壊れています！\r";
    if (wrongLength) s += "設定の数が正しくありません。足りない設定は空欄で表示します\r";
    if (invalidBytes) s += "読めない文字は「\xEF\xBF\xBD」で表示します\r";
    s += "ファイルは「更　新」で保存するまで変更しません";
    return s;
}

std::string sysdatTooLargeMessage() {
    return "システムデータ(system.dat)が壊れています！\rファイルが大きすぎます（最大" +
           std::to_string(kSysdatFileBytes) +
           " byte）\r設定は読み込みません。ファイルは「更　新」で保存するまで変更しません";
}

bool Sysdat_read(Module1& m, SettingsView& view, SysdatMissing whenMissing) {
    try {
        if (whenMissing == SysdatMissing::WriteDefaults) writeDefaultsIfMissing(m.Sysdat_path);
        const SysdatContent c = readSysdatFile(m.Sysdat_path);
        tellDamage(m, c);
        if (c.tooLarge) return false;
        m.sysdat_loaded_bytes = c.bytes;
        readVariables(m, c);
        showCopyOptions(m, view);
        joinTimes(m);
        showSchedule(m, view);
        showFolderPairs(m, view);
        showPcFunctions(m, view);
        showWakeOnLan(m, view);
        m.Chg_flg = 0;
        return true;
    } catch (const VbError& e) {
        m.cmn.Err_Msg("Sysdat_read", e);
        return false;
    }
}

}  // namespace vornel
