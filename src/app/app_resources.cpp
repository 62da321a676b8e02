#include "app/app_resources.h"

#include <QGuiApplication>
#include <QIcon>
#include <QScreen>

// The pictures are compiled into the widget library; a static library drops resources nobody
// refers to, so they are registered on first use. The macro must be used outside a namespace.
static void registerPictures() {
    static const bool done = [] {
        Q_INIT_RESOURCE(app);
        return true;
    }();
    (void)done;
}

namespace vornel {

QIcon programIcon() {
    registerPictures();
    return QIcon(QStringLiteral(":/vornel/vornelnet.svg"));
}

QPixmap programLogo(const QSize& size) {
    registerPictures();
    return QIcon(QStringLiteral(":/vornel/logo.svg")).pixmap(size);
}

void centreOnScreen(QWidget& window) {
    QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->geometry();
    // The frame is not known before the window is first shown; its client size stands in.
    const QSize size = window.frameGeometry().size();
    window.move(area.x() + area.width() / 2 - size.width() / 2,
                area.y() + area.height() / 2 - size.height() / 2);
}

QLabel* namedLabel(QWidget* parent, const char* name, const QString& text, int pointSize) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    if (pointSize > 0) {
        QFont font = label->font();
        font.setPointSize(pointSize);
        font.setBold(true);
        label->setFont(font);
    }
    return label;
}

}  // namespace vornel
