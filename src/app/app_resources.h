#pragma once

#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QWidget>

namespace vornel {

// The program's own icon (window, tray, About) and the splash logo, drawn as SVG.
QIcon programIcon();
QPixmap programLogo(const QSize& size);

// Puts `window` in the middle of the screen it is on (or the primary screen): top = screen
// height / 2 - window height / 2, left likewise.
void centreOnScreen(QWidget& window);

// The edition and maker lines the splash and the About window share.
inline const QString kEditionText = QStringLiteral("Linux 版 (Qt 6)");
inline const QString kMakerText = QStringLiteral("Vornel プロジェクト");

// A label with its control name; a heading (`pointSize` > 0) is bold in that size.
QLabel* namedLabel(QWidget* parent, const char* name, const QString& text = {}, int pointSize = 0);

}  // namespace vornel
