#include "settings/settings_view.h"

#include <cstddef>
#include <iterator>

namespace vornel {
namespace {

struct ControlInfo {
    const char* name;
    bool indexed;
    // The page; the controls of the folder pairs are on the page of their pair.
    std::optional<Tab> tab;
};

// In the order of Control.
constexpr ControlInfo kControls[] = {
    {"srcfld_txt", true, Tab::FolderPair1},
    {"dstfld_txt", true, Tab::FolderPair1},
    {"subfld_chk", true, Tab::FolderPair1},
    {"skip_chk", true, Tab::FolderPair1},
    {"copy_op", true, Tab::CopyConditions},
    {"cp_skip", true, Tab::CopyConditions},
    {"start_chk", false, Tab::StartEvents},
    {"st_sdown", false, Tab::StartEvents},
    {"timer_chk", false, Tab::StartEvents},
    {"hour_txt", true, Tab::StartEvents},
    {"min_txt", true, Tab::StartEvents},
    {"sdown", true, Tab::StartEvents},
    {"rec_op", true, Tab::History},
    {"asd_chk", false, Tab::PcFunctions},
    {"asd_hour_txt", false, Tab::PcFunctions},
    {"asd_min_txt", false, Tab::PcFunctions},
    {"arb_chk", false, Tab::PcFunctions},
    {"arb_hour_txt", false, Tab::PcFunctions},
    {"arb_min_txt", false, Tab::PcFunctions},
    {"arb_int", true, Tab::PcFunctions},
    {"arbint_week_cb", false, Tab::PcFunctions},
    {"arbint_day_cb", false, Tab::PcFunctions},
    {"WOL_Port_txt", false, Tab::WakeOnLan},
    {"WOL_ReptNum_cb", false, Tab::WakeOnLan},
    {"WOL_chk", true, Tab::WakeOnLan},
    {"WOL_PCtxt", true, Tab::WakeOnLan},
    {"WOL_IPtxt", true, Tab::WakeOnLan},
    {"WOL_MAC_txt", true, Tab::WakeOnLan},
    {"WOL_Time_txt", true, Tab::WakeOnLan},
    {"mini_bt", false, std::nullopt},
};
static_assert(std::size(kControls) == static_cast<std::size_t>(Control::mini_bt) + 1);

const ControlInfo& infoOf(Control c) { return kControls[static_cast<std::size_t>(c)]; }

}  // namespace

std::string controlName(ControlRef c) {
    if (c.control == Control::WOL_MAC_txt)
        return "WOL_MAC" + std::to_string(c.index) + "_txt_" + std::to_string(c.sub);
    const ControlInfo& info = infoOf(c.control);
    if (!info.indexed) return info.name;
    return std::string(info.name) + "_" + std::to_string(c.index);
}

std::optional<Tab> controlTab(ControlRef c) {
    const ControlInfo& info = infoOf(c.control);
    if (info.tab == Tab::FolderPair1) return folderPairTab(c.index);
    return info.tab;
}

}  // namespace vornel
