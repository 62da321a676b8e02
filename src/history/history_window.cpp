#include "history/history_window.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTextCursor>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace vornel {
namespace {

// Lines looked at per turn of the event loop: a filter over a long history is applied a
// batch at a time, so typing in the filter box is never held up.
constexpr qsizetype kLinesPerTurn = 4000;

}  // namespace

HistoryWindow::HistoryWindow(const QString& path, std::function<void()> openInEditor,
                             QWidget* parent)
    : QWidget(parent, Qt::Window),
      reader_(path.toStdString()),
      path_(path),
      openInEditor_(std::move(openInEditor)) {
    setObjectName(QStringLiteral("frmHistory"));
    setWindowTitle(QStringLiteral("履歴表示"));
    setAttribute(Qt::WA_DeleteOnClose);

    QLabel* filterLabel = buildControls();
    layOut(filterLabel);
    watchFolder();
    refresh();
}

// Returns the filter box's label, which layOut places.
QLabel* HistoryWindow::buildControls() {
    status_lbl = new QLabel(this);
    status_lbl->setObjectName(QStringLiteral("status_lbl"));
    // The path is the user's, whatever characters it holds.
    status_lbl->setTextFormat(Qt::PlainText);
    status_lbl->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* filterLabel = new QLabel(QStringLiteral("絞り込み："), this);
    filter_txt = new QLineEdit(this);
    filter_txt->setObjectName(QStringLiteral("filter_txt"));
    filter_txt->setPlaceholderText(QStringLiteral("この文字を含む行だけを表示（例：[Fail]）"));
    filter_txt->setClearButtonEnabled(true);
    filterLabel->setBuddy(filter_txt);
    connect(filter_txt, &QLineEdit::textChanged, this, &HistoryWindow::applyFilter);

    hist_txt = new QPlainTextEdit(this);
    hist_txt->setObjectName(QStringLiteral("hist_txt"));
    hist_txt->setReadOnly(true);
    hist_txt->setLineWrapMode(QPlainTextEdit::NoWrap);
    hist_txt->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    edit_bt = new QPushButton(QStringLiteral("エディタで開く"), this);
    edit_bt->setObjectName(QStringLiteral("edit_bt"));
    connect(edit_bt, &QPushButton::clicked, this, [this] {
        if (openInEditor_) openInEditor_();
    });
    close_bt = new QPushButton(QStringLiteral("閉じる"), this);
    close_bt->setObjectName(QStringLiteral("close_bt"));
    connect(close_bt, &QPushButton::clicked, this, &QWidget::close);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    return filterLabel;
}

void HistoryWindow::layOut(QLabel* filterLabel) {
    auto* filterRow = new QHBoxLayout;
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(filter_txt, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(edit_bt);
    buttons->addStretch();
    buttons->addWidget(close_bt);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(status_lbl);
    layout->addLayout(filterRow);
    layout->addWidget(hist_txt, 1);
    layout->addLayout(buttons);
    resize(760, 440);
}

void HistoryWindow::watchFolder() {
    // The folder is watched too: a file that is replaced, or created after the window
    // opened, is a new file the watch on the old one never hears of.
    watcher_.addPath(QFileInfo(path_).absolutePath());
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &HistoryWindow::refresh);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &HistoryWindow::refresh);
}

void HistoryWindow::refresh() {
    if (reading_) {
        lookAgain_ = true;
        return;
    }
    reading_ = true;
    watchFile();
    readSlice();
}

void HistoryWindow::watchFile() {
    if (!watcher_.files().contains(path_) && QFileInfo::exists(path_)) watcher_.addPath(path_);
}

void HistoryWindow::readSlice() {
    HistoryReader::Slice slice = reader_.read();
    const bool more = slice.more;
    take(std::move(slice));
    showStatus();
    if (more) {
        // The rest follows from the event loop, so a long history never holds the window up.
        QTimer::singleShot(0, this, &HistoryWindow::readSlice);
        return;
    }
    reading_ = false;
    if (lookAgain_) {
        lookAgain_ = false;
        refresh();
        return;
    }
    reportIfCaughtUp();
}

