#pragma once

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

namespace vornel {

// One folder pair (k = 0..7; the user sees k + 1): source and destination with their browse
// buttons, the two options of the pair and the button that clears it.
class FolderPairPage : public QWidget {
    Q_OBJECT
  public:
    FolderPairPage(int k, QWidget* parent = nullptr);

    QLineEdit* srcfld_txt;
    QLineEdit* dstfld_txt;
    QPushButton* refsrc_src;  // refsrc_bt(2k)
    QPushButton* refsrc_dst;  // refsrc_bt(2k + 1)
    QCheckBox* subfld_chk;
    QCheckBox* skip_chk;
    QPushButton* set_clr_bt;
};

}  // namespace vornel
