#include "settings/sysdat_fields.h"

namespace vornel {
namespace {

const char* const kSettingNo[] = {"設定１", "設定２", "設定３"};

std::string* wolField(WOL_data& e, int field) {
    switch (field) {
        case 0:
            return &e.Enable;
        case 1:
            return &e.PCname;
        case 2:
            return &e.IPaddr;
        case 9:
            return &e.WTime;
        default:
            return &e.MAC[static_cast<std::size_t>(field - 3)];
    }
}

}  // namespace

std::string* settingVariable(Module1& m, int i) {
    auto k = [](int v) { return static_cast<std::size_t>(v); };
    switch (i) {
        case 0:
            return &m.Copy_op;
        case 1:
            return &m.Start_flg;
        case 2:
            return &m.End_bkup;
        case 3:
            return &m.Timer_flg;
        case 4:
            return &m.Cp_skip;
        case 5:
            return &m.Rec_op;
        case 47:
            return &m.St_sdown;
        case 48:
            return &m.Asd_flg;
        case 49:
            return &m.Asd_hour;
        case 50:
            return &m.Asd_min;
        case 51:
            return &m.Arb_flg;
        case 52:
            return &m.Arb_hour;
        case 53:
            return &m.Arb_min;
        case 54:
            return &m.Arb_int;
        case 55:
            return &m.Arb_week;
        case 56:
            return &m.Arb_day;
        case 57:
            return &m.WOL_Port;
        case 58:
            return &m.WOL_ReptNum;
        case 59:
            return nullptr;
        default:
            break;
    }
    if (i >= 6 && i <= 8) return &m.Sdown_flg[k(i - 6)];
    if (i >= 9 && i <= 11) return &m.Tm_hour[k(i - 9)];
    if (i >= 12 && i <= 14) return &m.Tm_min[k(i - 12)];
    if (i >= 15 && i <= 22) return &m.Src_fld[k(i - 15)];
    if (i >= 23 && i <= 30) return &m.Dst_fld[k(i - 23)];
    if (i >= 31 && i <= 38) return &m.Subfld_flg[k(i - 31)];
    if (i >= 39 && i <= 46) return &m.Skip_flg[k(i - 39)];
    if (i >= 60 && i <= 109) return wolField(m.WOL_set[k((i - 60) / 10)], (i - 60) % 10);
    return nullptr;
}

std::optional<TextField> textFieldOf(int i) {
    if (i >= 9 && i <= 14) {
        const int t = (i - 9) % 3;
        const bool hour = i <= 11;
        return TextField{{hour ? Control::hour_txt : Control::min_txt, t},
                         Tab::StartEvents,
                         std::string(kSettingNo[t]) + (hour ? "の時間" : "の分")};
    }
    if (i >= 15 && i <= 30) {
        const int k = (i - 15) % 8;
        const bool src = i <= 22;
        return TextField{{src ? Control::srcfld_txt : Control::dstfld_txt, k},
                         folderPairTab(k),
                         "フォルダ設定" + std::to_string(k + 1) +
                             (src ? "のコピー元フォルダ" : "のコピー先フォルダ")};
    }
    switch (i) {
        case 49:
            return TextField{{Control::asd_hour_txt}, Tab::PcFunctions, "自動PCｼｬｯﾄﾀﾞｳﾝの時間"};
        case 50:
            return TextField{{Control::asd_min_txt}, Tab::PcFunctions, "自動PCｼｬｯﾄﾀﾞｳﾝの分"};
        case 52:
            return TextField{{Control::arb_hour_txt}, Tab::PcFunctions, "自動PC再起動の時間"};
        case 53:
            return TextField{{Control::arb_min_txt}, Tab::PcFunctions, "自動PC再起動の分"};
        case 55:
            return TextField{{Control::arbint_week_cb}, Tab::PcFunctions, "自動PC再起動の曜日"};
        case 56:
            return TextField{{Control::arbint_day_cb}, Tab::PcFunctions, "自動PC再起動の日"};
        case 57:
            return TextField{{Control::WOL_Port_txt}, Tab::WakeOnLan, "送信ﾎﾟｰﾄ番号"};
        case 58:
            return TextField{{Control::WOL_ReptNum_cb}, Tab::WakeOnLan, "ﾏｼﾞｯｸﾊﾟｹｯﾄ送信回数"};
        default:
            break;
    }
    if (i >= 60 && i <= 109) {
        const int g = (i - 60) / 10;
        const int field = (i - 60) % 10;
        const std::string entry = "Wake On Lan設定" + std::to_string(g + 1) + "の";
        switch (field) {
            case 0:
                return std::nullopt;
            case 1:
                return TextField{{Control::WOL_PCtxt, g}, Tab::WakeOnLan, entry + "PC名"};
            case 2:
                return TextField{{Control::WOL_IPtxt, g}, Tab::WakeOnLan, entry + "IPｱﾄﾞﾚｽ"};
            case 9:
                return TextField{{Control::WOL_Time_txt, g}, Tab::WakeOnLan, entry + "時間"};
            default:
                return TextField{{Control::WOL_MAC_txt, g, field - 3},
                                 Tab::WakeOnLan,
                                 entry + "MACｱﾄﾞﾚｽ(" + std::to_string(field - 2) + ")"};
        }
    }
    return std::nullopt;
}

}  // namespace vornel
