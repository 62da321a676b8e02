#pragma once

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "app/pages/settings_page.h"

namespace vornel {

// One folder pair (k = 0..7; the user sees k + 1): source and destination with their browse
// buttons, the two options of the pair and the button that clears it.
class FolderPairPage : public SettingsPage {
    Q_OBJECT
  public:
    FolderPairPage(int k, QWidget* parent = nullptr);

    // "設定ｸﾘｱ": empties both folders and clears both options of the pair.
    void set_clr_bt_Click();

    QLineEdit* srcfld_txt;
    QLineEdit* dstfld_txt;
    QPushButton* refsrc_src;  // refsrc_bt(2k)
    QPushButton* refsrc_dst;  // refsrc_bt(2k + 1)
    QCheckBox* subfld_chk;
    QCheckBox* skip_chk;
    QPushButton* set_clr_bt;

  signals:
    // A browse button was pressed: `index` is 2k for the source, 2k + 1 for the destination.
    void browseRequested(int index);

  private:
    int k_;
};

}  // namespace vornel
