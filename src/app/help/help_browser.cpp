#include "app/help/help_browser.h"

#include <QDesktopServices>
#include <QStringDecoder>
#include <QTextDocument>

namespace vornel {
namespace {
const QString kScheme = QStringLiteral("chm");
}

HelpBrowser::HelpBrowser(std::shared_ptr<const ChmArchive> archive, QWidget* parent)
    : QTextBrowser(parent), archive_(std::move(archive)) {
    setObjectName(QStringLiteral("helpBrowser"));
    // Links are followed here so that pages of the file stay in this window.
    setOpenLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &HelpBrowser::followLink);
}

QUrl HelpBrowser::pageUrl(const QString& path) {
    QUrl url;
    url.setScheme(kScheme);
    url.setPath(path.startsWith(u'/') ? path : QStringLiteral("/") + path);
    return url;
}

void HelpBrowser::followLink(const QUrl& link) {
    const QUrl url = resolve(link);
    if (url.scheme() == kScheme) {
        setSource(url);
    } else if (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https") ||
               url.scheme() == QLatin1String("mailto")) {
        QDesktopServices::openUrl(url);
    }
}

void HelpBrowser::doSetSource(const QUrl& name, QTextDocument::ResourceType type) {
    loading_ = resolve(name);
    QTextBrowser::doSetSource(name, type);
    loading_.clear();
}

QUrl HelpBrowser::resolve(const QUrl& name) const {
    if (!name.isRelative()) return name;
    return (loading_.isValid() ? loading_ : source()).resolved(name);
}

QVariant HelpBrowser::loadResource(int type, const QUrl& name) {
    const QUrl url = resolve(name);
    if (url.scheme() != kScheme || !archive_) return {};
    const std::optional<QByteArray> data = archive_->read(url.path());
    if (!data) return {};
    if (type == QTextDocument::HtmlResource) {
        auto decoder = QStringDecoder::decoderForHtml(*data);
        return decoder.isValid() ? QString(decoder(*data)) : QString::fromUtf8(*data);
    }
    return *data;
}

}  // namespace vornel
