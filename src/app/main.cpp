#include <QApplication>
#include <QWidget>

#include "app/platform/power_actions.h"
#include "app/platform/qt_backend.h"
#include "common/kvcmn15.h"
#include "settings/module_state.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    vornel::QtBackend backend;
    const std::unique_ptr<vornel::PowerActions> power = vornel::createPowerActions();
    backend.powerRequester = [&power](vornel::PowerRequest r) { power->request(r); };
    vornel::KvCmn15 module(backend);
    vornel::Module1 m(module);
    QWidget window;
    window.setWindowTitle(QString::fromStdString(m.App_title));
    window.show();
    return app.exec();
}
