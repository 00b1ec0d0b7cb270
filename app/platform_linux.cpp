#include "app/platform.h"

#include "app/startup.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

namespace {
class LinuxConnectGuard final : public Platform::ConnectGuard
{
    Startup::PlatformGuard guard;
};
} // namespace

Platform::ConnectGuard::~ConnectGuard() = default;
Platform::RunningMark::~RunningMark() = default;

QString Platform::missingDisplay()
{
    return Startup::missingDisplay(qgetenv("QT_QPA_PLATFORM"), qgetenv("DISPLAY"),
                                   qgetenv("WAYLAND_DISPLAY"));
}

void Platform::prepare()
{
    Startup::useOnlyAnExistingSessionBus();
}

std::unique_ptr<Platform::ConnectGuard> Platform::guardConnect()
{
    return std::make_unique<LinuxConnectGuard>();
}

// Packages replace files as the system does, under a running program.
std::unique_ptr<Platform::RunningMark> Platform::markRunning()
{
    return nullptr;
}

int Platform::finish(int status)
{
    // Qt (6.4 and 6.8 alike) can hang for good tearing down its Wayland connection (its event
    // thread waits for a read that never comes). Nothing is left to save once the window is
    // closed.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}
