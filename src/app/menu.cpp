#include "app/menu.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
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
        designNamed(new QTabWidget(this), QStringLiteral("SSTab1"), -1, QStringLiteral("設定"));
    // Every page caption stays whole and visible, as the window is sized to show them all.
    SSTab1->setUsesScrollButtons(false);
    SSTab1->setElideMode(Qt::ElideNone);
    SSTab1->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 4px 6px; }"));
    buildPages();

    auto button = [this](const char* name, const QString& caption) {
        return designNamed(new QPushButton(caption, this), QString::fromLatin1(name), -1, caption);
    };
    bkup_bt = button("bkup_bt", QStringLiteral("ﾊﾞｯｸｱｯﾌﾟ開始"));
    bkup_exit_bt = button("bkup_exit_bt", QStringLiteral("ﾊﾞｯｸｱｯﾌﾟ後Windows終了"));
    ok_bt = button("ok_bt", QStringLiteral("更　新"));
    mini_bt = button("mini_bt", QStringLiteral("閉じる"));
    close_bt = button("close_bt", QStringLiteral("終　了"));
    histclr_bt = historyPage_->histclr_bt;
    // A save shows that it happened; the text goes again after a few seconds.
    saved_lbl = designNamed(new QLabel(this), QStringLiteral("saved_lbl"), -1,
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
    auto onText = [this](QLineEdit* box) {
        connect(box, &QLineEdit::textChanged, this, &Menu::markChanged);
    };
    auto onCombo = [this](QComboBox* cb) {
        connect(cb, &QComboBox::currentTextChanged, this, &Menu::markChanged);
    };
    auto onCheck = [this](QCheckBox* box, void (Menu::*handler)()) {
        connect(box, &QCheckBox::stateChanged, this, handler);
        // A grey state comes only from a stored value; clicks go between clear and ticked.
        connect(box, &QCheckBox::stateChanged, box, [box](int state) {
            if (state != Qt::PartiallyChecked) box->setTristate(false);
        });
    };
    auto onOption = [this](QRadioButton* option, std::function<void()> handler) {
        connect(option, &QRadioButton::toggled, this, [handler](bool on) {
            if (on) handler();
        });
    };

    for (int k = 0; k < 8; ++k) {
        FolderPairPage* p = folderPage(k);
        onText(p->srcfld_txt);
        onText(p->dstfld_txt);
        onCheck(p->subfld_chk, &Menu::markChanged);
        onCheck(p->skip_chk, &Menu::markChanged);
        connect(p->refsrc_src, &QPushButton::clicked, this, [this, k] { refsrc_bt_Click(2 * k); });
        connect(p->refsrc_dst, &QPushButton::clicked, this,
                [this, k] { refsrc_bt_Click(2 * k + 1); });
        connect(p->set_clr_bt, &QPushButton::clicked, this, [this, k] { set_clr_bt_Click(k); });
    }
    for (QRadioButton* o : copyPage_->copy_op) onOption(o, [this] { markChanged(); });
    for (QRadioButton* o : copyPage_->cp_skip) onOption(o, [this] { markChanged(); });
    for (QRadioButton* o : historyPage_->rec_op) onOption(o, [this] { markChanged(); });
    connect(historyPage_->recedit_bt, &QPushButton::clicked, this, &Menu::recedit_bt_Click);

    StartEventsPage* s = startPage_;
    onCheck(s->start_chk, &Menu::start_chk_Click);
    onCheck(s->st_sdown, &Menu::markChanged);
    onCheck(s->timer_chk, &Menu::timer_chk_Click);
    for (int k = 0; k < 3; ++k) {
        const auto u = static_cast<std::size_t>(k);
        onText(s->hour_txt[u]);
        onText(s->min_txt[u]);
        onCheck(s->sdown[u], &Menu::markChanged);
        watchLeaving(s->hour_txt[u], [this, k] { hour_txt_LostFocus(k); });
        watchLeaving(s->min_txt[u], [this, k] { min_txt_LostFocus(k); });
    }

    PcFunctionsPage* p = pcPage_;
    onCheck(p->asd_chk, &Menu::asd_chk_Click);
    onCheck(p->arb_chk, &Menu::arb_chk_Click);
    for (QLineEdit* box : {p->asd_hour_txt, p->asd_min_txt, p->arb_hour_txt, p->arb_min_txt}) {
        onText(box);
    }
    watchLeaving(p->asd_hour_txt, [this] { asd_hour_txt_LostFocus(); });
    watchLeaving(p->asd_min_txt, [this] { asd_min_txt_LostFocus(); });
    watchLeaving(p->arb_hour_txt, [this] { arb_hour_txt_LostFocus(); });
    watchLeaving(p->arb_min_txt, [this] { arb_min_txt_LostFocus(); });
    for (int i = 0; i < 3; ++i)
        onOption(p->arb_int[static_cast<std::size_t>(i)], [this, i] { arb_int_Click(i); });
    onCombo(p->arbint_week_cb);
    onCombo(p->arbint_day_cb);

    WolPage* w = wolPage_;
    for (int g = 0; g < 5; ++g) {
        const auto u = static_cast<std::size_t>(g);
        onCheck(w->WOL_chk[u], &Menu::markChanged);
        onText(w->WOL_PCtxt[u]);
        onText(w->WOL_IPtxt[u]);
        onText(w->WOL_Time_txt[u]);
        for (int j = 0; j < 6; ++j) {
            QLineEdit* mac = w->WOL_MAC_txt[u][static_cast<std::size_t>(j)];
            onText(mac);
            watchLeaving(mac, [this, g, j] { WOL_MAC_txt_LostFocus(g, j); });
        }
    }
    onText(w->WOL_Port_txt);
    onCombo(w->WOL_ReptNum_cb);

    // A click that takes the focus from a refused value is held back (eventFilter).
    for (QAbstractButton* b : findChildren<QAbstractButton*>()) b->installEventFilter(this);

    connect(SSTab1, &QTabWidget::currentChanged, this, &Menu::SSTab1_Click);
    connect(ok_bt, &QPushButton::clicked, this, &Menu::ok_bt_Click);
}

void Menu::fillLists() {
    auto fill = [](QComboBox* cb, const QStringList& items) {
        // Filling the list leaves the typed text as it was, as adding items to a list does
        // not change what its box shows; no edit handler is due.
        const QSignalBlocker quiet(cb);
        const QString shown = cb->currentText();
        cb->clear();
        cb->addItems(items);
        cb->setCurrentIndex(-1);
        cb->setEditText(shown);
    };
    fill(pcPage_->arbint_week_cb,
         {QStringLiteral("日"), QStringLiteral("月"), QStringLiteral("火"), QStringLiteral("水"),
          QStringLiteral("木"), QStringLiteral("金"), QStringLiteral("土")});
    QStringList counts;
    for (int n = 3; n <= 10; ++n) counts << QString::number(n);
    fill(wolPage_->WOL_ReptNum_cb, counts);
    QStringList days;
    for (int d = 1; d <= 31; ++d) days << QString::number(d);
    fill(pcPage_->arbint_day_cb, days);
}

}  // namespace vornel
