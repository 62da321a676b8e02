#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "app/app_resources.h"
#include "app/backup_commands.h"
#include "app/help/help_viewer.h"
#include "app/platform/power_actions.h"
#include "app/platform/qt_backend.h"
#include "app/platform/qt_translation.h"
#include "app/schedule_commands.h"
#include "app/shell/command_line.h"
#include "app/shell/menu_shell.h"
#include "app/shell/session_end.h"
#include "app/shell/single_instance.h"
#include "app/wol_commands.h"
#include "common/kvcmn15.h"
#include "common/module_state.h"
#include "common/program_folder.h"

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

void say(const QString& text) {
    std::fputs((QStringLiteral("vornelnet: ") + text + QLatin1Char('\n')).toUtf8().constData(),
               stderr);
}

bool displayGiven() {
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
           !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

// Without a display the run's boxes go to standard error, answered with the choice that
// changes nothing: nobody is there to press a button, and a script must not hang.
int answerOnStandardError(const vornel::MessageBoxRequest& r) {
    QString text = QString::fromStdString(r.text);
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(QChar('\r'), QChar(' '));
    say(QStringLiteral("[%1] %2").arg(QString::fromStdString(r.title), text));
    switch (r.buttons) {
        case vornel::BoxButtons::Ok:
            return vornel::kAnsOk;
        case vornel::BoxButtons::YesNo:
            return vornel::kAnsNo;
        default:
            return vornel::kAnsCancel;
    }
}

// The executable's folder for a portable copy, else the user's data folder, created on the
// first start. Empty (after a message) when neither can be used.
QString programFolder() {
    const std::string own = QCoreApplication::applicationDirPath().toStdString();
    const std::string folder = vornel::chooseProgramFolder(
        own, vornel::folderWritable, std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
    if (folder.empty()) {
        say(QStringLiteral(
            "データを置くフォルダがありません (HOME または XDG_DATA_HOME を設定して下さい)"));
        return {};
    }
    if (folder != own) {
        const std::string error = vornel::makeProgramFolder(folder);
        if (!error.empty()) {
            say(QStringLiteral("データを置くフォルダを作成できません: ") +
                QString::fromStdString(error));
            return {};
        }
    }
    return QString::fromStdString(folder);
}

// Reads the command line before the window system is touched. Returns an exit code when the
// program ends here; `oneRun` tells whether a single backup was asked for.
std::optional<int> readCommandLine(int argc, char** argv, bool& oneRun) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const vornel::CommandLine command = vornel::readCommandLine(arguments);
    if (command.action == vornel::CommandLine::Action::Done) return command.exitCode;
    oneRun = command.action == vornel::CommandLine::Action::Backup;
    if (!displayGiven()) {
        if (!oneRun) {
            say(QStringLiteral(
                "画面がありません (DISPLAY も WAYLAND_DISPLAY も設定されていません)"));
            return 1;
        }
        // A script's backup also runs where there is no display: without windows.
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    return std::nullopt;
}

// Another copy runs for this program folder: it shows itself, or runs the backup asked for.
int handOver(vornel::SingleInstance& instance, bool oneRun) {
    if (!oneRun) return 0;
    const int exitCode = instance.requestBackup();
    if (exitCode >= 0) return exitCode;
    say(QStringLiteral("起動中のプログラムからバックアップの結果を受け取れませんでした"));
    return 1;
}

void setUpApplication(QApplication& app) {
    QApplication::setApplicationName(QStringLiteral("Vornelnet"));
    QApplication::setDesktopFileName(QStringLiteral("vornelnet"));
    QApplication::setWindowIcon(vornel::programIcon());
    vornel::installQtJapanese(app);
    // Hiding or closing windows must not end the program: it lives in the notification area.
    QApplication::setQuitOnLastWindowClosed(false);
}

bool headless() {
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}

// Later starts may ask for runs, served like the tray's item, one after another. Asked for
// during the load step they wait for its end: the program's files are not known before.
// Once closed, the program is on its way out: a run started then would outlive its windows
// and follow the close-time run, so the request is answered as failed.
void serveBackupRequests(vornel::SingleInstance& instance, vornel::BackupCommands& backups,
                         vornel::MenuShell& shell) {
    instance.serveBackupRequests([&backups, &shell](vornel::SingleInstance::BackupReply reply) {
        QTimer::singleShot(0, &backups, [&backups, &shell, reply] {
            if (shell.closed()) return reply(1);
            backups.runForScript(reply);
        });
    });
}

// The commands that run backups, Wake-on-LAN and the schedule, around the shell.
struct Commands {
    vornel::BackupCommands backups;
    vornel::WolCommands wol;
    vornel::ScheduleCommands schedule;

    // "Back up, then shut down" ends the program itself, once its shutdown request is out.
    Commands(vornel::Module1& m, vornel::MenuShell& shell, vornel::PowerActions& power)
        : backups(m, shell,
                  [&shell, &power] {
                      shell.endWithoutClosing();
                      power.finishPending(10000);
                      QCoreApplication::exit(0);
                  }),
          wol(m, shell),
          schedule(m, shell, backups.engine()) {
        schedule.timer().pc_wol_Click = [this](int g) { wol.pc_wol_Click(g); };
    }
};

// A single backup asked for on the command line: the settings, the run, its exit code.
int runOnce(QApplication& app, vornel::SessionEnd& sessionEnd, vornel::Module1& m,
            vornel::MenuShell& shell, vornel::SingleInstance& instance,
            vornel::BackupCommands& backups) {
    // The end of the session stops the run as its window's cancel button would.
    QObject::connect(&sessionEnd, &vornel::SessionEnd::endRequested, &app,
                     [&m] { m.Cancel_flg = 1; });
    int exitCode = 1;
    shell.loadForOneRun();
    serveBackupRequests(instance, backups, shell);
    backups.runForScript([&exitCode](int code) { exitCode = code; });
    return exitCode;
}

// The program in the notification area, until the close request of its main window.
int runInTray(QApplication& app, vornel::SessionEnd& sessionEnd, vornel::MenuShell& shell,
              vornel::SingleInstance& instance, vornel::BackupCommands& backups,
              vornel::HelpViewer& help) {
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
    serveBackupRequests(instance, backups, shell);
    return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
    bool oneRun = false;
    if (const std::optional<int> exitCode = readCommandLine(argc, argv, oneRun)) return *exitCode;

    QApplication app(argc, argv);
    setUpApplication(app);
    const QString programFolder = ::programFolder();
    if (programFolder.isEmpty()) return 1;
    vornel::SingleInstance instance(programFolder);
    if (!instance.claim(!oneRun)) return handOver(instance, oneRun);

    const std::unique_ptr<vornel::PowerActions> power = vornel::createPowerActions();
    vornel::HelpViewer help;
    vornel::QtBackendServices services{&help, power.get(), {}};
    if (oneRun && headless()) services.answerBoxes = answerOnStandardError;
    vornel::QtBackend backend(std::move(services));

    // The module-level utility instance and the program state come first; the main window's
    // shell loads next.
    vornel::KvCmn15 module(backend);
    vornel::Module1 m(module);
    vornel::MenuShell shell(m, backend, programFolder.toStdString());
    shell.setHelpFile(vornel::findHelpFile(QCoreApplication::applicationDirPath().toStdString(),
                                           VORNEL_DATA_DIR, "Vornel_Net1.chm"));
    Commands commands(m, shell, *power);

    vornel::SessionEnd sessionEnd;
    sessionEnd.install();
    if (oneRun) return runOnce(app, sessionEnd, m, shell, instance, commands.backups);
    return runInTray(app, sessionEnd, shell, instance, commands.backups, help);
}
