#pragma once

#include <QString>

#include <memory>

// What start-up and shut-down need from the system the program runs on. Each system has its own
// source file for these (platform_<system>.cpp), chosen by the build; nothing else differs.
namespace Platform {

// Before Qt starts: why there is nothing here to show the window on, or empty.
QString missingDisplay();

// Before Qt starts: settles what Qt would otherwise pick up from the session.
void prepare();

// Held while Qt connects to the window system, so that a failure there ends the process with
// one clear line instead of an abort.
class ConnectGuard
{
public:
    virtual ~ConnectGuard();
};
std::unique_ptr<ConnectGuard> guardConnect();

// Held while the program runs, so that its installer and uninstaller can tell, from any session.
class RunningMark
{
public:
    virtual ~RunningMark();
};
std::unique_ptr<RunningMark> markRunning();

// After the event loop: ends the process with status, or returns it for main to return.
int finish(int status);

} // namespace Platform
