#include "wol/wol_dialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>
#include <cmath>

namespace vornel {
namespace {

constexpr double kLifeSeconds = 5.0;
constexpr int kMargin = 16;
// Room for the title bar and border the window manager adds around the window.
constexpr int kFrameTop = 40;
constexpr int kFrameSide = 8;

}  // namespace

WOL_Dialog::WOL_Dialog(PlatformBackend& backend, std::function<QRect()> keepClear, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus),
      Label1(new QLabel(this)),
      Timer1(new QTimer(this)),
      cmn_(backend),
      created_(cmn_.GetTickSeconds()),
      keepClear_(std::move(keepClear)) {
    setObjectName(QStringLiteral("WOL_Dialog"));
    setWindowTitle(QStringLiteral("WakeOnLan"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);

    Label1->setObjectName(QStringLiteral("Label1"));
    // The PC name comes from the settings file.
    Label1->setTextFormat(Qt::PlainText);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 20);
    layout->addWidget(Label1);
    setMinimumSize(280, 90);
    setMaximumWidth(480);

    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setTimerType(Qt::PreciseTimer);
    connect(Timer1, &QTimer::timeout, this, &WOL_Dialog::Timer1_Timer);
    Timer1->start(static_cast<int>(kLifeSeconds * 1000));
}

void WOL_Dialog::showFor(const QString& pcName) {
    Label1->setText(pcName + QStringLiteral("を起動しました！"));
    cmn_.MsgBeep(cmn_.MB_Info);
    if (QWidget* active = QApplication::activeWindow(); active && active != this)
        previous_ = active;
    place();
    show();
    raise();
}

void WOL_Dialog::Timer1_Timer() {
    const double left = kLifeSeconds - (cmn_.GetTickSeconds() - created_);
    if (left <= 0) {
        close();
        return;
    }
    Timer1->start(static_cast<int>(std::ceil(left * 1000)));
}

void WOL_Dialog::closeEvent(QCloseEvent* event) {
    Label1->clear();
    QWidget::closeEvent(event);
}

bool WOL_Dialog::event(QEvent* event) {
    // Some window systems activate whatever is shown, whatever it asks for; the activation
    // goes straight back to where the user was.
    if (event->type() == QEvent::WindowActivate && previous_) previous_->activateWindow();
    return QWidget::event(event);
}

void WOL_Dialog::place() {
    adjustSize();
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const QRect avoid = keepClear_ ? keepClear_() : QRect();
    // Positions are those of the frame the window manager adds around the window.
    const QSize framed(width() + 2 * kFrameSide, height() + kFrameTop + kFrameSide);
    const int right = area.right() - framed.width() - kMargin;
    const int bottom = area.bottom() - framed.height() - kMargin;
    const int left = area.left() + kMargin;
    const int top = area.top() + kMargin;
    // The corners of the screen, where notices usually appear, in order of preference.
    for (const QPoint& corner :
         {QPoint(right, bottom), QPoint(right, top), QPoint(left, bottom), QPoint(left, top)}) {
        if (!QRect(corner, framed).intersects(avoid)) {
            move(corner);
            return;
        }
    }
    // A screen too small for any corner to be clear: just below the strip, or above it.
    const int below = avoid.bottom() + 1 + kMargin;
    move(right, below + framed.height() <= area.bottom() ? below
                                                         : avoid.top() - framed.height() - kMargin);
}

}  // namespace vornel
