#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace vornel {

// One entry of a help file's table of contents, in reading order; `level` 0 is the top.
struct HelpTopic {
    QString name;
    QString local;  // the page it opens, relative to the help file's root; may be empty
    int level = 0;
};

// Reads the sitemap list of a contents file (nested <UL> of <OBJECT type="text/sitemap">).
std::vector<HelpTopic> parseHelpContents(const QByteArray& sitemap);

}  // namespace vornel
