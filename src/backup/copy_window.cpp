#include "backup/copy_window.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTextDocument>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>

namespace vornel {
namespace {

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text = {}) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    // Names come from the disk and the settings: never markup.
    label->setTextFormat(Qt::PlainText);
    return label;
}

// A value label: a long path must not widen the window; it is cut in the middle instead.
QLabel* makeValue(QWidget* parent, const char* name) {
    QLabel* label = makeLabel(parent, name);
    label->setMinimumWidth(360);
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    return label;
}

// A name may hold line breaks and other control characters; on one line they show as their
// visible pictures (U+2400..U+241F, U+2421).
QString oneLine(const std::string& text) {
    QString s = QString::fromStdString(text);
    for (QChar& c : s) {
        if (c.unicode() < 0x20) c = QChar(0x2400 + c.unicode());
        if (c.unicode() == 0x7f) c = QChar(0x2421);
    }
    return s;
}

QString grouped(std::int64_t n) { return QLocale::c().toString(static_cast<qlonglong>(n)); }

}  // namespace

CopyWindow::CopyWindow(Module1& m, QWidget* parent) : QWidget(parent, Qt::Window), m_(m) {
    setObjectName("copydlg");
    setWindowTitle(QStringLiteral("Tamsel  バックアップ中 ．．．"));

    const char* names[kSlots] = {"srcfld", "dstfld", "subfld", "cpfname", "filesize"};
    for (int i = 0; i < kSlots; ++i)
        values_[static_cast<std::size_t>(i)].label = makeValue(this, names[i]);
    values_[kName].holdsLast = values_[kSize].holdsLast = true;
    // Under the value labels: what the run has done so far, and how far a big file is.
    runcount = makeLabel(this, "runcount");
    filebar = new QProgressBar(this);
    filebar->setObjectName("filebar");
    filebar->setRange(0, 1000);
    filebar->setTextVisible(false);
    QSizePolicy keepPlace = filebar->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);  // the window must not jump when it comes and goes
    filebar->setSizePolicy(keepPlace);
    filebar->hide();
    copyccl_bt = new QPushButton(QStringLiteral("中　止"), this);
    copyccl_bt->setObjectName("copyccl_bt");
    connect(copyccl_bt, &QPushButton::clicked, this, &CopyWindow::copyccl_bt_Click);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeLabel(this, "srcfld_lbl", QStringLiteral("コピー元フォルダ")));
    layout->addWidget(values_[kSrc].label);
    layout->addWidget(makeLabel(this, "dstfld_lbl", QStringLiteral("コピー先フォルダ")));
    layout->addWidget(values_[kDst].label);
    layout->addWidget(makeLabel(this, "subfld_lbl", QStringLiteral("<サブフォルダ>")));
    layout->addWidget(values_[kSub].label);
    auto* file = new QGridLayout;
    file->addWidget(makeLabel(this, "cpinfo_lvl", QStringLiteral("ファイル名")), 0, 0);
    file->addWidget(values_[kName].label, 0, 1);
    file->addWidget(makeLabel(this, "filesize_lbl", QStringLiteral("ファイルサイズ")), 1, 0);
    file->addWidget(values_[kSize].label, 1, 1);
    file->setColumnStretch(1, 1);
    layout->addLayout(file);
    layout->addWidget(filebar);
    layout->addWidget(runcount);
    layout->addWidget(copyccl_bt, 0, Qt::AlignHCenter);
}

void CopyWindow::showWindow() {
    // A run begins: its counts and its time start from nothing.
    counts_ = {};
    fileDone_ = fileSize_ = 0;
    runStart_ = m_.cmn.GetTickSeconds();
    if (!placed_) {
        centreOnScreen();
        placed_ = true;
    }
    keepAboveOwner();
    refresh();
    show();
    raise();
}

void CopyWindow::hideWindow() {
    refresh();
    hide();
}

// A window that belongs to the main window stays above it: clicking the settings window
// during a run does not bury the only way to stop it.
void CopyWindow::keepAboveOwner() {
    if (!owner_) return;
    owner_->winId();
    winId();
    if (windowHandle() && owner_->windowHandle())
        windowHandle()->setTransientParent(owner_->windowHandle());
}

void CopyWindow::set_srcfld(const std::string& text) { store(kSrc, text); }
void CopyWindow::set_dstfld(const std::string& text) { store(kDst, text); }
void CopyWindow::set_subfld(const std::string& text) { store(kSub, text); }
void CopyWindow::set_cpfname(const std::string& text) {
    fileDone_ = fileSize_ = 0;
    store(kName, text);
}
void CopyWindow::set_filesize(const std::string& text) { store(kSize, text); }

void CopyWindow::set_counts(const RunCounts& counts) {
    counts_ = counts;
    refreshIfDue();
}

void CopyWindow::set_fileProgress(std::int64_t done, std::int64_t size) {
    fileDone_ = done;
    fileSize_ = size;
    refreshIfDue();
}

void CopyWindow::store(Slot slot, const std::string& text) {
    Value& v = values_[slot];
    v.latest = text;
    if (v.holdsLast && !text.empty()) v.held = text;
    refreshIfDue();
}

void CopyWindow::refreshIfDue() {
    if (m_.cmn.GetTickSeconds() - lastUpdate_ >= kUpdateInterval) refresh();
}

void CopyWindow::refresh() {
    lastUpdate_ = m_.cmn.GetTickSeconds();
    for (Value& v : values_) {
        display(v, oneLine(v.latest.empty() ? v.held : v.latest));
        v.held.clear();
    }
    showProgress(lastUpdate_);
}

void CopyWindow::showProgress(double now) {
    const auto secs = static_cast<std::int64_t>(std::max(0.0, now - runStart_));
    runcount->setText(QStringLiteral("コピー済み %1 / 確認済み %2 ファイル　%3 byte　経過 %4:%5:%6")
                          .arg(grouped(counts_.filesCopied), grouped(counts_.filesChecked),
                               grouped(counts_.bytesCopied))
                          .arg(secs / 3600)
                          .arg(secs / 60 % 60, 2, 10, QChar('0'))
                          .arg(secs % 60, 2, 10, QChar('0')));
    const bool big = fileSize_ >= kBarFileSize && !values_[kName].latest.empty();
    if (big) filebar->setValue(static_cast<int>(fileDone_ * 1000 / fileSize_));
    filebar->setVisible(big);
}

void CopyWindow::display(Value& v, const QString& text) {
    if (text == v.shown) return;
    v.shown = text;
    elide(v);
}

void CopyWindow::elide(Value& v) {
    const QString cut = v.label->fontMetrics().elidedText(v.shown, Qt::ElideMiddle,
                                                          v.label->contentsRect().width());
    v.label->setText(cut);
    // Tool tips are read as markup when they look like it; the whole name goes in escaped.
    v.label->setToolTip(cut == v.shown ? QString() : Qt::convertFromPlainText(v.shown));
}

void CopyWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    for (Value& v : values_) elide(v);
}

void CopyWindow::copyccl_bt_Click() { m_.Cancel_flg = 1; }

void CopyWindow::closeEvent(QCloseEvent* event) {
    if (!event->spontaneous()) {
        event->accept();
        return;
    }
    event->ignore();
    copyccl_bt_Click();
}

void CopyWindow::centreOnScreen() {
    adjustSize();
    const QScreen* s = screen();
    if (!s) return;
    const QRect area = s->geometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
}

}  // namespace vornel
