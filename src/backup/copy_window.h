#pragma once

#include <QWidget>

#include "backup/copy_progress.h"
#include "settings/module_state.h"

class QLabel;
class QPushButton;

namespace vornel {

// copydlg: shown for the whole of a backup run. Its "中　止" button only raises the cancel
// flag; the run stops at its next check.
class CopyWindow : public QWidget, public CopyProgressSink {
    Q_OBJECT
  public:
    explicit CopyWindow(Module1& m, QWidget* parent = nullptr);

    void showWindow() override;
    void hideWindow() override;
    void set_srcfld(const std::string& text) override;
    void set_dstfld(const std::string& text) override;
    void set_subfld(const std::string& text) override;
    void set_cpfname(const std::string& text) override;
    void set_filesize(const std::string& text) override;

  protected:
    // The user's close box cannot take the window away during a run; it asks the run to stop.
    void closeEvent(QCloseEvent* event) override;

  private:
    void copyccl_bt_Click();
    void centreOnScreen();

    Module1& m_;
    bool placed_ = false;
    QLabel* srcfld;
    QLabel* dstfld;
    QLabel* subfld;
    QLabel* cpfname;
    QLabel* filesize;
    QPushButton* copyccl_bt;
};

}  // namespace vornel
