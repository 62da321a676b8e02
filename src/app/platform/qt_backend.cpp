#include "app/platform/qt_backend.h"

#include <alsa/asoundlib.h>
#include <canberra.h>
#include <sys/utsname.h>

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTextDocument>
#include <QTimer>
#include <chrono>
#include <cstdio>

#include "app/help/help_viewer.h"
#include "app/platform/power_actions.h"

namespace vornel {
namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }
std::string s(const QString& q) { return q.toStdString(); }

// Tool tips are read as markup when they look like it; the program's tips are plain text.
QString plainTip(const std::string& tip) {
    const QString text = q(tip);
    return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text) : text;
}

// The sound library reports every failed attempt to open a device on stderr; on a machine
// without sound that would be a page of lines for each box. A missing sound is not an error
// here, so its reports go nowhere.
void ignoreSoundError(const char*, int, const char*, int, const char*, ...) {}

// One context for the whole program, made on first use: most sessions never play a sound.
ca_context* soundContext() {
    static ca_context* ctx = [] {
        snd_lib_error_set_handler(&ignoreSoundError);
        ca_context* c = nullptr;
        if (ca_context_create(&c) != 0) return static_cast<ca_context*>(nullptr);
        ca_context_change_props(c, CA_PROP_APPLICATION_NAME, "Vornelnet", nullptr);
        return c;
    }();
    return ctx;
}

const char* soundName(int type) {
    switch (type) {
        case 16:
            return "dialog-error";
        case 32:
            return "dialog-question";
        case 48:
            return "dialog-warning";
        case 64:
            return "dialog-information";
        default:
            return "bell";
    }
}

// A CR alone breaks the line as CR LF does. The text carries file names, so the box shows it
// as plain text, never as markup.
QString boxText(const std::string& text) {
    return q(text)
        .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(QChar('\r'), QChar('\n'));
}

QMessageBox::Icon iconOf(BoxIcon icon) {
    switch (icon) {
        case BoxIcon::Stop:
            return QMessageBox::Critical;
        case BoxIcon::Question:
            return QMessageBox::Question;
        case BoxIcon::Warning:
            return QMessageBox::Warning;
        case BoxIcon::Information:
            break;
    }
    return QMessageBox::Information;
}

