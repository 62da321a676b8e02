#pragma once

#include <optional>
#include <string>

namespace vornel {

// The controls of the settings window that the load and the save read or fill.
enum class Control {
    srcfld_txt,
    dstfld_txt,
    subfld_chk,
    skip_chk,
    copy_op,
    cp_skip,
    start_chk,
    st_sdown,
    timer_chk,
    hour_txt,
    min_txt,
    sdown,
    rec_op,
    asd_chk,
    asd_hour_txt,
    asd_min_txt,
    arb_chk,
    arb_hour_txt,
    arb_min_txt,
    arb_int,
    arbint_week_cb,
    arbint_day_cb,
    WOL_Port_txt,
    WOL_ReptNum_cb,
    WOL_chk,
    WOL_PCtxt,
    WOL_IPtxt,
    WOL_MAC_txt,  // WOL_MAC0_txt .. WOL_MAC4_txt: index = entry, sub = byte
    WOL_Time_txt,
    mini_bt,
};

// The pages of the settings window; the number is the page's position among the tabs. The
// eight folder pairs come first, one page each.
enum class Tab : int {
    FolderPair1 = 0,
    CopyConditions = 8,
    StartEvents = 9,
    History = 10,
    PcFunctions = 11,
    WakeOnLan = 12,
};

// The page of folder pair k (0..7).
constexpr Tab folderPairTab(int k) { return static_cast<Tab>(k); }
constexpr int tabIndex(Tab tab) { return static_cast<int>(tab); }

// One control: its kind and its index in the control array.
struct ControlRef {
    Control control;
    int index = 0;
    int sub = 0;
    bool operator==(const ControlRef&) const = default;
};

// The object name of a control's widget: the control's name, then "_" and its index for the
// controls that come as an array. The MAC bytes of Wake-on-LAN entry g are "WOL_MAC<g>_txt",
// indexed by byte.
std::string controlName(ControlRef c);

// The page a control is on; nothing for the buttons below the pages.
std::optional<Tab> controlTab(ControlRef c);

// The settings window as the load and save procedures see it. Changing a control's content
// through this interface runs that control's own change or click handler, exactly as a user's
// edit does; setting a control to the value it already has runs nothing.
class SettingsView {
  public:
    virtual ~SettingsView() = default;

    // Text boxes and combo boxes.
    virtual std::string text(ControlRef c) = 0;
    virtual void setText(ControlRef c, const std::string& text) = 0;
    // Check boxes: 0 clear, 1 ticked, 2 grey. Option buttons: 1 selected, 0 not.
    virtual int value(ControlRef c) = 0;
    // Check boxes accept 0..2 and raise VbError 380 for anything else; for an option button
    // only 1 (select it) has an effect.
    virtual void setValue(ControlRef c, int value) = 0;

    virtual void setCaption(const std::string& caption) = 0;
    // Caption of the tray item that wakes Wake-on-LAN entry g.
    virtual void setTrayCaption(int g, const std::string& caption) = 0;
    virtual void showTab(Tab tab) = 0;
    virtual void focus(ControlRef c) = 0;
};

}  // namespace vornel
