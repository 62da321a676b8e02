#include "settings/sysdat_save.h"

#include <sys/stat.h>

#include <cerrno>
#include <vector>

#include "common/cp932.h"
#include "common/errors.h"
#include "settings/field_checks.h"
#include "settings/sysdat_fields.h"
#include "settings/sysdat_file.h"
#include "settings/sysdat_read.h"

namespace vornel {
namespace {

class Save {
  public:
    Save(Module1& m, KvCmn15& cmn, SettingsView& view) : m_(m), cmn_(cmn), view_(view) {}

    bool run() {
        if (m_.copydlg_visible()) {
            tell("バックアップ実行中です！\r終了後更新して下さい");
            return false;
        }
        if (!pairsComplete() || !timesComplete() || !wakeOnLanComplete() || !fieldsValid() ||
            !valuesStorable()) {
            return false;
        }
        for (std::size_t k = 0; k < 8; ++k) {
            m_.Src_fld[k] = view_.text({Control::srcfld_txt, static_cast<int>(k)});
            m_.Dst_fld[k] = view_.text({Control::dstfld_txt, static_cast<int>(k)});
        }
        checkFolders();
        controlsIntoVariables();
        writeSysdatFile(m_.Sysdat_path, buildSysdatImage(recordBytes()));
        cmn_.Wait(0.3F);
        const bool loaded = Sysdat_read(m_, view_);
        view_.focus({Control::mini_bt});
        return loaded;
    }

  private:
    std::string text(Control c, int index = 0, int sub = 0) { return view_.text({c, index, sub}); }
    bool ticked(Control c, int index = 0) { return view_.value({c, index}) == 1; }
    std::string flag(Control c, int index = 0) { return ticked(c, index) ? "1" : "0"; }

    void tell(const std::string& message) {
        m_.Msg_str = message;
        m_.Msg_ans = cmn_.Msg_Box(cmn_.KindErr, m_.Msg_str);
    }

    void refuse(const std::string& message, Tab tab, ControlRef field) {
        tell(message);
        view_.showTab(tab);
        view_.focus(field);
    }

    bool pairsComplete() {
        for (int k = 0; k < 8; ++k) {
            const bool src = text(Control::srcfld_txt, k).empty();
            const bool dst = text(Control::dstfld_txt, k).empty();
            if (src != dst) {
                refuse("フォルダ設定" + std::to_string(k + 1) + "に空文字列が含まれてます！",
                       folderPairTab(k), {Control::srcfld_txt, k});
                return false;
            }
        }
        return true;
    }

    bool timesComplete() {
        if (ticked(Control::timer_chk)) {
            for (int t = 0; t < 3; ++t) {
                const bool hour = text(Control::hour_txt, t).empty();
                const bool min = text(Control::min_txt, t).empty();
                // The first time must be complete; the others may be left out entirely.
                if (t == 0 ? (hour || min) : (hour != min)) {
                    refuse("開始時間を入力して下さい！", Tab::StartEvents, {Control::hour_txt, t});
                    return false;
                }
            }
        }
        if (ticked(Control::asd_chk) &&
            (text(Control::asd_hour_txt).empty() || text(Control::asd_min_txt).empty())) {
            refuse("自動PCシャットダウンの時間を入力して下さい！", Tab::PcFunctions,
                   {Control::asd_hour_txt});
            return false;
        }
        if (ticked(Control::arb_chk) &&
            (text(Control::arb_hour_txt).empty() || text(Control::arb_min_txt).empty())) {
            refuse("自動PC再起動の時間を入力して下さい！", Tab::PcFunctions,
                   {Control::arb_hour_txt});
            return false;
        }
        return true;
    }

    bool wakeOnLanComplete() {
        for (int g = 0; g < 5; ++g) {
            if (!ticked(Control::WOL_chk, g)) continue;
            bool missing = text(Control::WOL_PCtxt, g).empty() ||
                           text(Control::WOL_IPtxt, g).empty() ||
                           text(Control::WOL_Time_txt, g).empty();
            for (int j = 0; j < 6 && !missing; ++j)
                missing = text(Control::WOL_MAC_txt, g, j).empty();
            missing = missing || text(Control::WOL_Port_txt).empty() ||
                      text(Control::WOL_ReptNum_cb).empty();
            if (missing) {
                refuse("WakeOnLanの設定が全て入力されてません！", Tab::WakeOnLan,
                       {Control::WOL_PCtxt, g});
                return false;
            }
        }
        return true;
    }

