#include "settings/sysdat_fields.h"

#include <array>
#include <cstddef>

#include "settings/sysdat_file.h"

namespace vornel {
namespace {

using Variable = std::string& (*)(Module1& m, int element);
using Caption = std::string (*)(int element);

template <std::string Module1::*v>
std::string& single(Module1& m, int) {
    return m.*v;
}

template <auto v>
std::string& each(Module1& m, int k) {
    return (m.*v)[static_cast<std::size_t>(k)];
}

template <std::string WOL_data::*v>
std::string& wol(Module1& m, int g) {
    return m.WOL_set[static_cast<std::size_t>(g)].*v;
}

template <int j>
std::string& wolMac(Module1& m, int g) {
    return m.WOL_set[static_cast<std::size_t>(g)].MAC[j];
}

const char* const kSettingNo[] = {"設定１", "設定２", "設定３"};

std::string wolEntry(int g) { return "Wake On Lan設定" + std::to_string(g + 1) + "の"; }

template <int j>
std::string macCaption(int g) {
    return wolEntry(g) + "MACｱﾄﾞﾚｽ(" + std::to_string(j + 1) + ")";
}

// `count` records from `first`, `step` apart, for elements 0..count-1 of one variable.
// A run with a caption is typed by the user into `control` (element as its index).
struct RecordRun {
    int first;
    int count;
    int step;
    Variable variable;
    const char* defaultValue;
    Caption caption = nullptr;
    Control control = Control::mini_bt;
    int sub = 0;
};

// Every record in the order of the file. Wake-on-LAN entry g holds records 60 + 10g ..
// 69 + 10g: Enable, PC name, IP address, the six MAC bytes, time.
const RecordRun kRuns[] = {
    {0, 1, 1, single<&Module1::Copy_op>, "1"},  // only newer files overwrite
    {1, 1, 1, single<&Module1::Start_flg>, "0"},
    {2, 1, 1, single<&Module1::End_bkup>, "0"},
    {3, 1, 1, single<&Module1::Timer_flg>, "0"},
    {4, 1, 1, single<&Module1::Cp_skip>, "1"},
    {5, 1, 1, single<&Module1::Rec_op>, "1"},
    {6, 3, 1, each<&Module1::Sdown_flg>, "0"},
    {9, 3, 1, each<&Module1::Tm_hour>, "",
     [](int k) { return std::string(kSettingNo[k]) + "の時間"; }, Control::hour_txt},
    {12, 3, 1, each<&Module1::Tm_min>, "",
     [](int k) { return std::string(kSettingNo[k]) + "の分"; }, Control::min_txt},
    {15, 8, 1, each<&Module1::Src_fld>, "",
     [](int k) { return "フォルダ設定" + std::to_string(k + 1) + "のコピー元フォルダ"; },
     Control::srcfld_txt},
    {23, 8, 1, each<&Module1::Dst_fld>, "",
     [](int k) { return "フォルダ設定" + std::to_string(k + 1) + "のコピー先フォルダ"; },
     Control::dstfld_txt},
    {31, 8, 1, each<&Module1::Subfld_flg>, "1"},
    {39, 8, 1, each<&Module1::Skip_flg>, "0"},
    {47, 1, 1, single<&Module1::St_sdown>, "0"},
    {48, 1, 1, single<&Module1::Asd_flg>, "0"},
    {49, 1, 1, single<&Module1::Asd_hour>, "",
     [](int) -> std::string { return "自動PCｼｬｯﾄﾀﾞｳﾝの時間"; }, Control::asd_hour_txt},
    {50, 1, 1, single<&Module1::Asd_min>, "",
     [](int) -> std::string { return "自動PCｼｬｯﾄﾀﾞｳﾝの分"; }, Control::asd_min_txt},
    {51, 1, 1, single<&Module1::Arb_flg>, "0"},
    {52, 1, 1, single<&Module1::Arb_hour>, "",
     [](int) -> std::string { return "自動PC再起動の時間"; }, Control::arb_hour_txt},
    {53, 1, 1, single<&Module1::Arb_min>, "", [](int) -> std::string { return "自動PC再起動の分"; },
     Control::arb_min_txt},
    {54, 1, 1, single<&Module1::Arb_int>, "0"},
    {55, 1, 1, single<&Module1::Arb_week>, "日",
     [](int) -> std::string { return "自動PC再起動の曜日"; }, Control::arbint_week_cb},
    {56, 1, 1, single<&Module1::Arb_day>, "1",
     [](int) -> std::string { return "自動PC再起動の日"; }, Control::arbint_day_cb},
    {57, 1, 1, single<&Module1::WOL_Port>, "9", [](int) -> std::string { return "送信ﾎﾟｰﾄ番号"; },
     Control::WOL_Port_txt},
    {58, 1, 1, single<&Module1::WOL_ReptNum>, "3",
     [](int) -> std::string { return "ﾏｼﾞｯｸﾊﾟｹｯﾄ送信回数"; }, Control::WOL_ReptNum_cb},
    {59, 1, 1, nullptr, ""},
    {60, 5, 10, wol<&WOL_data::Enable>, "0"},
    {61, 5, 10, wol<&WOL_data::PCname>, "", [](int g) { return wolEntry(g) + "PC名"; },
     Control::WOL_PCtxt},
    {62, 5, 10, wol<&WOL_data::IPaddr>, "", [](int g) { return wolEntry(g) + "IPｱﾄﾞﾚｽ"; },
     Control::WOL_IPtxt},
    {63, 5, 10, wolMac<0>, "", macCaption<0>, Control::WOL_MAC_txt, 0},
    {64, 5, 10, wolMac<1>, "", macCaption<1>, Control::WOL_MAC_txt, 1},
    {65, 5, 10, wolMac<2>, "", macCaption<2>, Control::WOL_MAC_txt, 2},
    {66, 5, 10, wolMac<3>, "", macCaption<3>, Control::WOL_MAC_txt, 3},
    {67, 5, 10, wolMac<4>, "", macCaption<4>, Control::WOL_MAC_txt, 4},
    {68, 5, 10, wolMac<5>, "", macCaption<5>, Control::WOL_MAC_txt, 5},
    {69, 5, 10, wol<&WOL_data::WTime>, "", [](int g) { return wolEntry(g) + "時間"; },
     Control::WOL_Time_txt},
};

std::array<SysdatRecord, kSysdatRecords> expandRuns() {
    std::array<SysdatRecord, kSysdatRecords> records;
    for (const RecordRun& run : kRuns) {
        for (int k = 0; k < run.count; ++k) {
            SysdatRecord& r = records.at(static_cast<std::size_t>(run.first + k * run.step));
            r.variable = run.variable;
            r.element = k;
            r.defaultValue = run.defaultValue;
            if (!run.caption) continue;
            const ControlRef control{run.control, k, run.sub};
            r.field = TextField{control, *controlTab(control), run.caption(k)};
        }
    }
    return records;
}

}  // namespace

const SysdatRecord& sysdatRecord(int index) {
    static const std::array<SysdatRecord, kSysdatRecords> records = expandRuns();
    return records.at(static_cast<std::size_t>(index));
}

std::string* settingVariable(Module1& m, int index) {
    const SysdatRecord& r = sysdatRecord(index);
    return r.variable ? &r.variable(m, r.element) : nullptr;
}

std::optional<TextField> textFieldOf(int index) { return sysdatRecord(index).field; }

}  // namespace vornel