void HistoryWindow::reportIfCaughtUp() {
    if (!reading_ && !showScheduled_ && considered_ == lines_.size()) emit caughtUp();
}

void HistoryWindow::take(HistoryReader::Slice slice) {
    if (slice.restart) {
        lines_.clear();
        tail_.clear();
        considered_ = 0;
        shown_ = 0;
        tailPosition_ = -1;
        hist_txt->clear();
    }
    lines_.reserve(lines_.size() + static_cast<qsizetype>(slice.lines.size()));
    for (const std::string& line : slice.lines) lines_.append(QString::fromStdString(line));
    tail_ = QString::fromStdString(slice.tail);
    showNewLines();
}

void HistoryWindow::showNewLines() {
    const bool follow = atBottom();
    removeShownTail();
    QStringList add;
    const qsizetype stop = std::min(lines_.size(), considered_ + kLinesPerTurn);
    for (; considered_ < stop; ++considered_) {
        if (matches(lines_[considered_])) add.append(lines_[considered_]);
    }
    QTextCursor end(hist_txt->document());
    end.movePosition(QTextCursor::End);
    // Inserted as text, never read as markup.
    if (!add.isEmpty()) {
        end.insertText((shown_ > 0 ? QStringLiteral("\n") : QString()) + add.join(QChar('\n')));
        shown_ += add.size();
    }
    if (considered_ < lines_.size()) {
        if (!showScheduled_) {
            showScheduled_ = true;
            QTimer::singleShot(0, this, [this] {
                showScheduled_ = false;
                showNewLines();
                showStatus();
                reportIfCaughtUp();
            });
        }
    } else if (!tail_.isEmpty() && matches(tail_)) {
        tailPosition_ = end.position();
        end.insertText((shown_ > 0 ? QStringLiteral("\n") : QString()) + tail_);
        ++shown_;
    }
    if (follow) hist_txt->verticalScrollBar()->setValue(hist_txt->verticalScrollBar()->maximum());
}

void HistoryWindow::removeShownTail() {
    if (tailPosition_ < 0) return;
    QTextCursor tail(hist_txt->document());
    tail.setPosition(tailPosition_);
    tail.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    tail.removeSelectedText();
    tailPosition_ = -1;
    --shown_;
}

void HistoryWindow::applyFilter() {
    hist_txt->clear();
    considered_ = 0;
    shown_ = 0;
    tailPosition_ = -1;
    showNewLines();
    hist_txt->verticalScrollBar()->setValue(hist_txt->verticalScrollBar()->maximum());
    showStatus();
    reportIfCaughtUp();
}

bool HistoryWindow::matches(const QString& line) const {
    const QString wanted = filter_txt->text();
    return wanted.isEmpty() || line.contains(wanted, Qt::CaseInsensitive);
}

bool HistoryWindow::atBottom() const {
    const QScrollBar* bar = hist_txt->verticalScrollBar();
    return bar->value() >= bar->maximum();
}

void HistoryWindow::showStatus() {
    switch (reader_.state()) {
        case HistoryReader::State::Missing:
            status_lbl->setText(QStringLiteral("履歴ファイルはまだありません：") + path_);
            return;
        case HistoryReader::State::Unreadable:
            status_lbl->setText(QStringLiteral("履歴ファイルを読めません：") + path_);
            return;
        case HistoryReader::State::Ok:
            break;
    }
    const qsizetype total = lines_.size() + (tail_.isEmpty() ? 0 : 1);
    const QString count = filter_txt->text().isEmpty()
                              ? QStringLiteral("%1 行").arg(total)
                              : QStringLiteral("%1 / %2 行").arg(shown_).arg(total);
    status_lbl->setText(path_ + QStringLiteral("　（") + count + QStringLiteral("）"));
}

}  // namespace vornel
