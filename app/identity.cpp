#include "app/identity.h"

#include "app/buildinfo.h"
#include "ui/artwork.h"

#include <QApplication>

void Identity::apply(QApplication &application)
{
    QApplication::setApplicationName(QString::fromLatin1(applicationName));
    QApplication::setOrganizationName(QString::fromLatin1(organizationName));
    QApplication::setApplicationVersion(QString::fromLatin1(BuildInfo::displayVersion));
    application.setWindowIcon(Artwork::windowIcon());
}
