#pragma once

#include <QLabel>
#include <QWidget>

namespace vornel {

// The window that identifies the program for the two seconds the main window takes to load.
// Any key closes it early; the load goes on waiting regardless.
class frmSplash : public QWidget {
    Q_OBJECT
  public:
    explicit frmSplash(const QString& appVer, QWidget* parent = nullptr);

    QLabel* imgLogo;
    QLabel* lblProductName;
    QLabel* lblPlatform;
    QLabel* lblEdition;
    QLabel* lblCompany;

  protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void Form_Activate();

    QString appVer_;
};

}  // namespace vornel
