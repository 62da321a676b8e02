#include "app/help/help_viewer.h"

#include <QFileInfo>

namespace vornel {

bool HelpViewer::open(QWidget*, const std::string& file, int, int) {
    // Every command opens the contents: the program asks for nothing else, and the file maps
    // no context numbers.
    const QString path = QFileInfo(QString::fromStdString(file)).absoluteFilePath();
    std::shared_ptr<const ChmArchive> archive = ChmArchive::open(path);
    if (!archive) return false;
    if (window_ && window_->file() == path) {
        window_->showContents();
        return true;
    }
    // A window without a parent, so that it neither follows the main window's hiding nor
    // blocks it.
    auto* w = new HelpWindow(path, archive);
    if (w->startPage().isEmpty()) {
        delete w;
        return false;
    }
    if (window_) window_->close();
    window_ = w;
    w->showContents();
    return true;
}

}  // namespace vornel
