#include "app/pages/wol_page.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/pages/control_naming.h"
#include "app/pages/typed_combo.h"

namespace vornel {

WolPage::WolPage(QWidget* parent) : SettingsPage(parent) {
    auto* frame = new QGroupBox(QStringLiteral("Wake On Lan設定"), this);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(4);
    addHeaders(grid, frame);
    std::vector<QWidget*> tabs;
    for (int g = 0; g < 5; ++g) addEntry(grid, frame, g, tabs);
    QLayout* bottom = sendOptions(frame, tabs);
    tabOrder(tabs);
    frameAtTop(this, frame, grid, 8, bottom);
    wire();
}

void WolPage::addHeaders(QGridLayout* grid, QWidget* frame) {
    const QString headers[] = {QStringLiteral("有効"), QStringLiteral("PC名(任意)"),
                               QStringLiteral("IPｱﾄﾞﾚｽ"), QStringLiteral("MACｱﾄﾞﾚｽ"),
                               QStringLiteral("時間(hh:mm)")};
    const int headerColumn[] = {0, 1, 2, 3, 9};
    for (int i = 0; i < 5; ++i) {
        grid->addWidget(new QLabel(headers[i], frame), 0, headerColumn[i], 1, i == 3 ? 6 : 1);
    }
}

void WolPage::addEntry(QGridLayout* grid, QWidget* frame, int g, std::vector<QWidget*>& tabs) {
    const auto u = static_cast<std::size_t>(g);
    const QString entry = QStringLiteral("Wake On Lan設定%1 ").arg(g + 1);
    WOL_chk[u] = controlNamed(new QCheckBox(frame), QStringLiteral("WOL_chk"), g,
                              entry + QStringLiteral("有効"));
    WOL_PCtxt[u] = controlNamed(new QLineEdit(frame), QStringLiteral("WOL_PCtxt"), g,
                                entry + QStringLiteral("PC名"));
    WOL_IPtxt[u] = controlNamed(new QLineEdit(frame), QStringLiteral("WOL_IPtxt"), g,
                                entry + QStringLiteral("IPｱﾄﾞﾚｽ"));
    WOL_Time_txt[u] = controlNamed(new QLineEdit(frame), QStringLiteral("WOL_Time_txt"), g,
                                   entry + QStringLiteral("時間"));
    WOL_PCtxt[u]->setMinimumWidth(110);
    WOL_IPtxt[u]->setMinimumWidth(110);
    WOL_Time_txt[u]->setFixedWidth(64);
    grid->addWidget(WOL_chk[u], g + 1, 0, Qt::AlignHCenter);
    grid->addWidget(WOL_PCtxt[u], g + 1, 1);
    grid->addWidget(WOL_IPtxt[u], g + 1, 2);
    for (int j = 0; j < 6; ++j) {
        QLineEdit*& mac = WOL_MAC_txt[u][static_cast<std::size_t>(j)];
        mac = controlNamed(new QLineEdit(frame), QStringLiteral("WOL_MAC%1_txt").arg(g), j,
                           entry + QStringLiteral("MACｱﾄﾞﾚｽ(%1)").arg(j + 1));
        mac->setFixedWidth(36);
        grid->addWidget(mac, g + 1, 3 + j);
    }
    grid->addWidget(WOL_Time_txt[u], g + 1, 9);
    tabs.insert(tabs.end(), {WOL_chk[u], WOL_PCtxt[u], WOL_IPtxt[u]});
    tabs.insert(tabs.end(), WOL_MAC_txt[u].begin(), WOL_MAC_txt[u].end());
    tabs.push_back(WOL_Time_txt[u]);
}

QLayout* WolPage::sendOptions(QWidget* frame, std::vector<QWidget*>& tabs) {
    WOL_Port_txt = controlNamed(new QLineEdit(frame), QStringLiteral("WOL_Port_txt"), -1,
                                QStringLiteral("送信ﾎﾟｰﾄ番号"));
    WOL_Port_txt->setFixedWidth(72);
    WOL_ReptNum_cb = controlNamed(typedCombo(frame), QStringLiteral("WOL_ReptNum_cb"), -1,
                                  QStringLiteral("ﾏｼﾞｯｸﾊﾟｹｯﾄ送信回数"));
    auto* portLabel = new QLabel(QStringLiteral("送信ﾎﾟｰﾄ番号"), frame);
    auto* countLabel = new QLabel(QStringLiteral("ﾏｼﾞｯｸﾊﾟｹｯﾄ送信回数"), frame);
    portLabel->setBuddy(WOL_Port_txt);
    countLabel->setBuddy(WOL_ReptNum_cb);
    tabs.insert(tabs.end(), {WOL_Port_txt, WOL_ReptNum_cb});
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(portLabel);
    bottom->addWidget(WOL_Port_txt);
    bottom->addSpacing(24);
    bottom->addWidget(countLabel);
    bottom->addWidget(WOL_ReptNum_cb);
    bottom->addStretch();
    return bottom;
}

void WolPage::wire() {
    for (int g = 0; g < 5; ++g) {
        const auto u = static_cast<std::size_t>(g);
        watchCheck(WOL_chk[u]);
        watchText(WOL_PCtxt[u]);
        watchText(WOL_IPtxt[u]);
        watchText(WOL_Time_txt[u]);
        for (int j = 0; j < 6; ++j) {
            QLineEdit* mac = WOL_MAC_txt[u][static_cast<std::size_t>(j)];
            watchText(mac);
            watchLeaving(mac, BoxKind::Mac);
        }
    }
    watchText(WOL_Port_txt);
    watchCombo(WOL_ReptNum_cb);
}

void WolPage::fillLists() {
    QStringList counts;
    for (int n = 3; n <= 10; ++n) counts << QString::number(n);
    fillKeepingText(WOL_ReptNum_cb, counts);
}

}  // namespace vornel
