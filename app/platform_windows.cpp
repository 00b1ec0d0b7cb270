#include "app/platform.h"

#include "buildinfo/buildinfo.h"

#include <windows.h>

// Windows always has a desktop to show the window on, no session bus to keep to, and reports a
// window system that cannot be reached with Qt's own message box.

namespace {
// The named mutex exists while any Tazzle has it open, and goes with the process however it ends.
class MutexMark final : public Platform::RunningMark
{
public:
    explicit MutexMark(HANDLE mutex) : mutex(mutex) { }
    ~MutexMark() override { CloseHandle(mutex); }

private:
    HANDLE mutex;
};
} // namespace

Platform::ConnectGuard::~ConnectGuard() = default;
Platform::RunningMark::~RunningMark() = default;

QString Platform::missingDisplay()
{
    return {};
}

void Platform::prepare() { }

std::unique_ptr<Platform::ConnectGuard> Platform::guardConnect()
{
    return nullptr;
}

std::unique_ptr<Platform::RunningMark> Platform::markRunning()
{
    // Opening fails only where another user's Tazzle made it first: it is there all the same.
    HANDLE mutex = CreateMutexA(nullptr, FALSE, BuildInfo::runningMutex);
    if (mutex == nullptr)
        return nullptr;
    return std::make_unique<MutexMark>(mutex);
}

int Platform::finish(int status)
{
    return status;
}
