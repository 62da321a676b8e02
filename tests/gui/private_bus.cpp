#include "private_bus.h"

#include <sys/prctl.h>

#include <QFile>
#include <csignal>

namespace vornel::test {

PrivateBus::~PrivateBus() {
    if (daemon_.state() != QProcess::NotRunning) {
        daemon_.terminate();
        if (!daemon_.waitForFinished(5000)) daemon_.kill();
        daemon_.waitForFinished(5000);
    }
}

bool PrivateBus::start() {
    if (!dir_.isValid()) {
        error_ = QStringLiteral("no temporary folder");
        return false;
    }
    const QString config = dir_.filePath(QStringLiteral("bus.conf"));
    QFile f(config);
    if (!f.open(QIODevice::WriteOnly)) {
        error_ = QStringLiteral("cannot write ") + config;
        return false;
    }
    f.write(
        QStringLiteral(
            "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
            " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
            "<busconfig>\n"
            "  <type>session</type>\n"
            "  <listen>unix:path=%1</listen>\n"
            "  <auth>EXTERNAL</auth>\n"
            "  <policy context=\"default\">\n"
            "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
            "    <allow eavesdrop=\"true\"/>\n"
            "    <allow own=\"*\"/>\n"
            "  </policy>\n"
            "</busconfig>\n")
            .arg(dir_.filePath(QStringLiteral("bus")))
            .toUtf8());
    f.close();

    // The daemon goes when the test process goes, however it ends.
    daemon_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    daemon_.setProcessChannelMode(QProcess::SeparateChannels);
    daemon_.start(QStringLiteral("dbus-daemon"),
                  {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                   QStringLiteral("--nopidfile"), QStringLiteral("--print-address=1")});
    if (!daemon_.waitForStarted(10000)) {
        error_ = QStringLiteral("dbus-daemon does not start: ") + daemon_.errorString();
        return false;
    }
    while (!daemon_.canReadLine()) {
        if (!daemon_.waitForReadyRead(10000)) {
            error_ = QStringLiteral("dbus-daemon gave no address: ") +
                     QString::fromLocal8Bit(daemon_.readAllStandardError());
            return false;
        }
    }
    address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    if (address_.isEmpty()) {
        error_ = QStringLiteral("dbus-daemon gave an empty address");
        return false;
    }
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", address_.toUtf8());
    qputenv("DBUS_SESSION_BUS_ADDRESS", address_.toUtf8());
    return true;
}

}  // namespace vornel::test
