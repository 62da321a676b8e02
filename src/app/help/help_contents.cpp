#include "app/help/help_contents.h"

#include <QRegularExpression>
#include <QStringDecoder>

namespace vornel {
namespace {

QString attribute(const QString& tagBody, const QString& name) {
    static const QRegularExpression attr(
        QStringLiteral(R"re(([A-Za-z_:-]+)\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s"'>]+)))re"));
    auto it = attr.globalMatch(tagBody);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(1).compare(name, Qt::CaseInsensitive) != 0) continue;
        for (int g = 2; g <= 4; ++g) {
            if (m.capturedStart(g) >= 0) return m.captured(g);
        }
    }
    return {};
}

QString unescape(QString text) {
    text.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
        .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
        .replace(QStringLiteral("&quot;"), QStringLiteral("\""))
        .replace(QStringLiteral("&#39;"), QStringLiteral("'"))
        .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return text;
}

}  // namespace

std::vector<HelpTopic> parseHelpContents(const QByteArray& sitemap) {
    auto decoder = QStringDecoder::decoderForHtml(sitemap);
    const QString html = decoder.isValid() ? QString(decoder(sitemap)) : QString::fromUtf8(sitemap);

    static const QRegularExpression tag(
        QStringLiteral(R"re(<\s*(/?)\s*(ul|object|param)\b([^>]*)>)re"),
        QRegularExpression::CaseInsensitiveOption);
    std::vector<HelpTopic> topics;
    int depth = 0;
    bool inTopic = false;
    HelpTopic current;
    auto it = tag.globalMatch(html);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        const bool closing = !m.captured(1).isEmpty();
        const QString name = m.captured(2).toLower();
        const QString body = m.captured(3);
        if (name == QLatin1String("ul")) {
            depth += closing ? -1 : 1;
            if (depth < 0) depth = 0;
        } else if (name == QLatin1String("object")) {
            if (!closing) {
                inTopic = attribute(body, QStringLiteral("type"))
                              .compare(QLatin1String("text/sitemap"), Qt::CaseInsensitive) == 0;
                current = HelpTopic{};
                current.level = depth > 0 ? depth - 1 : 0;
            } else if (inTopic) {
                if (!current.name.isEmpty()) topics.push_back(current);
                inTopic = false;
            }
        } else if (inTopic && !closing) {
            const QString key = attribute(body, QStringLiteral("name"));
            const QString value = unescape(attribute(body, QStringLiteral("value")));
            if (key.compare(QLatin1String("Name"), Qt::CaseInsensitive) == 0)
                current.name = value;
            else if (key.compare(QLatin1String("Local"), Qt::CaseInsensitive) == 0)
                current.local = value;
        }
    }
    return topics;
}

}  // namespace vornel
