#include "app/startup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QStringList>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

#ifdef __linux__
#    include <fcntl.h>
#    include <sys/mman.h>
#    include <unistd.h>
#endif

namespace {

struct HeldMessage
{
    QtMsgType type;
    QByteArray file, function, category;
    int line;
    QString text;
};

QtMessageHandler previousHandler = nullptr;
QList<HeldMessage> *heldMessages = nullptr;
// Standard error as it was; meanwhile the libraries below Qt (libwayland, libxcb) write their
// own lines into heldOutput, so that a failed start says one thing once.
int savedStderr = -1;
int heldOutput = -1;

void holdOutput()
{
#ifdef __linux__
    heldOutput = memfd_create("tazzle-startup", MFD_CLOEXEC);
    savedStderr = heldOutput < 0 ? -1 : fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
    if (savedStderr < 0 || dup2(heldOutput, STDERR_FILENO) < 0) {
        if (heldOutput >= 0)
            close(heldOutput);
        if (savedStderr >= 0)
            close(savedStderr);
        heldOutput = savedStderr = -1;
    }
#endif
}

// Gives standard error back, with what was held on it unless that is to be dropped.
void releaseOutput(bool replay)
{
    if (savedStderr < 0)
        return;
    std::fflush(stderr);
    dup2(savedStderr, STDERR_FILENO);
    close(savedStderr);
    if (replay) {
        char buffer[4096];
        ssize_t size;
        for (off_t at = 0; (size = pread(heldOutput, buffer, sizeof buffer, at)) > 0; at += size) {
            if (write(STDERR_FILENO, buffer, size_t(size)) < 0)
                break;
        }
    }
    close(heldOutput);
    savedStderr = heldOutput = -1;
}

void startupHandler(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtFatalMsg) {
        // Plain stdio: Qt's own logging is what we are standing in for here.
        const QString reason = Startup::unreachableDisplay(qgetenv("QT_QPA_PLATFORM"),
                                                           qgetenv("DISPLAY"),
                                                           qgetenv("WAYLAND_DISPLAY"));
        releaseOutput(false);
        std::fprintf(stderr, "tazzle: %s\n", qPrintable(reason));
        std::fflush(stderr);
        std::_Exit(1);
    }
    heldMessages->append(
            {type, context.file, context.function, context.category, context.line, text});
}

const char howToGetOne[]
        = "start Tazzle from a desktop session, or for X without one: xvfb-run -a tazzle";

// The address of the bus an earlier dbus-launch started for this X display, if it still runs.
QByteArray launchedBusAddress()
{
    QByteArray machineId;
    for (const char *path : {"/etc/machine-id", "/var/lib/dbus/machine-id"}) {
        QFile file(QString::fromLatin1(path));
        if (file.open(QIODevice::ReadOnly)) {
            machineId = file.readLine().trimmed();
            break;
        }
    }
    const QByteArray display = qgetenv("DISPLAY");
    const qsizetype colon = display.lastIndexOf(':');
    if (machineId.isEmpty() || colon < 0)
        return {};
    const QByteArray number = display.mid(colon + 1).split('.').constFirst();
    QFile saved(QDir::homePath()
                + QStringLiteral("/.dbus/session-bus/%1-%2")
                          .arg(QString::fromLatin1(machineId), QString::fromLatin1(number)));
    if (!saved.open(QIODevice::ReadOnly))
        return {};
    QByteArray address;
    qint64 pid = 0;
    while (!saved.atEnd()) {
        const QByteArray line = saved.readLine().trimmed();
        if (line.startsWith("DBUS_SESSION_BUS_ADDRESS="))
            address = line.mid(25).replace('\'', "");
        else if (line.startsWith("DBUS_SESSION_BUS_PID="))
            pid = line.mid(21).toLongLong();
    }
    if (pid <= 0 || !QFileInfo::exists(QStringLiteral("/proc/%1").arg(pid)))
        return {};
    return address;
}

} // namespace

QString Startup::missingDisplay(const QByteArray &platform, const QByteArray &x11Display,
                                const QByteArray &waylandDisplay)
{
    if (!platform.isEmpty() || !x11Display.isEmpty() || !waylandDisplay.isEmpty())
        return {};
    return QStringLiteral("no display to show the window on: neither an X display (DISPLAY) nor "
                          "a Wayland socket (WAYLAND_DISPLAY) is set; %1")
            .arg(QLatin1String(howToGetOne));
}

QString Startup::unreachableDisplay(const QByteArray &platform, const QByteArray &x11Display,
                                    const QByteArray &waylandDisplay)
{
    const auto quoted = [](const QByteArray &name) {
        return QStringLiteral("\"%1\"").arg(QString::fromLocal8Bit(name));
    };
    const bool x11 = platform.isEmpty() || platform.startsWith("xcb");
    const bool wayland = platform.isEmpty() || platform.startsWith("wayland");
    QStringList tried;
    if (x11 && !x11Display.isEmpty())
        tried.append(QStringLiteral("the X display ") + quoted(x11Display));
    // A Wayland client asked for by name looks for wayland-0 when WAYLAND_DISPLAY is unset.
    if (wayland && (!waylandDisplay.isEmpty() || !platform.isEmpty())) {
        tried.append(QStringLiteral("the Wayland socket ")
                     + quoted(waylandDisplay.isEmpty() ? "wayland-0" : waylandDisplay));
    }
    if (tried.isEmpty()) {
        tried.append(platform.isEmpty() ? QStringLiteral("a display")
                                        : QStringLiteral("the platform ") + quoted(platform));
    }
    return QStringLiteral("cannot reach %1%2; %3")
            .arg(tried.size() > 1 ? QStringLiteral("either ") : QString(),
                 tried.join(QLatin1String(" or ")), QLatin1String(howToGetOne));
}

void Startup::useOnlyAnExistingSessionBus()
{
    if (qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS"))
        return;
    // libdbus finds the session's own bus there by itself.
    const QString runtimeDirectory = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtimeDirectory.isEmpty() && QFileInfo::exists(runtimeDirectory + QStringLiteral("/bus")))
        return;
    const QByteArray launched = launchedBusAddress();
    qputenv("DBUS_SESSION_BUS_ADDRESS", launched.isEmpty() ? QByteArray("disabled:") : launched);
}

Startup::PlatformGuard::PlatformGuard()
{
    heldMessages = new QList<HeldMessage>;
    previousHandler = qInstallMessageHandler(startupHandler);
    holdOutput();
}

Startup::PlatformGuard::~PlatformGuard()
{
    releaseOutput(true);
    qInstallMessageHandler(previousHandler);
    for (const HeldMessage &held : std::as_const(*heldMessages)) {
        const QMessageLogContext context(held.file.constData(), held.line,
                                         held.function.constData(), held.category.constData());
        qt_message_output(held.type, context, held.text);
    }
    delete heldMessages;
    heldMessages = nullptr;
}
