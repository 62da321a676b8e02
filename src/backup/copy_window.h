#pragma once

#include <QPointer>
#include <QWidget>
#include <array>
#include <limits>

#include "backup/copy_progress.h"
#include "common/module_state.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace vornel {

// copydlg: shown for the whole of a backup run. Its "中　止" button only raises the cancel
// flag; the run stops at its next check.
//
// A run names every file it looks at, thousands a second; laying out text that often would
// cost more than the copy. The window keeps the latest texts and shows them at most every
// 50 ms (on the run's clock), so what the user sees is at most that old; the last file named
// in an interval is shown even when the run has already emptied the labels after it.
class CopyWindow : public QWidget, public CopyProgressSink {
    Q_OBJECT
  public:
    static constexpr double kUpdateInterval = 0.05;
    // A file at least this big gets a bar of its own progress.
    static constexpr std::int64_t kBarFileSize = 8 << 20;

    explicit CopyWindow(Module1& m, QWidget* parent = nullptr);

    // The main window, which this one is kept above while it is shown.
    void setOwner(QWidget* owner) { owner_ = owner; }

    void showWindow() override;
    void hideWindow() override;
    void set_srcfld(const std::string& text) override;
    void set_dstfld(const std::string& text) override;
    void set_subfld(const std::string& text) override;
    void set_cpfname(const std::string& text) override;
    void set_filesize(const std::string& text) override;
    void set_counts(const RunCounts& counts) override;
    void set_fileProgress(std::int64_t done, std::int64_t size) override;

    // Shows the latest texts now, whatever the interval.
    void refresh();

  protected:
    // The user's close box cannot take the window away during a run; it asks the run to stop.
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    // One value label: the latest text the run gave it and what it shows.
    struct Value {
        QLabel* label = nullptr;
        std::string latest;
        // The last non-empty text since the last update (file labels only): the run empties
        // them after every file, and an update must not show only those gaps.
        std::string held;
        bool holdsLast = false;
        QString shown;
    };
    enum Slot { kSrc, kDst, kSub, kName, kSize, kSlots };

    void store(Slot slot, const std::string& text);
    void refreshIfDue();
    void display(Value& v, const QString& text);
    void elide(Value& v);
    void showProgress(double now);
    void copyccl_bt_Click();
    void centreOnScreen();
    void keepAboveOwner();

    Module1& m_;
    bool placed_ = false;
    QPointer<QWidget> owner_;
    double lastUpdate_ = -std::numeric_limits<double>::infinity();
    std::array<Value, kSlots> values_;
    RunCounts counts_;
    double runStart_ = 0;
    std::int64_t fileDone_ = 0;
    std::int64_t fileSize_ = 0;
    QLabel* runcount;
    QProgressBar* filebar;
    QPushButton* copyccl_bt;
};

}  // namespace vornel
