#include "app/pages/history_page.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/pages/control_naming.h"

namespace vornel {

HistoryPage::HistoryPage(QWidget* parent) : SettingsPage(parent) {
    auto* frame = new QGroupBox(QStringLiteral("コピー履歴"), this);
    histclr_bt = controlNamed(new QPushButton(QStringLiteral("履歴クリア"), frame),
                              QStringLiteral("histclr_bt"), -1, QStringLiteral("履歴クリア"));
    recedit_bt = controlNamed(new QPushButton(QStringLiteral("履歴表示"), frame),
                              QStringLiteral("recedit_bt"), -1, QStringLiteral("履歴表示"));
    auto* group = new QButtonGroup(frame);
    const QString texts[] = {QStringLiteral("　履歴の記録をしない"),
                             QStringLiteral("　履歴の記録をする")};
    auto* options = new QVBoxLayout;
    for (int i = 0; i < 2; ++i) {
        rec_op[static_cast<std::size_t>(i)] = controlNamed(
            new QRadioButton(texts[i], frame), QStringLiteral("rec_op"), i, texts[i].trimmed());
        group->addButton(rec_op[static_cast<std::size_t>(i)], i);
        options->addWidget(rec_op[static_cast<std::size_t>(i)]);
    }
    tabOrder({rec_op[0], rec_op[1], recedit_bt, histclr_bt});
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(recedit_bt);
    buttons->addWidget(histclr_bt);
    buttons->addStretch();
    frameAtTop(this, frame, options, 12, buttons);
    for (QRadioButton* o : rec_op) watchOption(o);
    connect(recedit_bt, &QPushButton::clicked, this, &HistoryPage::historyRequested);
}

}  // namespace vornel