    // A time or MAC box can still hold a value its own check refuses when the focus never
    // left it (the tray's quit item saves, too). Such a value is never stored: the save
    // stops with that check's message at that box. Times count only while their group is
    // ticked; unticked, the box cannot take the focus and its time is never used.
    bool fieldsValid() {
        struct Time {
            Control group;
            Control control;
            int index;
            int largest;
            const char* message;
            Tab tab;
        };
        std::vector<Time> times;
        for (int k = 0; k < 3; ++k) {
            times.push_back({Control::timer_chk, Control::hour_txt, k, kLargestHour,
                             kHourOutOfRange, Tab::StartEvents});
            times.push_back({Control::timer_chk, Control::min_txt, k, kLargestMinute,
                             kMinuteOutOfRange, Tab::StartEvents});
        }
        times.push_back({Control::asd_chk, Control::asd_hour_txt, 0, kLargestHour, kHourOutOfRange,
                         Tab::PcFunctions});
        times.push_back({Control::asd_chk, Control::asd_min_txt, 0, kLargestMinute,
                         kMinuteOutOfRange, Tab::PcFunctions});
        times.push_back({Control::arb_chk, Control::arb_hour_txt, 0, kLargestHour, kHourOutOfRange,
                         Tab::PcFunctions});
        times.push_back({Control::arb_chk, Control::arb_min_txt, 0, kLargestMinute,
                         kMinuteOutOfRange, Tab::PcFunctions});
        for (const Time& t : times) {
            if (ticked(t.group) && !checkTimeText(text(t.control, t.index), t.largest).ok) {
                refuse(t.message, t.tab, {t.control, t.index});
                return false;
            }
        }
        for (int g = 0; g < 5; ++g) {
            for (int j = 0; j < 6; ++j) {
                const std::string mac = text(Control::WOL_MAC_txt, g, j);
                if (!mac.empty() && cmn_.LenByte(mac) != 2) {
                    refuse(kMacLengthWrong, Tab::WakeOnLan, {Control::WOL_MAC_txt, g, j});
                    return false;
                }
            }
        }
        return true;
    }

    // The bytes a value is stored as: an unchanged value keeps the bytes it was loaded from.
    std::optional<std::string> storedBytes(int index, const std::string& value) {
        const std::string& loaded = m_.sysdat_loaded_bytes[static_cast<std::size_t>(index)];
        if (cp932::decode(loaded).utf8 == value) return loaded;
        ValueEncoding e = encodeSysdatValue(value);
        if (e.status != ValueEncoding::Ok) return std::nullopt;
        return e.bytes;
    }

    // A record holds 256 bytes of code page 932 text. A value that does not fit is refused
    // here, before anything changes, rather than stored cut or with characters replaced.
    bool valuesStorable() {
        for (int i = 0; i < kSysdatRecords; ++i) {
            const std::optional<TextField> f = textFieldOf(i);
            if (!f) continue;
            const std::string value = view_.text(f->control);
            if (!storedBytes(i, value)) {
                const ValueEncoding e = encodeSysdatValue(value);
                if (e.status == ValueEncoding::Unrepresentable) {
                    refuse(f->name + "に保存できない文字が含まれてます！\r文字 = " + e.badChar,
                           f->tab, f->control);
                } else {
                    refuse(f->name + "が長すぎます！\rLen = " + std::to_string(e.length) +
                               " byte（最大" + std::to_string(kSysdatValueBytes) + " byte）",
                           f->tab, f->control);
                }
                return false;
            }
        }
        return true;
    }

    // A folder text that does not start at the root names no folder a run can use (a run
    // reports it missing); it is only a warning, like a missing source, because the text may
    // be one the user never touched (loaded with leading blanks, or from another machine).
    bool warnIfRelative(const std::string& path, const char* side, ControlRef field) {
        if (path.empty() || path[0] == '/') return false;
        refuse(std::string(side) + "が / から始まるフルパスではありません！\r" + path +
                   "\rLen = " + std::to_string(cmn_.LenByte(path)) + " byte",
               folderPairTab(field.index), field);
        return true;
    }

