#include "app/platform.h"

// Windows always has a desktop to show the window on, no session bus to keep to, and reports a
// window system that cannot be reached with Qt's own message box.

Platform::ConnectGuard::~ConnectGuard() = default;

QString Platform::missingDisplay()
{
    return {};
}

void Platform::prepare() { }

std::unique_ptr<Platform::ConnectGuard> Platform::guardConnect()
{
    return nullptr;
}

int Platform::finish(int status)
{
    return status;
}
