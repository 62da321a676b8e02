#include <QApplication>
#include <QWidget>

#include "app/app_resources.h"
#include "app/backup_commands.h"
#include "app/help_viewer.h"
#include "app/menu_shell.h"
#include "app/platform/power_actions.h"
#include "app/platform/qt_backend.h"
#include "app/schedule_commands.h"
#include "app/session_end.h"
#include "app/single_instance.h"
#include "common/kvcmn15.h"
#include "settings/module_state.h"

namespace {

// The program ends with the close request of its main window. A window that closes itself
// a little later (the Wake-on-LAN notice) may still be open; the program ends with it.
void endWhenWindowsAreGone(vornel::HelpViewer& help) {
    if (help.window()) help.window()->close();
    for (QWidget* w : QApplication::topLevelWidgets()) {
        // Tooltips and menus that happen to be up are not windows the program waits for.
        const Qt::WindowType type = w->windowType();
        if (w->isVisible() && (type == Qt::Window || type == Qt::Dialog)) {
            QApplication::setQuitOnLastWindowClosed(true);
            return;
        }
    }
    QCoreApplication::exit(0);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vornelnet"));
    QApplication::setDesktopFileName(QStringLiteral("vornelnet"));
    QApplication::setWindowIcon(vornel::programIcon());
    // Hiding or closing windows must not end the program: it lives in the notification area.
    QApplication::setQuitOnLastWindowClosed(false);

    const QString programFolder = QCoreApplication::applicationDirPath();
    vornel::SingleInstance instance(programFolder);
    if (!instance.claim()) return 0;

    vornel::QtBackend backend;
    const std::unique_ptr<vornel::PowerActions> power = vornel::createPowerActions();
    backend.powerRequester = [&power](vornel::PowerRequest r) { power->request(r); };
    vornel::HelpViewer help;
    backend.helpOpener = [&help](QWidget* owner, const std::string& file, int command,
                                 int context) { return help.open(owner, file, command, context); };

    // Main: the module-level utility instance, then the main window is loaded.
    vornel::KvCmn15 module(backend);
    vornel::Module1 m(module);
    vornel::MenuShell shell(m,
                            {backend, [&backend](QWidget* w) { return backend.handleFor(w); },
                             [&backend](vornel::WindowHandle h) { return backend.trayIcon(h); }},
                            programFolder.toStdString());

    // "Back up, then shut down" ends the program itself, once its shutdown request is out.
    vornel::BackupCommands backups(m, shell, [&shell, &power] {
        shell.endWithoutClosing();
        power->finishPending(10000);
        QCoreApplication::exit(0);
    });

    vornel::ScheduleCommands schedule(m, shell, backups.engine());

    vornel::SessionEnd sessionEnd;
    sessionEnd.install();
    QObject::connect(&sessionEnd, &vornel::SessionEnd::endRequested, &shell,
                     &vornel::MenuShell::requestClose);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &shell,
                     &vornel::MenuShell::requestClose);
    QObject::connect(&instance, &vornel::SingleInstance::showRequested, &shell,
                     &vornel::MenuShell::mnuset_Click);
    QObject::connect(&shell, &vornel::MenuShell::finished, &app,
                     [&help] { endWhenWindowsAreGone(help); });

    shell.Form_Load();
    if (shell.closed()) {
        if (help.window()) help.window()->close();
        return 0;
    }
    return QApplication::exec();
}
