#pragma once

#include <QTextBrowser>
#include <memory>

#include "app/help/chm_archive.h"

namespace vornel {

// Shows the pages of a compiled help file; links between its pages and its images are read
// from the file, links to the web go to the desktop's browser.
class HelpBrowser : public QTextBrowser {
    Q_OBJECT
  public:
    explicit HelpBrowser(std::shared_ptr<const ChmArchive> archive, QWidget* parent = nullptr);

    // The address of a page of the help file, e.g. "/index.html".
    static QUrl pageUrl(const QString& path);

    QVariant loadResource(int type, const QUrl& name) override;

  protected:
    void doSetSource(const QUrl& name, QTextDocument::ResourceType type) override;

  private:
    void followLink(const QUrl& url);
    QUrl resolve(const QUrl& name) const;

    // The page being loaded: its pictures and style sheet are found relative to it before it
    // becomes the source.
    QUrl loading_;

    std::shared_ptr<const ChmArchive> archive_;
};

}  // namespace vornel
