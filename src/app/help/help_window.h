#pragma once

#include <QTreeWidget>
#include <QWidget>
#include <memory>

#include "app/help/chm_archive.h"
#include "app/help/help_browser.h"

namespace vornel {

// The program's help viewer: the table of contents beside the page it opens.
class HelpWindow : public QWidget {
    Q_OBJECT
  public:
    HelpWindow(const QString& file, std::shared_ptr<const ChmArchive> archive,
               QWidget* parent = nullptr);

    QString file() const { return file_; }
    // The page the contents open on: the file's default topic, else its first topic.
    QString startPage() const { return startPage_; }
    // Shows the contents and the start page.
    void showContents();

    QTreeWidget* contents() { return contents_; }
    HelpBrowser* browser() { return browser_; }

  private:
    void fillContents();

    QString file_;
    std::shared_ptr<const ChmArchive> archive_;
    QTreeWidget* contents_;
    HelpBrowser* browser_;
    QString startPage_;
};

}  // namespace vornel
