#pragma once

#include <QByteArray>
#include <QString>

// Qt aborts with a core dump when it cannot open a display. These turn that into one line on
// standard error and exit status 1.
namespace Startup {

// Why there is no display to try, from the values of QT_QPA_PLATFORM, DISPLAY and
// WAYLAND_DISPLAY; empty when a platform is there to try.
QString missingDisplay(const QByteArray &platform, const QByteArray &x11Display,
                       const QByteArray &waylandDisplay);
// What was tried and could not be reached, from the same values, and how to get a display.
QString unreachableDisplay(const QByteArray &platform, const QByteArray &x11Display,
                           const QByteArray &waylandDisplay);

// Where the session has no D-Bus, libdbus would start one of its own (dbus-launch) that
// outlives the program and writes under HOME. This keeps to the session's bus, or one an
// earlier dbus-launch left for this X display, and otherwise to none.
void useOnlyAnExistingSessionBus();

// While alive, Qt's start-up messages are held back; should Qt give up on the platform, the
// process prints one line and exits 1 instead of aborting. Messages of a good start are
// passed on when the guard ends.
class PlatformGuard
{
public:
    PlatformGuard();
    ~PlatformGuard();
    PlatformGuard(const PlatformGuard &) = delete;
    PlatformGuard &operator=(const PlatformGuard &) = delete;
};

} // namespace Startup
