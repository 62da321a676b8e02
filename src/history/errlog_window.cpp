#include "history/errlog_window.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>
#include <algorithm>

namespace vornel {

ErrLogWindow::ErrLogWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("frmErrLog");
    setWindowTitle(QStringLiteral("エラーLog"));
    setAttribute(Qt::WA_DeleteOnClose);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::close);

    Log_txt = new QPlainTextEdit(this);
    Log_txt->setObjectName("Log_txt");
    Log_txt->setReadOnly(true);
    Log_txt->setLineWrapMode(QPlainTextEdit::NoWrap);

    LogClr = new QPushButton(QStringLiteral("ログ・クリア"), this);
    LogClr->setObjectName("LogClr");
    connect(LogClr, &QPushButton::clicked, Log_txt, &QPlainTextEdit::clear);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(LogClr);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Log_txt);
    layout->addLayout(buttons);
    resize(560, 320);
}

void ErrLogWindow::appendEntry(const QString& entry) {
    // The entries carry CR LF line ends; the text box keeps plain line breaks.
    QString text = entry;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QTextCursor end = Log_txt->textCursor();
    end.movePosition(QTextCursor::End);
    end.insertText(text);
    Log_txt->setTextCursor(end);
    Log_txt->ensureCursorVisible();
}

QString ErrLogWindow::logText() const { return Log_txt->toPlainText(); }

ErrLogWindowSink::~ErrLogWindowSink() { delete window_.data(); }

void ErrLogWindowSink::placeBeside(QWidget* main, QWidget* keepInSight) {
    main_ = main;
    keepInSight_ = keepInSight;
}

void ErrLogWindowSink::place() {
    if (!main_ || !main_->isVisible()) return;  // the desktop places it
    const QRect screen = main_->screen()->availableGeometry();
    const QRect f = main_->frameGeometry();
    const QSize s = window_->size();
    QPoint at(f.right() + 1, f.top());
    if (at.x() + s.width() > screen.right() + 1) at.setX(f.left() - s.width());
    if (at.x() < screen.left()) {
        const int below =
            keepInSight_ ? keepInSight_->mapToGlobal(QPoint(0, keepInSight_->height())).y() : 0;
        at = QPoint(f.center().x() - s.width() / 2,
                    std::max(f.center().y() - s.height() / 2, below));
    }
    // Whole on the screen, whatever room the main window leaves.
    at.setX(
        std::clamp(at.x(), screen.left(), std::max(screen.left(), screen.right() + 1 - s.width())));
    at.setY(
        std::clamp(at.y(), screen.top(), std::max(screen.top(), screen.bottom() + 1 - s.height())));
    window_->move(at);
}

void ErrLogWindowSink::append(const std::string& entry) {
    if (!window_) {
        window_ = new ErrLogWindow;
        window_->setAttribute(Qt::WA_ShowWithoutActivating);
        place();
    }
    window_->show();
    window_->appendEntry(QString::fromStdString(entry));
}

}  // namespace vornel