    void checkFolders() {
        for (int k = 0; k < 8; ++k) {
            const std::string& src = m_.Src_fld[static_cast<std::size_t>(k)];
            if (!warnIfRelative(src, "コピー元フォルダ", {Control::srcfld_txt, k}) &&
                !src.empty() && cmn_.Search_path(src) == KvCmn15::kFalse) {
                refuse("コピー元フォルダが見つかりません！\r" + src +
                           "\rLen = " + std::to_string(cmn_.LenByte(src)) + " byte",
                       folderPairTab(k), {Control::srcfld_txt, k});
            }
            const std::string& dst = m_.Dst_fld[static_cast<std::size_t>(k)];
            // No folder is ever made from a relative text: where would it go?
            if (warnIfRelative(dst, "コピー先フォルダ", {Control::dstfld_txt, k})) continue;
            if (!dst.empty() && cmn_.Search_path(dst) == KvCmn15::kFalse) {
                m_.Msg_str = "コピー先フォルダが見つかりません！\r" + dst + " を新規作成しますか？";
                m_.Msg_ans = cmn_.Msg_Box(cmn_.KindOkc, m_.Msg_str);
                if (m_.Msg_ans == kAnsOk) {
                    if (::mkdir(dst.c_str(), 0777) != 0) raiseErrno(errno, true);
                } else {
                    view_.showTab(folderPairTab(k));
                    view_.focus({Control::dstfld_txt, k});
                }
            }
        }
    }

    void controlsIntoVariables() {
        if (ticked(Control::copy_op, 0)) m_.Copy_op = "0";
        if (ticked(Control::copy_op, 1)) m_.Copy_op = "1";
        m_.Cp_skip = ticked(Control::cp_skip, 0) ? "1" : "0";
        m_.Start_flg = flag(Control::start_chk);
        m_.St_sdown = flag(Control::st_sdown);
        m_.Timer_flg = flag(Control::timer_chk);
        if (ticked(Control::rec_op, 0)) m_.Rec_op = "0";
        if (ticked(Control::rec_op, 1)) m_.Rec_op = "1";
        for (int k = 0; k < 8; ++k) {
            m_.Subfld_flg[static_cast<std::size_t>(k)] = flag(Control::subfld_chk, k);
            m_.Skip_flg[static_cast<std::size_t>(k)] = flag(Control::skip_chk, k);
        }
        for (int k = 0; k < 3; ++k)
            m_.Sdown_flg[static_cast<std::size_t>(k)] = flag(Control::sdown, k);
        m_.Asd_flg = flag(Control::asd_chk);
        m_.Arb_flg = std::to_string(view_.value({Control::arb_chk}));
        for (int g = 0; g < 5; ++g) {
            m_.WOL_set[static_cast<std::size_t>(g)].Enable =
                std::to_string(view_.value({Control::WOL_chk, g}));
        }
        for (int i = 0; i < kSysdatRecords; ++i) {
            if (const std::optional<TextField> f = textFieldOf(i))
                *settingVariable(m_, i) = view_.text(f->control);
        }
    }

    SysdatRecords recordBytes() {
        SysdatRecords bytes;
        for (int i = 0; i < kSysdatRecords; ++i) {
            const std::string* v = settingVariable(m_, i);
            if (!v) continue;  // the reserved record stays empty
            std::optional<std::string> b = storedBytes(i, *v);
            // Every typed value passed the check above and the others are digits; should one
            // still not fit, the save stops with a report instead of storing it changed.
            if (!b) raiseError(kErrInvalidCall);
            bytes[static_cast<std::size_t>(i)] = std::move(*b);
        }
        return bytes;
    }

    Module1& m_;
    KvCmn15& cmn_;
    SettingsView& view_;
};

}  // namespace

bool ok_bt_Click(Module1& m, KvCmn15& cmn, SettingsView& view) {
    try {
        return Save(m, cmn, view).run();
    } catch (const VbError& e) {
        cmn.Err_Msg("ok_bt_Click", e);
        return false;
    }
}

}  // namespace vornel
