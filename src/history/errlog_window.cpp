#include "history/errlog_window.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vornel {

ErrLogWindow::ErrLogWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("frmErrLog");
    setWindowTitle(QStringLiteral("エラーLog"));
    setAttribute(Qt::WA_DeleteOnClose);

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

void ErrLogWindowSink::append(const std::string& entry) {
    if (!window_) window_ = new ErrLogWindow;
    window_->show();
    window_->appendEntry(QString::fromStdString(entry));
}

}  // namespace vornel
