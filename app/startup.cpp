#include "app/startup.h"

#include <QList>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

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

void startupHandler(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtFatalMsg) {
        // Plain stdio: Qt's own logging is what we are standing in for here.
        const QByteArray display = qgetenv("DISPLAY");
        std::fprintf(stderr, "tazzle: cannot open the display%s%s%s; try: xvfb-run -a tazzle\n",
                     display.isEmpty() ? "" : " \"", display.constData(),
                     display.isEmpty() ? "" : "\"");
        std::fflush(stderr);
        std::_Exit(1);
    }
    heldMessages->append(
            {type, context.file, context.function, context.category, context.line, text});
}

} // namespace

QString Startup::missingDisplay(const QByteArray &platform, const QByteArray &x11Display,
                                const QByteArray &waylandDisplay)
{
    if (!platform.isEmpty() || !x11Display.isEmpty() || !waylandDisplay.isEmpty())
        return {};
    return QStringLiteral("no display found (DISPLAY and WAYLAND_DISPLAY are not set); "
                          "try: xvfb-run -a tazzle");
}

Startup::PlatformGuard::PlatformGuard()
{
    heldMessages = new QList<HeldMessage>;
    previousHandler = qInstallMessageHandler(startupHandler);
}

Startup::PlatformGuard::~PlatformGuard()
{
    qInstallMessageHandler(previousHandler);
    for (const HeldMessage &held : std::as_const(*heldMessages)) {
        const QMessageLogContext context(held.file.constData(), held.line,
                                         held.function.constData(), held.category.constData());
        qt_message_output(held.type, context, held.text);
    }
    delete heldMessages;
    heldMessages = nullptr;
}
