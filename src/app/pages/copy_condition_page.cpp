#include "app/pages/copy_condition_page.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QVBoxLayout>

#include "app/pages/control_naming.h"

namespace vornel {
namespace {

// A frame holding one exclusive pair of options.
QGroupBox* optionFrame(QWidget* parent, const QString& caption, const QString& name,
                       std::array<QRadioButton*, 2>& options, const QString& first,
                       const QString& second) {
    auto* frame = new QGroupBox(caption, parent);
    auto* group = new QButtonGroup(frame);
    auto* layout = new QVBoxLayout(frame);
    const QString texts[] = {first, second};
    for (int i = 0; i < 2; ++i) {
        options[static_cast<std::size_t>(i)] = controlNamed(
            new QRadioButton(texts[i], frame), name, i, caption + QLatin1Char(' ') + texts[i]);
        group->addButton(options[static_cast<std::size_t>(i)], i);
        layout->addWidget(options[static_cast<std::size_t>(i)]);
    }
    return frame;
}

}  // namespace

CopyConditionPage::CopyConditionPage(QWidget* parent) : SettingsPage(parent) {
    stackFrames(
        {optionFrame(this, QStringLiteral("条件"), QStringLiteral("copy_op"), copy_op,
                     QStringLiteral("無条件で全て上書きコピー"),
                     QStringLiteral("同一ファイル名は日付の新しいものだけ上書きコピー")),
         optionFrame(this, QStringLiteral("オープン中のファイル"), QStringLiteral("cp_skip"),
                     cp_skip, QStringLiteral("コピーをスキップする"),
                     QStringLiteral("無視してコピーする"))});
    for (QRadioButton* o : copy_op) watchOption(o);
    for (QRadioButton* o : cp_skip) watchOption(o);
}

}  // namespace vornel
