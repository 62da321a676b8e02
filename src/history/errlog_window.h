#pragma once

#include <QPointer>
#include <QWidget>

#include "history/errlog_sink.h"

class QPlainTextEdit;
class QPushButton;

namespace vornel {

// frmErrLog: collects the problems a backup run met. Its text lives only in the window;
// closing it discards the window and its entries.
class ErrLogWindow : public QWidget {
    Q_OBJECT
  public:
    explicit ErrLogWindow(QWidget* parent = nullptr);

    void appendEntry(const QString& entry);
    QString logText() const;

  private:
    QPlainTextEdit* Log_txt;
    QPushButton* LogClr;
};

// The error log as the backup engine sees it: opens a fresh window when none is open.
class ErrLogWindowSink : public ErrLogSink {
  public:
    ErrLogWindowSink() = default;
    ErrLogWindowSink(const ErrLogWindowSink&) = delete;
    ErrLogWindowSink& operator=(const ErrLogWindowSink&) = delete;
    ~ErrLogWindowSink() override;
    void append(const std::string& entry) override;
    // A new window opens beside `main` where the screen has room, else over its middle but
    // below `keepInSight` (the page tabs), and never takes the focus from what the user is
    // typing in.
    void placeBeside(QWidget* main, QWidget* keepInSight);
    // The open window, or null.
    ErrLogWindow* window() const { return window_; }

  private:
    void place();

    QPointer<ErrLogWindow> window_;
    QPointer<QWidget> main_;
    QPointer<QWidget> keepInSight_;
};

}  // namespace vornel