QMessageBox::StandardButtons buttonsOf(BoxButtons buttons) {
    switch (buttons) {
        case BoxButtons::Ok:
            break;
        case BoxButtons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case BoxButtons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case BoxButtons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case BoxButtons::RetryCancel:
            return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

// Closed with Escape or the close box, or by the end of the session: the answer the platform
// gives then.
int cancelAnswerOf(QMessageBox::StandardButtons buttons) {
    if (buttons & QMessageBox::Cancel) return kAnsCancel;
    if (buttons & QMessageBox::No) return kAnsNo;
    return kAnsOk;
}

// The captions a Japanese desktop gives these buttons, whatever the locale.
void setJapaneseCaptions(QMessageBox& box) {
    const std::pair<QMessageBox::StandardButton, const char*> captions[] = {
        {QMessageBox::Ok, "OK"},
        {QMessageBox::Cancel, "キャンセル"},
        {QMessageBox::Yes, "はい(&Y)"},
        {QMessageBox::No, "いいえ(&N)"},
        {QMessageBox::Retry, "再試行(&R)"},
    };
    for (const auto& [button, caption] : captions) {
        if (QAbstractButton* b = box.button(button)) b->setText(QString::fromUtf8(caption));
    }
}

int answerOf(int result, int cancelAnswer) {
    switch (result) {
        case QMessageBox::Ok:
            return kAnsOk;
        case QMessageBox::Cancel:
            return kAnsCancel;
        case QMessageBox::Retry:
            return kAnsRetry;
        case QMessageBox::Yes:
            return kAnsYes;
        case QMessageBox::No:
            return kAnsNo;
        default:
            return cancelAnswer;
    }
}

}  // namespace

QtBackend::QtBackend(QtBackendServices services) : services_(std::move(services)) {}
QtBackend::~QtBackend() = default;

WindowHandle QtBackend::handleFor(QWidget* window) {
    for (const auto& [h, w] : windows_) {
        if (w == window) return h;
    }
    WindowHandle h = nextHandle_++;
    windows_[h] = window;
    return h;
}

QWidget* QtBackend::widgetFor(WindowHandle handle) const {
    auto it = windows_.find(handle);
    return it == windows_.end() ? nullptr : it->second.data();
}

IconHandle QtBackend::handleForIcon(const QIcon& icon) {
    const IconHandle h = icons_.size() + 1;
    icons_[h] = icon;
    return h;
}

QIcon QtBackend::iconFor(IconHandle icon, WindowHandle owner) const {
    auto it = icons_.find(icon);
    if (it != icons_.end()) return it->second;
    QWidget* w = widgetFor(owner);
    return w ? w->windowIcon() : qApp->windowIcon();
}

int QtBackend::showMessageBox(const MessageBoxRequest& r) {
    if (services_.answerBoxes) return services_.answerBoxes(r);
    const QMessageBox::StandardButtons buttons = buttonsOf(r.buttons);
    const int cancelAnswer = cancelAnswerOf(buttons);
    if (sessionEnding_) return cancelAnswer;
    QMessageBox box;
    box.setWindowTitle(q(r.title));
    box.setTextFormat(Qt::PlainText);
    box.setText(boxText(r.text));
    box.setIcon(iconOf(r.icon));
    box.setStandardButtons(buttons);
    setJapaneseCaptions(box);
    box.setWindowModality(Qt::ApplicationModal);
    if (r.systemModal) box.setWindowFlag(Qt::WindowStaysOnTopHint);
    openBoxes_.push_back(&box);
    const int result = box.exec();
    openBoxes_.pop_back();
    return answerOf(result, cancelAnswer);
}

bool QtBackend::endSession() {
    sessionEnding_ = true;
    bool open = false;
    for (const QPointer<QMessageBox>& box : openBoxes_) {
        if (!box) continue;
        open = true;
        box->done(-1);
    }
    return open;
}

void QtBackend::playSystemSound(int type) {
    ca_context* ctx = soundContext();
    if (!ctx) return;
    // The result is ignored: a machine without sound stays silent.
    if (ca_context_play(ctx, 0, CA_PROP_EVENT_ID, soundName(type), nullptr) != 0 && type == 32)
        ca_context_play(ctx, 0, CA_PROP_EVENT_ID, "window-question", nullptr);
}

void QtBackend::playSoundFile(const std::string& path) {
    ca_context* ctx = soundContext();
    if (!ctx) return;
    ca_context_play(ctx, 0, CA_PROP_MEDIA_FILENAME, path.c_str(), nullptr);
}

void QtBackend::processEvents(int maxWaitMs) {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (maxWaitMs <= 0) return;
    // Sleep in the event loop instead of spinning: new events still wake it at once.
    QEventLoop loop;
    QTimer::singleShot(maxWaitMs, &loop, &QEventLoop::quit);
    loop.exec();
}

WallClock QtBackend::wallClock() {
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    WallClock c;
    c.year = d.year();
    c.month = d.month();
    c.day = d.day();
    c.weekday = d.dayOfWeek() % 7 + 1;  // Qt: Monday 1 .. Sunday 7
    c.secondsOfDay = t.msecsSinceStartOfDay() / 1000.0;
    return c;
}

double QtBackend::monotonicSeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

bool QtBackend::shellOpen(const std::string& path, std::function<void()> onLateFailure) {
    if (!QFileInfo::exists(q(path))) return false;
    // Never waited for: without a known desktop xdg-open runs the viewer in the foreground.
    auto* proc = new QProcess(qApp);
    // A viewer run in the foreground may talk a lot; nobody reads it.
    proc->setStandardInputFile(QProcess::nullDevice());
    proc->setStandardOutputFile(QProcess::nullDevice());
    proc->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QObject::connect(proc, &QProcess::finished, proc,
                     [proc, onLateFailure](int code, QProcess::ExitStatus status) {
                         proc->deleteLater();
                         if ((status != QProcess::NormalExit || code != 0) && onLateFailure)
                             onLateFailure();
                     });
    proc->start(QStringLiteral("xdg-open"), {q(path)});
    if (!proc->waitForStarted(5000)) {
        proc->disconnect();
        proc->deleteLater();
        return false;
    }
    return true;
}

bool QtBackend::openHelp(WindowHandle owner, const std::string& helpFile, int command,
                         int context) {
    return services_.help && services_.help->open(widgetFor(owner), helpFile, command, context);
}

void QtBackend::requestPowerAction(PowerRequest request) {
    if (services_.power) services_.power->request(request);
}

OsVersion QtBackend::osVersion() {
    OsVersion v;
    struct utsname u {};
    if (::uname(&u) == 0) std::sscanf(u.release, "%d.%d.%d", &v.major, &v.minor, &v.build);
    v.platformId = 2;
    v.windowsNumbering = false;
    return v;
}

std::string QtBackend::windowsDirectory() { return "/etc"; }

std::string QtBackend::systemDirectory() { return "/usr/lib"; }

std::string QtBackend::folderDialog(WindowHandle owner, const std::string& title,
                                    const std::string& startFolder) {
    const QString start = q(startFolder);
    const bool usable = start.startsWith(QLatin1Char('/')) && QFileInfo(start).isDir();
    return s(QFileDialog::getExistingDirectory(widgetFor(owner), q(title),
                                               usable ? start : QDir::homePath()));
}

OpenFileResult QtBackend::openFileDialog(WindowHandle owner, const std::string& title,
                                         const std::string& filter, const std::string& initialDir) {
    OpenFileResult r;
    const QString path =
        QFileDialog::getOpenFileName(widgetFor(owner), q(title), q(initialDir), q(filter));
    if (path.isEmpty()) return r;
    r.path = s(path);
    r.fileNameOffset = static_cast<int>(r.path.size() - s(QFileInfo(path).fileName()).size());
    return r;
}

std::string QtBackend::saveFileDialog(WindowHandle owner, const std::string& title,
                                      const std::string& filter, const std::string& initialDir,
                                      const std::string& initialName) {
    const QString start = QDir(q(initialDir)).filePath(q(initialName));
    return s(QFileDialog::getSaveFileName(widgetFor(owner), q(title), start, q(filter)));
}

bool QtBackend::trayAdd(WindowHandle owner, IconHandle icon, const std::string& tip) {
    // The icon is made and shown even when no panel is there yet: started with the session,
    // the program often comes up before the panel, and Qt docks the icon as soon as one
    // appears. The flag still tells whether a panel was there at the time.
    auto& tray = trays_[owner];
    if (!tray) tray = new QSystemTrayIcon(qApp);
    tray->setIcon(iconFor(icon, owner));
    tray->setToolTip(plainTip(tip));
    tray->show();
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool QtBackend::trayModify(WindowHandle owner, IconHandle icon, const std::string& tip) {
    auto it = trays_.find(owner);
    if (it == trays_.end() || !it->second) return false;
    it->second->setIcon(iconFor(icon, owner));
    it->second->setToolTip(plainTip(tip));
    return true;
}

bool QtBackend::trayDelete(WindowHandle owner) {
    auto it = trays_.find(owner);
    if (it == trays_.end() || !it->second) return false;
    it->second->hide();
    delete it->second;
    trays_.erase(it);
    return true;
}

void QtBackend::trayNotify(WindowHandle owner, const std::string& title, const std::string& text) {
    auto it = trays_.find(owner);
    if (it == trays_.end() || !it->second) return;
    it->second->showMessage(q(title), q(text), QSystemTrayIcon::Warning, 15000);
}

bool QtBackend::trayAreaAvailable() { return QSystemTrayIcon::isSystemTrayAvailable(); }

QSystemTrayIcon* QtBackend::trayIcon(WindowHandle owner) {
    auto it = trays_.find(owner);
    return it == trays_.end() ? nullptr : it->second.data();
}

WindowHandle QtBackend::findWindow(const std::string& title) {
    for (const auto& [h, w] : windows_) {
        if (w && w->windowTitle() == q(title)) return h;
    }
    return 0;
}

void QtBackend::windowToFront(WindowHandle window) {
    if (QWidget* w = widgetFor(window)) {
        w->raise();
        w->activateWindow();
    }
}

void QtBackend::windowStayOnTop(WindowHandle window, bool onTop) {
    if (QWidget* w = widgetFor(window)) {
        w->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
        w->show();
    }
}

void QtBackend::closeWindow(WindowHandle window) {
    if (QWidget* w = widgetFor(window)) w->close();
}

}  // namespace vornel
