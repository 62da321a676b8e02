#include "app/menu.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/pages/control_naming.h"
#include "app/pages/copy_condition_page.h"
#include "app/pages/folder_pair_page.h"
#include "app/pages/history_page.h"
#include "app/pages/pc_functions_page.h"
#include "app/pages/start_events_page.h"
#include "app/pages/wol_page.h"

namespace vornel {

Menu::Menu(Module1& m, PlatformBackend& backend, QWidget* parent)
    : QWidget(parent), m_(m), cmn_(backend) {
    // The window shares the module's message text, where help failures leave theirs.
    cmn_.bindMessageText(&m_.Msg_str);
    setObjectName(QStringLiteral("Menu"));
    setWindowTitle(QString::fromStdString(m_.App_title));

    SSTab1 =
        controlNamed(new QTabWidget(this), QStringLiteral("SSTab1"), -1, QStringLiteral("設定"));
    // Every page caption stays whole and visible, as the window is sized to show them all.
    SSTab1->setUsesScrollButtons(false);
    SSTab1->setElideMode(Qt::ElideNone);
    SSTab1->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 4px 6px; }"));
    buildPages();

    auto button = [this](const char* name, const QString& caption) {
        return controlNamed(new QPushButton(caption, this), QString::fromLatin1(name), -1, caption);
    };
    bkup_bt = button("bkup_bt", QStringLiteral("ﾊﾞｯｸｱｯﾌﾟ開始"));
    bkup_exit_bt = button("bkup_exit_bt", QStringLiteral("ﾊﾞｯｸｱｯﾌﾟ後Windows終了"));
    ok_bt = button("ok_bt", QStringLiteral("更　新"));
    mini_bt = button("mini_bt", QStringLiteral("閉じる"));
    close_bt = button("close_bt", QStringLiteral("終　了"));
    histclr_bt = historyPage_->histclr_bt;
    // A save shows that it happened; the text goes again after a few seconds.
    saved_lbl = controlNamed(new QLabel(this), QStringLiteral("saved_lbl"), -1,
                             QStringLiteral("保存の結果"));
    saved_lbl->setTextFormat(Qt::PlainText);
    savedShown_ = new QTimer(this);
    savedShown_->setSingleShot(true);
    savedShown_->setInterval(4000);
    connect(savedShown_, &QTimer::timeout, saved_lbl, &QLabel::clear);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(bkup_bt);
    buttons->addWidget(bkup_exit_bt);
    buttons->addStretch();
    buttons->addWidget(saved_lbl);
    buttons->addWidget(ok_bt);
    buttons->addWidget(mini_bt);
    buttons->addWidget(close_bt);
    auto* top = new QVBoxLayout(this);
    top->addWidget(SSTab1);
    top->addLayout(buttons);

    connectHandlers();
}

Menu::~Menu() = default;

void Menu::buildPages() {
    for (int k = 0; k < 8; ++k) {
        folderPages_[static_cast<std::size_t>(k)] = new FolderPairPage(k, SSTab1);
        SSTab1->addTab(folderPages_[static_cast<std::size_t>(k)],
                       QStringLiteral("ﾌｫﾙﾀﾞ設定_%1").arg(k + 1));
    }
    copyPage_ = new CopyConditionPage(SSTab1);
    startPage_ = new StartEventsPage(SSTab1);
    historyPage_ = new HistoryPage(SSTab1);
    pcPage_ = new PcFunctionsPage(SSTab1);
    wolPage_ = new WolPage(SSTab1);
    SSTab1->addTab(copyPage_, QStringLiteral("ｺﾋﾟｰ条件"));
    SSTab1->addTab(startPage_, QStringLiteral("起動ｲﾍﾞﾝﾄ"));
    SSTab1->addTab(historyPage_, QStringLiteral("履歴"));
    SSTab1->addTab(pcPage_, QStringLiteral("PC補助機能"));
    SSTab1->addTab(wolPage_, QStringLiteral("Wake On Lan"));
}

void Menu::connectHandlers() {
    for (int t = 0; t < SSTab1->count(); ++t) {
        auto* page = static_cast<SettingsPage*>(SSTab1->widget(t));
        connect(page, &SettingsPage::edited, this, &Menu::markChanged);
        connect(
            page, &SettingsPage::boxLeft, this,
            [this, page](QLineEdit* box, SettingsPage::BoxKind kind) { boxLeft(page, box, kind); });
    }
    connectFolderPages();
    connectSwitches();
    connect(historyPage_, &HistoryPage::historyRequested, this, &Menu::recedit_bt_Click);

    // A click that takes the focus from a refused value is held back (eventFilter).
    for (QAbstractButton* b : findChildren<QAbstractButton*>()) b->installEventFilter(this);

    connect(SSTab1, &QTabWidget::currentChanged, this, &Menu::SSTab1_Click);
    connect(ok_bt, &QPushButton::clicked, this, &Menu::ok_bt_Click);
}

void Menu::connectFolderPages() {
    for (FolderPairPage* p : folderPages_)
        connect(p, &FolderPairPage::browseRequested, this, &Menu::refsrc_bt_Click);
}

void Menu::connectSwitches() {
    connect(startPage_, &StartEventsPage::startSwitched, this,
            [this](int value) { ctl_state(CtlGroup::StartShutdown, value); });
    connect(startPage_, &StartEventsPage::timerSwitched, this,
            [this](int value) { ctl_state(CtlGroup::Times, value); });
    connect(pcPage_, &PcFunctionsPage::shutdownSwitched, this,
            [this](int value) { ctl_state(CtlGroup::AutoShutdown, value); });
    connect(pcPage_, &PcFunctionsPage::restartSwitched, this,
            [this](int value) { ctl_state(CtlGroup::AutoRestart, value); });
    connect(pcPage_, &PcFunctionsPage::cycleChosen, this, &Menu::arb_int_Click);
}

void Menu::fillLists() {
    pcPage_->fillLists();
    wolPage_->fillLists();
}

}  // namespace vornel
