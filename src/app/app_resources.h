#pragma once

#include <QIcon>
#include <QPixmap>
#include <QWidget>

namespace vornel {

// The program's own icon (window, tray, About) and the splash logo, drawn as SVG.
QIcon programIcon();
QPixmap programLogo(const QSize& size);

// Puts `window` in the middle of the screen it is on (or the primary screen): top = screen
// height / 2 - window height / 2, left likewise.
void centreOnScreen(QWidget& window);

}  // namespace vornel
