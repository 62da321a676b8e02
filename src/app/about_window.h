#pragma once

#include <QLabel>
#include <QPushButton>
#include <QWidget>

namespace vornel {

// Version information of the program. It never blocks the main window or the tray menus.
class frmAbout : public QWidget {
    Q_OBJECT
  public:
    explicit frmAbout(const QString& appVer, QWidget* parent = nullptr);

    QLabel* picIcon;
    QLabel* lblTitle;
    QLabel* lbl_ver;
    QLabel* lblPlatform;
    QLabel* lblDescription;
    QLabel* lblEdition;
    QLabel* lblLicence;
    QLabel* lblCompany;
    QPushButton* cmdOK;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void makeLabels(const QString& appVer);
    void makeOkButton();
    void layOut();
};

}  // namespace vornel
