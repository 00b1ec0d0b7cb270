#include "app/identity.h"
#include "app/platform.h"
#include "ui/frmtazzle.h"

#include <QApplication>

#include <cstdio>

int main(int, char *[])
{
    const QString noDisplay = Platform::missingDisplay();
    if (!noDisplay.isEmpty()) {
        std::fprintf(stderr, "tazzle: %s\n", qPrintable(noDisplay));
        return 1;
    }

    const auto running = Platform::markRunning();

    // The program takes no command line: Qt gets the program's name alone, so that not even
    // its own options (-platform, -reverse, -style) change anything.
    char programName[] = "tazzle";
    char *qtArgv[] = {programName, nullptr};
    int qtArgc = 1;
    Platform::prepare();

    // Guarded only while Qt opens the display; afterwards its messages go out as usual.
    auto guard = Platform::guardConnect();
    QApplication application(qtArgc, qtArgv);
    guard.reset();

    Identity::apply();
    FrmTazzle window;
    window.show();
    return Platform::finish(application.exec());
}
