#include "ui/errorboundary.h"

#include "buildinfo/buildinfo.h"

#include <QMessageBox>

void ErrorBoundary::report(QWidget *owner, const QString &message)
{
    QMessageBox box(QMessageBox::Critical, QString::fromLatin1(BuildInfo::applicationName),
                    QStringLiteral("Run-time error: %1").arg(message), QMessageBox::Ok, owner);
    box.exec();
}
