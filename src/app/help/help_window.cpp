#include "app/help/help_window.h"

#include <QHeaderView>
#include <QShortcut>
#include <QSplitter>
#include <QVBoxLayout>

#include "app/app_resources.h"
#include "app/help/help_contents.h"

namespace vornel {

HelpWindow::HelpWindow(const QString& file, std::shared_ptr<const ChmArchive> archive,
                       QWidget* parent)
    : QWidget(parent, Qt::Window), file_(file), archive_(std::move(archive)) {
    setObjectName(QStringLiteral("helpWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::close);
    setWindowIcon(programIcon());
    const QString title = archive_->title();
    setWindowTitle(title.isEmpty() ? QStringLiteral("Vornelnet ヘルプ") : title);

    contents_ = new QTreeWidget(this);
    contents_->setObjectName(QStringLiteral("helpContents"));
    contents_->setHeaderHidden(true);
    browser_ = new HelpBrowser(archive_, this);

    auto* splitter = new QSplitter(this);
    splitter->addWidget(contents_);
    splitter->addWidget(browser_);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 560});
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);
    resize(820, 600);

    fillContents();
    connect(contents_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        const QString page = item->data(0, Qt::UserRole).toString();
        if (!page.isEmpty()) browser_->setSource(HelpBrowser::pageUrl(page));
    });
    connect(contents_, &QTreeWidget::itemClicked, contents_, &QTreeWidget::itemActivated);
}

void HelpWindow::fillContents() {
    std::vector<HelpTopic> topics;
    if (!archive_->contentsFile().isEmpty()) {
        if (auto data = archive_->read(archive_->contentsFile())) topics = parseHelpContents(*data);
    }
    std::vector<QTreeWidgetItem*> parents;
    for (const HelpTopic& t : topics) {
        const auto level = static_cast<std::size_t>(t.level);
        if (parents.size() > level) parents.resize(level);
        auto* item =
            parents.empty() ? new QTreeWidgetItem(contents_) : new QTreeWidgetItem(parents.back());
        item->setText(0, t.name);
        item->setData(0, Qt::UserRole, t.local);
        parents.push_back(item);
        if (startPage_.isEmpty() && !t.local.isEmpty()) startPage_ = t.local;
    }
    contents_->expandAll();
    if (!archive_->defaultTopic().isEmpty() && archive_->read(archive_->defaultTopic()))
        startPage_ = archive_->defaultTopic();
}

void HelpWindow::showContents() {
    browser_->setSource(HelpBrowser::pageUrl(startPage_));
    show();
    raise();
    activateWindow();
}

}  // namespace vornel
