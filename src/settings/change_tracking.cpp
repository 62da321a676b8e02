#include "settings/change_tracking.h"

#include "common/platform.h"

namespace vornel {

std::int16_t chg_confirm(Module1& m) {
    m.Upd_flg = 0;
    if (m.Chg_flg != 1) return m.Upd_flg;
    m.Chg_flg = 0;
    m.Msg_str = "システムデータが変更されています\r更新しますか？";
    m.Msg_ans = m.cmn.Msg_Box(m.cmn.KindYn, m.Msg_str);
    if (m.Msg_ans == kAnsYes) m.Upd_flg = 1;
    return m.Upd_flg;
}

}  // namespace vornel
