#include "app/identity.h"

#include "buildinfo/buildinfo.h"

#include <QGuiApplication>

void Identity::apply()
{
    QCoreApplication::setApplicationName(QString::fromLatin1(BuildInfo::applicationName));
    QCoreApplication::setOrganizationName(QString::fromLatin1(BuildInfo::organizationName));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(BuildInfo::displayVersion));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(BuildInfo::appId));
}
