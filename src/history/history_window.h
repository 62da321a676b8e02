#pragma once

#include <QFileSystemWatcher>
#include <QStringList>
#include <QWidget>
#include <functional>

#include "history/history_reader.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace vornel {

// The history viewer: history.txt decoded from code page 932, oldest line first and kept
// scrolled to the newest, followed as the file grows, is cleared or is replaced. The filter
// box narrows it to the lines holding a text; the text can be selected and copied, never
// edited. A button hands the file to the desktop's own editor.
class HistoryWindow : public QWidget {
    Q_OBJECT
  public:
    // `openInEditor` opens the file in the desktop's editor and reports a failure itself.
    HistoryWindow(const QString& path, std::function<void()> openInEditor,
                  QWidget* parent = nullptr);

    QLabel* status_lbl;
    QLineEdit* filter_txt;
    QPlainTextEdit* hist_txt;
    QPushButton* edit_bt;
    QPushButton* close_bt;

    // Reads what changed in the file since the last look; later slices of a large file are
    // read from the event loop.
    void refresh();

  signals:
    // Everything the file held at the last look is shown.
    void caughtUp();

  private:
    QLabel* buildControls();
    void layOut(QLabel* filterLabel);
    void watchFolder();
    void readSlice();
    void take(HistoryReader::Slice slice);
    void showNewLines();
    void reportIfCaughtUp();
    void removeShownTail();
    void applyFilter();
    void watchFile();
    void showStatus();
    bool matches(const QString& line) const;
    bool atBottom() const;

    HistoryReader reader_;
    QString path_;
    std::function<void()> openInEditor_;
    QFileSystemWatcher watcher_;
    QStringList lines_;
    QString tail_;
    qsizetype considered_ = 0;  // lines_ before this index have been shown if they match
    qsizetype shown_ = 0;       // lines in the text, a shown tail included
    int tailPosition_ = -1;     // where a shown tail starts in the text, -1 when none
    bool reading_ = false;
    bool lookAgain_ = false;
    bool showScheduled_ = false;
};

}  // namespace vornel
