#include "app/identity.h"
#include "app/startup.h"
#include "ui/frmtazzle.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <optional>

int main(int, char *[])
{
    const QString noDisplay = Startup::missingDisplay(qgetenv("QT_QPA_PLATFORM"),
                                                      qgetenv("DISPLAY"),
                                                      qgetenv("WAYLAND_DISPLAY"));
    if (!noDisplay.isEmpty()) {
        std::fprintf(stderr, "tazzle: %s\n", qPrintable(noDisplay));
        return 1;
    }

    // The program takes no command line: Qt gets the program's name alone, so that not even
    // its own options (-platform, -reverse, -style) change anything.
    char programName[] = "tazzle";
    char *qtArgv[] = {programName, nullptr};
    int qtArgc = 1;
    Startup::useOnlyAnExistingSessionBus();

    // Guarded only while Qt opens the display; afterwards its messages go out as usual.
    std::optional<Startup::PlatformGuard> guard(std::in_place);
    QApplication application(qtArgc, qtArgv);
    guard.reset();

    Identity::apply();
    FrmTazzle window;
    window.show();
    const int status = application.exec();

    // Qt (6.4 and 6.8 alike) can hang for good tearing down its Wayland connection (its event
    // thread waits for a read that never comes). Nothing is left to save once the window is
    // closed.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}
